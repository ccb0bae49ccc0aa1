// Opening media and the transport controls of the main window.
#include "capture/EngineOptions.h"
#include "platform/FileNames.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "playback/FormatTime.h"
#include "playback/MediaEngine.h"
#include "playback/MediaTypes.h"
#include "settings/Settings.h"
#include "shell/GlyphFaces.h"
#include "shell/MainForm.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cstdio>

namespace {
constexpr int kStartAndPlay = 10;
constexpr int kReplaceOnly = 2;
constexpr int kEngineSettleMs = 500;
} // namespace

void MainForm::openMenu_Click() {
    const QString filter =
        buildOpenFilter(text("035", "All Supported Formats"), supportedExtensions);
    const QString path = platform_.openFileDialog(this, filter);
    if (path.isEmpty())
        return;
    loadVideo(path, kStartAndPlay);
    setWindowTitle(QStringLiteral("Framora [ ") + fileNameOf(path) + QStringLiteral(" ]"));
    playButton_Click();
}

bool MainForm::openFromCommandLine(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile()) {
        std::fprintf(stderr, "framora: %s: no such file\n", qPrintable(path));
        return false;
    }
    if (!hasSupportedExtension(path, supportedExtensions)) {
        std::fprintf(stderr, "framora: %s: not a supported video type (%s)\n", qPrintable(path),
                     qPrintable(supportedExtensions.join(QStringLiteral(", "))));
        return false;
    }
    const QString fullPath = info.absoluteFilePath();
    loadVideo(fullPath, kStartAndPlay);
    setWindowTitle(QStringLiteral("Framora [ ") + fileNameOf(fullPath) + QStringLiteral(" ]"));
    playButton_Click();
    return true;
}

void MainForm::logoHide_OLEDragDrop(const QStringList& files) {
    if (files.isEmpty())
        return;
    const QString& path = files.first();
    if (!hasSupportedExtension(path, supportedExtensions) || QFileInfo(path).isDir())
        return;
    loadVideo(path, kStartAndPlay);
    playButton_Click();
}

// The common part of every load: stop, hand the file and its options over, let the
// engine get going.
void MainForm::loadVideo(const QString& path, int mode) {
    stopButton_Click();
    engine_.playlistClear();
    currentVideo = path;
    // Empty for a snapshot folder that is not a full path ("C:\" in a Config.cfg from
    // Windows, or nothing): snapshots would land wherever the program was started from.
    loadedSnapshotFolder_ = QDir::isAbsolutePath(settings_.snapshotFolder)
                                ? perVideoSnapshotFolder(settings_.snapshotFolder, path)
                                : QString();
    engineOptions = optionsFor(path);
    loadedOptions_ = engineOptions;
    speedStep = 0;
    engine_.addTarget(path, engineOptions, mode, 0);
    if (mode == kStartAndPlay)
        platform_.boundedWait(kEngineSettleMs, [this] { return engine_.Playing(); });
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
    (void)platform_.messageBox(this, message, text("010", "Error"), MessageIcon::Critical,
                               MessageButtons::Ok);
}

void MainForm::ReloadVideo() {
    loadVideo(currentVideo, kReplaceOnly);
    playButton_Click();
}

QStringList MainForm::optionsFor(const QString& path) const {
    QStringList options = engineOptions;
    options[kSnapshotPathEntry] =
        QStringLiteral("snapshot-path=") + perVideoSnapshotFolder(settings_.snapshotFolder, path);
    return options;
}

void MainForm::BuildEngineOptions() {
    engineOptions = ::BuildEngineOptions(settings_);
}

void MainForm::playButton_Click() {
    if (engine_.PlaylistCount() < 1 || engine_.Playing())
        return;
    // Settings changed while the video was stopped or over were not offered as a reload
    // (nothing was on screen); the item takes them now, so that it plays as they say.
    if (!videoOnScreen() && !currentVideo.isEmpty() && optionsFor(currentVideo) != loadedOptions_)
        loadVideo(currentVideo, kReplaceOnly);
    logoHide->hide();
    engine_.play();
    platform_.boundedWait(kEngineSettleMs, [this] { return engine_.Playing(); });
    EnablePlaybackControls(true);
}

void MainForm::pauseButton_Click() {
    if (engine_.Position() < 0)
        return;
    engine_.pause();
    if (timedCapture) {
        if (snapshotsTimer->isActive())
            snapshotsTimer->stop();
        else
            snapshotsTimer->start();
    }
    pauseButton->setEnabled(false);
    rewindButton->setEnabled(false);
    ffButton->setEnabled(false);
}

void MainForm::stopButton_Click() {
    continuousCapture = false;
    movieProgress->setValue(0);
    timeElapsed->clear();
    if (timedCapture)
        timedSnapshotsButton_Click();
    EnablePlaybackControls(false);
    if (engine_.Position() >= 0)
        engine_.stop();
}

void MainForm::rewindButton_Click() {
    if (engine_.Position() >= 0)
        engine_.shuttle(-1);
}

void MainForm::ffButton_Click() {
    if (engine_.Position() >= 0)
        engine_.shuttle(1);
}

void MainForm::Command1_Click() {
    if (engine_.Position() < 0)
        return;
    if (speedStep > -1) {
        --speedStep;
        engine_.playSlower();
    } else {
        platform_.beep();
    }
}

void MainForm::Command2_Click() {
    if (engine_.Position() < 0)
        return;
    if (speedStep < 1) {
        ++speedStep;
        engine_.playFaster();
    } else {
        platform_.beep();
    }
}

void MainForm::fullScreenButton_Click() {
    if (engine_.Position() >= 0)
        engine_.fullscreen();
}

void MainForm::muteStatus_Click() {
    engine_.toggleMute();
    setMuteCaption(muteCaption() != kSoundOnCaption ? kSoundOnCaption : kMutedCaption);
}

QString MainForm::muteCaption() const {
    return glyphCaption(*muteStatus);
}

void MainForm::setMuteCaption(const QString& caption) {
    setGlyphFace(*muteStatus, caption == kSoundOnCaption ? Glyph::SoundOn : Glyph::Muted);
    setGlyphCaption(*muteStatus, caption);
}

void MainForm::volumeSlider_MouseDown(Qt::MouseButton button) {
    ShowToolTip(QStringLiteral("034"), QStringLiteral("Volume"));
    if (button != Qt::LeftButton)
        return;
    engine_.setVolume(volumeSlider->value());
    if (muteCaption() == kMutedCaption)
        muteStatus_Click();
}

void MainForm::movieProgress_MouseDown(Qt::MouseButton button, float offsetTwips) {
    if (engine_.PlaylistCount() < 1 || button != Qt::LeftButton || movieProgress->width() <= 0)
        return;
    const float width = static_cast<float>(movieProgress->width());
    engine_.setPosition(offsetTwips / (width * twipsPerPixel(*this)));
}

void MainForm::movieTimer_Timer() {
    if (!engine_.Playing()) {
        if (engine_.Position() < 0) {
            if (logoHide->isHidden())
                logoHide->show();
            // The media went away under a running capture: end it as Stop would, or
            // timed capture would keep asking for snapshots of nothing.
            if (continuousCapture || timedCapture)
                endCaptureModes();
        }
        if (engine_.Position() < 0 && fullScreenButton->isEnabled()) {
            EnablePlaybackControls(false);
            movieProgress->setValue(0);
            timeElapsed->clear();
        }
        return;
    }
    if (!logoHide->isHidden())
        logoHide->hide();
    if (!fullScreenButton->isEnabled())
        EnablePlaybackControls(true);
    if (continuousCapture)
        snapshotCommand_Click();
    movieProgress->setValue(static_cast<int>(engine_.Position() * 100));
    timeElapsed->setText(FormatTime(engine_.Time()) + QStringLiteral(" / ") +
                         FormatTime(engine_.Length()));
    if (engine_.Time() >= engine_.Length()) {
        if (continuousCapture)
            continuousSnapshotsButton_Click();
        if (timedCapture)
            timedSnapshotsButton_Click();
    }
}

void MainForm::EnablePlaybackControls(bool enabled) {
    snapshotButton->setEnabled(enabled);
    continuousSnapshotsButton->setEnabled(enabled);
    timedSnapshotsButton->setEnabled(enabled);
    fullScreenButton->setEnabled(enabled);
    Command1->setEnabled(enabled);
    Command2->setEnabled(enabled);
    // A disabled menu must also silence the shortcuts of its items.
    editMenu->menuAction()->setEnabled(enabled);
    for (QAction* action : editMenu->actions())
        action->setEnabled(enabled);
    rewindButton->setEnabled(enabled);
    playButton->setEnabled(true);
    pauseButton->setEnabled(enabled);
    stopButton->setEnabled(enabled);
    ffButton->setEnabled(enabled);
    timeElapsed->clear();
}
