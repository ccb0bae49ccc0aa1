// Opening media and the transport controls of the main window.
#include "capture/CaptureService.h"
#include "capture/EngineOptions.h"
#include "platform/FileNames.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "playback/FormatTime.h"
#include "playback/MediaEngine.h"
#include "playback/MediaTypes.h"
#include "playback/VideoSurface.h"
#include "settings/Settings.h"
#include "shell/ControlStates.h"
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
constexpr int kEngineSettleMs = 500;
} // namespace

void MainForm::openMenu_Click() {
    const QString path = platform_.openFileDialog(
        this, buildOpenFilter(lookup_.text("035", "All Supported Formats"), supportedExtensions_));
    if (path.isEmpty())
        return;
    if (refusedAsNotAFile(path))
        return;
    loadVideo(path, LoadMode::ReplaceAndPlay);
    setWindowTitle(QStringLiteral("Framora [ ") + fileNameOf(path) + QStringLiteral(" ]"));
    playButton_Click();
}

bool MainForm::openFromCommandLine(const QString& path) {
    const QString refusal = openRefusal(path, supportedExtensions_);
    if (!refusal.isEmpty()) {
        refuseOpening(path, refusal);
        return false;
    }
    const QString fullPath = QFileInfo(path).absoluteFilePath();
    loadVideo(fullPath, LoadMode::ReplaceAndPlay);
    setWindowTitle(QStringLiteral("Framora [ ") + fileNameOf(fullPath) + QStringLiteral(" ]"));
    playButton_Click();
    return true;
}

void MainForm::refuseOpening(const QString& path, const QString& reason) {
    // Also on standard error, for scripts; a file manager's user sees the box.
    std::fprintf(stderr, "framora: %s: %s\n", qPrintable(path), qPrintable(reason));
    showEngineError(QStringLiteral("This file cannot be opened: %1.\n%2")
                        .arg(reason, QDir::toNativeSeparators(path)));
}

void MainForm::logoHide_OLEDragDrop(const QStringList& files) {
    if (files.isEmpty())
        return;
    const QString& path = files.first();
    if (!hasSupportedExtension(path, supportedExtensions_) || QFileInfo(path).isDir())
        return;
    if (refusedAsNotAFile(path))
        return;
    loadVideo(path, LoadMode::ReplaceAndPlay);
    playButton_Click();
}

// A pipe or a device (or a link to one) would be read for ever: refused at once.
bool MainForm::refusedAsNotAFile(const QString& path) {
    if (!QFileInfo::exists(path) || QFileInfo(path).isFile())
        return false;
    showPlaybackError(path);
    return true;
}

// The common part of every load: stop, hand the file and its options over, let the
// engine get going.
void MainForm::loadVideo(const QString& path, LoadMode mode) {
    stopButton_Click();
    engine_.playlistClear();
    currentVideo_ = path;
    engineOptions_ = optionsFor(path);
    loadedOptions_ = engineOptions_;
    speedStep_ = 0;
    capture_.resetSkipped();
    markIn_ = markOut_ = {};
    showMarks();
    capture_.setTarget(engineOptions_.snapshot);
    engine_.load(path, mode, engineOptions_.disableScreenSaver);
    if (mode == LoadMode::ReplaceAndPlay)
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
    (void)platform_.messageBox(this, message, lookup_.text("010", "Error"), MessageIcon::Critical,
                               MessageButtons::Ok);
}

void MainForm::ReloadVideo() {
    loadVideo(currentVideo_, LoadMode::Replace);
    playButton_Click();
}

EngineOptions MainForm::optionsFor(const QString& path) const {
    EngineOptions options = engineOptions_;
    // Empty for a snapshot folder that is not a full path ("C:\" in a Config.cfg from
    // Windows, or nothing): snapshots would land wherever the program was started from.
    options.snapshot.folder = QDir::isAbsolutePath(settings_.snapshotFolder)
                                  ? perVideoSnapshotFolder(settings_.snapshotFolder, path)
                                  : QString();
    options.snapshot.video = fileNameOf(path);
    return options;
}

void MainForm::BuildEngineOptions() {
    engineOptions_ = ::BuildEngineOptions(settings_);
}

void MainForm::playButton_Click() {
    if (engine_.PlaylistCount() < 1 || engine_.Playing())
        return;
    // Settings changed while the video was stopped or over were not offered as a reload
    // (nothing was on screen); the item takes them now, so that it plays as they say.
    if (!videoOnScreen() && !currentVideo_.isEmpty() && optionsFor(currentVideo_) != loadedOptions_)
        loadVideo(currentVideo_, LoadMode::Replace);
    logoHide_->hide();
    engine_.play();
    platform_.boundedWait(kEngineSettleMs, [this] { return engine_.Playing(); });
    EnablePlaybackControls(true);
}

void MainForm::pauseButton_Click() {
    if (engine_.Position() < 0)
        return;
    engine_.pause();
    if (modes_.timed()) {
        modes_.pausePressed();
        applyTimedTimer();
    }
    pausePressed_ = true;
    applyControlStates();
}

void MainForm::stopButton_Click() {
    modes_.endContinuous();
    movieProgress_->setValue(0);
    timeElapsed_->clear();
    if (modes_.timed())
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
    if (speedStep_ > -1) {
        --speedStep_;
        engine_.setRate(playbackRateForStep(speedStep_));
    } else {
        platform_.beep();
    }
}

void MainForm::Command2_Click() {
    if (engine_.Position() < 0)
        return;
    if (speedStep_ < 1) {
        ++speedStep_;
        engine_.setRate(playbackRateForStep(speedStep_));
    } else {
        platform_.beep();
    }
}

void MainForm::fullScreenButton_Click() {
    if (engine_.Position() >= 0)
        stage_->toggleFullScreen();
}

void MainForm::muteStatus_Click() {
    engine_.toggleMute();
    setMuteCaption(muteCaption() != kSoundOnCaption ? kSoundOnCaption : kMutedCaption);
}

QString MainForm::muteCaption() const {
    return glyphCaption(*muteStatus_);
}

void MainForm::setMuteCaption(const QString& caption) {
    setGlyphFace(*muteStatus_, caption == kSoundOnCaption ? Glyph::SoundOn : Glyph::Muted);
    setGlyphCaption(*muteStatus_, caption);
    applyMuteAccessibleName();
}

void MainForm::volumeSlider_MouseDown(Qt::MouseButton button) {
    ShowToolTip(QStringLiteral("034"), QStringLiteral("Volume"));
    if (button != Qt::LeftButton)
        return;
    engine_.setVolume(volumeSlider_->value());
    if (muteCaption() == kMutedCaption)
        muteStatus_Click();
}

void MainForm::movieProgress_MouseDown(Qt::MouseButton button, float offsetTwips) {
    if (engine_.PlaylistCount() < 1 || button != Qt::LeftButton || movieProgress_->width() <= 0)
        return;
    const float width = static_cast<float>(movieProgress_->width());
    engine_.setPosition(offsetTwips / (width * twipsPerPixel(*this)));
}

void MainForm::movieTimer_Timer() {
    showCaptureStatus();
    if (closing_ && (capture_.pending() == 0 || closeDeadline_.hasExpired())) {
        close();
        return;
    }
    if (!engine_.Playing()) {
        if (engine_.Position() < 0) {
            if (logoHide_->isHidden())
                logoHide_->show();
            // The media went away under a running capture: end it as Stop would, or
            // timed capture would keep asking for snapshots of nothing.
            if (modes_.any())
                endCaptureModes();
        }
        if (engine_.Position() < 0 && controlsOn_) {
            EnablePlaybackControls(false);
            movieProgress_->setValue(0);
            timeElapsed_->clear();
        }
        return;
    }
    if (!logoHide_->isHidden())
        logoHide_->hide();
    if (!controlsOn_)
        EnablePlaybackControls(true);
    if (modes_.snapshotOnTick(true))
        snapshotCommand_Click();
    showPosition();
    if (modes_.any() && CaptureModes::videoEnded(engine_.Time(), engine_.Length()))
        endCaptureModes();
}

void MainForm::showPosition() {
    movieProgress_->setValue(static_cast<int>(engine_.Position() * 100));
    const QString time =
        FormatTime(engine_.Time()) + QStringLiteral(" / ") + FormatTime(engine_.Length());
    // Called on every tick, but the text changes once a second: only then is it set, as
    // each setting is announced to a screen reader.
    if (time == timeElapsed_->text())
        return;
    timeElapsed_->setText(time);
    movieProgress_->setAccessibleDescription(time);
}

void MainForm::nextFrame_Click() {
    if (pauseForStep())
        engine_.nextFrame();
}

void MainForm::previousFrame_Click() {
    if (pauseForStep())
        engine_.previousFrame();
}

// A step is taken from a paused picture; false when nothing is loaded to step in.
bool MainForm::pauseForStep() {
    if (engine_.Position() < 0)
        return false;
    if (engine_.Playing())
        pauseButton_Click();
    return true;
}

void MainForm::copyFrame_Click() {
    const VideoFrame frame = engine_.currentFrame();
    if (!frame.isNull())
        platform_.copyImage(frame.toImage());
}

void MainForm::openSnapshotFolder_Click() {
    QString folder = settings_.snapshotFolder;
    if (!currentVideo_.isEmpty())
        folder = loadedOptions_.snapshot.folder.isEmpty()
                     ? perVideoSnapshotFolder(settings_.snapshotFolder, currentVideo_)
                     : loadedOptions_.snapshot.folder;
    if (!QDir::isAbsolutePath(folder) || !QDir().mkpath(folder) || !platform_.openDocument(folder))
        (void)platform_.messageBox(this,
                                   lookup_.text("037", "Can't open the snapshot folder.") +
                                       QLatin1Char('\n') + QDir::toNativeSeparators(folder),
                                   lookup_.text("010", "Error"), MessageIcon::Critical,
                                   MessageButtons::Ok);
}

void MainForm::EnablePlaybackControls(bool enabled) {
    controlsOn_ = enabled;
    playAllowed_ = true;
    pausePressed_ = false;
    applyControlStates();
    timeElapsed_->clear();
}

void MainForm::applyControlStates() {
    const ControlStates s = controlStatesFor({controlsOn_, playAllowed_, pausePressed_}, modes_);
    playButton_->setEnabled(s.play);
    pauseButton_->setEnabled(s.pause);
    stopButton_->setEnabled(s.stop);
    rewindButton_->setEnabled(s.rewind);
    ffButton_->setEnabled(s.fastForward);
    command1_->setEnabled(s.slower);
    command2_->setEnabled(s.faster);
    fullScreenButton_->setEnabled(s.fullScreen);
    snapshotButton_->setEnabled(s.snapshot);
    continuousSnapshotsButton_->setEnabled(s.continuous);
    timedSnapshotsButton_->setEnabled(s.timed);
    exportFramesMenu_->setEnabled(s.exportFrames);
    // A disabled menu must also silence the shortcuts of its items.
    editMenu_->menuAction()->setEnabled(s.editMenu);
    for (QAction* action : editMenu_->actions())
        action->setEnabled(s.editMenu);
}
