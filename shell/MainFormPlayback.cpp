// Opening media and the transport controls of the main window.
#include "capture/CaptureService.h"
#include "capture/EngineOptions.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "playback/MediaEngine.h"
#include "playback/MediaTypes.h"
#include "playback/OpenRefusal.h"
#include "playback/SideCarSubtitles.h"
#include "playback/VideoSurface.h"
#include "settings/Settings.h"
#include "shell/AccessibleTexts.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <cstdio>

void MainForm::openMenu_Click() {
    const QString path = platform_.openFileDialog(
        this, buildOpenFilter(lookup_.text("035", "All Supported Formats"), supportedExtensions_,
                              lookup_.text("043", "All Files")));
    if (!path.isEmpty())
        (void)openFile(path, OpenedBy::Menu);
}

bool MainForm::openFromCommandLine(const QString& path) {
    return openFile(path, OpenedBy::CommandLine);
}

void MainForm::comeToFront() {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void MainForm::refuseOpening(const QString& path, const QString& reason) {
    // Also on standard error, for scripts; a file manager's user sees the box.
    std::fprintf(stderr, "framora: %s: %s\n", qPrintable(path), qPrintable(reason));
    showEngineError(QStringLiteral("This file cannot be opened: %1.\n%2")
                        .arg(reason, QDir::toNativeSeparators(path)));
}

void MainForm::dropped(const QStringList& files) {
    if (!files.isEmpty())
        (void)openFile(files.first(), OpenedBy::Drop);
}

// Every way of opening comes here, so that a file opens the same way whichever way it
// came, and a refusal always says why.
bool MainForm::openFile(const QString& path, OpenedBy by) {
    ContentKind content = ContentKind::Unknown;
    const QString refusal = openRefusal(path, supportedExtensions_, &content);
    // Subtitles dropped (or opened) on a video are for that video.
    if (content == ContentKind::Subtitles && player_.videoLoaded()) {
        addSubtitleFile(path);
        return true;
    }
    if (!refusal.isEmpty()) {
        refuseOpening(path, refusal);
        return false;
    }
    // A drop is easily made by mistake; one that would end a capture run asks first.
    if (by == OpenedBy::Drop && player_.modes().any() &&
        platform_.messageBox(this,
                             lookup_.text("048", "Snapshots are being captured. Stop capturing "
                                                 "and open the dropped file?"),
                             lookup_.text("013", "Warning"), MessageIcon::Question,
                             MessageButtons::YesNo) != MessageAnswer::Yes)
        return false;
    loadVideo(QFileInfo(path).absoluteFilePath());
    return true;
}

void MainForm::addSubtitleFile_Click() {
    QStringList patterns;
    for (const QString& extension : subtitleExtensions())
        patterns << QStringLiteral("*.") + extension;
    const QString path =
        platform_.openFileDialog(this, {{lookup_.text("37", "Subtitle Files"), patterns},
                                        {lookup_.text("043", "All Files"), {QStringLiteral("*")}}});
    if (!path.isEmpty())
        addSubtitleFile(path);
}

void MainForm::addSubtitleFile(const QString& path) {
    const QString refusal = subtitleRefusal(path);
    if (!refusal.isEmpty()) {
        // Playback goes on, without them.
        showEngineError(QStringLiteral("These subtitles cannot be used: %1.\n%2")
                            .arg(refusal, QDir::toNativeSeparators(path)));
        return;
    }
    engine_.addSubtitleFile(QFileInfo(path).absoluteFilePath());
}

void MainForm::loadVideo(const QString& path) {
    player_.load(path, LoadMode::ReplaceAndPlay);
}

// The engine found the file unplayable: say so, rather than leave the user looking at
// the empty cover wondering what happened.
void MainForm::showPlaybackError(const QString& path) {
    showEngineError(
        QStringLiteral("This file cannot be played. It is not a video file, or it is damaged:\n%1")
            .arg(QDir::toNativeSeparators(path)));
}

void MainForm::showEngineError(const QString& message) {
    if (closed_)
        return;
    (void)platform_.messageBox(this, message, lookup_.text("010", "Error"), MessageIcon::Critical,
                               MessageButtons::Ok);
}

void MainForm::playButton_Click() {
    player_.play();
}

void MainForm::pauseButton_Click() {
    player_.pause();
}

void MainForm::stopButton_Click() {
    player_.stop();
}

void MainForm::Command1_Click() {
    if (!player_.slower())
        platform_.beep();
}

void MainForm::Command2_Click() {
    if (!player_.faster())
        platform_.beep();
}

void MainForm::fullScreenButton_Click() {
    if (player_.videoLoaded())
        ui_.stage->toggleFullScreen();
}

void MainForm::muteStatus_Click() {
    player_.toggleMute();
}

void MainForm::setMuteGlyph(bool muted) {
    setGlyphFace(*ui_.muteStatus, muted ? Glyph::Muted : Glyph::SoundOn);
    setGlyphCaption(*ui_.muteStatus, muted ? kMutedCaption : kSoundOnCaption);
    applyMuteAccessibleName(ui_, lookup_, muted);
}

void MainForm::volumeSlider_MouseDown(Qt::MouseButton button) {
    ShowToolTip(QStringLiteral("034"), QStringLiteral("Volume"));
    if (button == Qt::LeftButton)
        player_.volumeTouched(ui_.volumeSlider->value());
}

void MainForm::movieProgress_MouseDown(Qt::MouseButton button, float offsetTwips) {
    if (button != Qt::LeftButton || ui_.movieProgress->width() <= 0)
        return;
    const float width = static_cast<float>(ui_.movieProgress->width());
    player_.seek(offsetTwips / (width * twipsPerPixel(*this)));
}

void MainForm::movieTimer_Timer() {
    showCaptureStatus();
    if (closing_ && capture_.pending() == 0) {
        close();
        return;
    }
    player_.tick();
}

void MainForm::copyFrame_Click() {
    const VideoFrame frame = engine_.currentFrame();
    if (!frame.isNull())
        platform_.copyImage(frame.toImage());
}

void MainForm::openSnapshotFolder_Click() {
    QString folder = settings_.snapshotFolder;
    const QString& video = player_.currentVideo();
    if (!video.isEmpty())
        folder = player_.loadedOptions().snapshot.folder.isEmpty()
                     ? perVideoSnapshotFolder(settings_.snapshotFolder, video)
                     : player_.loadedOptions().snapshot.folder;
    if (!QDir::isAbsolutePath(folder) || !QDir().mkpath(folder) || !platform_.openDocument(folder))
        (void)platform_.messageBox(this,
                                   lookup_.text("037", "Can't open the snapshot folder.") +
                                       QLatin1Char('\n') + QDir::toNativeSeparators(folder),
                                   lookup_.text("010", "Error"), MessageIcon::Critical,
                                   MessageButtons::Ok);
}
