// The capture modes, the export marks and Export Frames, and the quick snapshot-folder
// button of the main window.
#include "capture/CaptureService.h"
#include "capture/ExportFramesDialog.h"
#include "capture/TimedSnapshotsDialog.h"
#include "folderbrowse/FolderBrowse.h"
#include "platform/Platform.h"
#include "playback/MediaEngine.h"
#include "settings/ConfigFile.h"
#include "settings/OptionsRules.h"
#include "settings/Settings.h"
#include "shell/MainForm.h"
#include "shell/ProgressMarks.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

void MainForm::snapshotCommand_Click() {
    // The folder the capture service was given with the current item, which is the one of
    // the settings only until they change without a reload.
    if (!currentVideo_.isEmpty() && loadedOptions_.snapshot.folder.isEmpty()) {
        showSnapshotError(QStringLiteral("The snapshots path is not a full path: \"%1\". "
                                         "Choose a folder with Browse.")
                              .arg(settings_.snapshotFolder));
        return;
    }
    // A sound file never shows a picture: say so, rather than wait for one or make an
    // empty folder.
    if (engine_.hasNoVideo()) {
        showSnapshotError(
            lookup_.text("041", "There is no picture to capture: this file holds no video."));
        return;
    }
    if (!capture_.snapshot())
        showSnapshotError(QString());
}

void MainForm::snapshotButton_Click() {
    if (engine_.Position() >= 0)
        snapshotCommand_Click();
}

void MainForm::continuousSnapshotsButton_Click() {
    if (!modes_.continuous())
        capture_.resetSkipped();
    modes_.toggleContinuous();
    applyControlStates();
}

void MainForm::timedSnapshotsButton_Click() {
    if (modes_.timed()) {
        modes_.endTimed();
    } else {
        int interval = settings_.timedInterval;
        if (settings_.skipTimedPrompt == 0) {
            TimedSnapshotsDialog dialog(settings_, lookup_, platform_, captions_.okCaption,
                                        captions_.cancelCaption, this);
            if (platform_.execDialog(dialog) != QDialog::Accepted)
                return;
            interval = dialog.interval();
            settings_.timedInterval = interval;
            // The video may have ended while the dialog was open: there is nothing left
            // to capture, and starting would only end in a snapshot error.
            if (engine_.Position() < 0)
                return;
        }
        capture_.resetSkipped();
        modes_.startTimed(interval);
        snapshotCommand_Click();
    }
    applyControlStates();
    applyTimedTimer();
}

void MainForm::applyTimedTimer() {
    if (!modes_.timerRunning()) {
        snapshotsTimer_->stop();
        return;
    }
    snapshotsTimer_->setInterval(modes_.interval());
    if (!snapshotsTimer_->isActive())
        snapshotsTimer_->start();
}

void MainForm::snapshotsTimer_Timer() {
    snapshotCommand_Click();
}

void MainForm::endCaptureModes() {
    modes_.endContinuous();
    if (modes_.timed())
        timedSnapshotsButton_Click();
    applyControlStates();
}

// One message per failed snapshot. A running capture mode ends first: otherwise every
// following tick would fail the same way and bury the window under message boxes.
void MainForm::showSnapshotError(const QString& reason) {
    if (modes_.any())
        endCaptureModes();
    if (showingSnapshotError_ || closed_)
        return;
    showingSnapshotError_ = true;
    QString message = lookup_.text("010", "Error");
    if (!reason.isEmpty())
        message += QStringLiteral("\n\n") + reason;
    (void)platform_.messageBox(this, message, QString(), MessageIcon::None, MessageButtons::Ok);
    showingSnapshotError_ = false;
}

void MainForm::markIn_Click() {
    setMark(markIn_);
}

void MainForm::markOut_Click() {
    setMark(markOut_);
}

void MainForm::setMark(FrameMark& mark) {
    if (engine_.Position() < 0)
        return;
    const VideoFrame frame = engine_.currentFrame();
    mark = {frame.timeMs >= 0 ? frame.timeMs : qint64(engine_.Time()) * 1000, frame.serial};
    showMarks();
}

void MainForm::refineMarks(const VideoFrame& frame) {
    bool moved = false;
    for (FrameMark* mark : {&markIn_, &markOut_}) {
        if (mark->ms >= 0 && mark->serial == frame.serial && frame.frameNumber >= 0 &&
            mark->ms != frame.timeMs) {
            mark->ms = frame.timeMs;
            moved = true;
        }
    }
    if (moved)
        showMarks();
}

void MainForm::showMarks() {
    const double length = double(engine_.Length()) * 1000;
    const auto fraction = [length](const FrameMark& mark) {
        return mark.ms >= 0 && length > 0 ? double(mark.ms) / length : -1.0;
    };
    progressMarks_->setMarks(fraction(markIn_), fraction(markOut_));
}

void MainForm::exportFrames_Click() {
    if (currentVideo_.isEmpty())
        return;
    if (loadedOptions_.snapshot.folder.isEmpty()) {
        snapshotCommand_Click(); // says why there is no folder to write to
        return;
    }
    // The picture stays on the frame the user chose, and the export has both cores.
    if (engine_.Playing())
        pauseButton_Click();
    // The engine knows the length in whole seconds; the export itself stops at the end of
    // the file, so the range may reach to the end of the last second.
    const qint64 lengthMs = engine_.Length() > 0 ? qint64(engine_.Length()) * 1000 + 999 : 0;
    const SnapshotTarget& target = loadedOptions_.snapshot;
    ExportFramesDialog dialog({currentVideo_, target.folder, target.prefix, target.jpeg, 0, 0},
                              exportRangeFor(markIn_.ms, markOut_.ms, lengthMs), lengthMs,
                              engine_.currentFrame().bitDepth() > 8, lookup_, platform_, this);
    (void)platform_.execDialog(dialog);
}

void MainForm::showCaptureStatus() {
    // A writer on every core has a few images in hand at any time; more means it is behind.
    constexpr int kBehind = 4;
    const int left = capture_.pending();
    if (left <= kBehind && !(closing_ && left > 0)) {
        statusTexts_.clear();
        return;
    }
    // Looked up once while behind: a lookup reads the pack, too slow for every tick.
    if (statusTexts_.isEmpty())
        statusTexts_ = {lookup_.text("039", "Images left to write: %1"),
                        lookup_.text("040", "Frames skipped: %1")};
    QString status = statusTexts_[0].arg(left);
    if (capture_.skipped() > 0)
        status += QStringLiteral("   ") + statusTexts_[1].arg(capture_.skipped());
    if (toolTips_->text() != status)
        toolTips_->setText(status);
    // Stays up a moment after the last image, as a hover text does.
    toolTipTimer_->start();
}

void MainForm::browseCommand_Click() {
    if (!folderBrowse1_->Browse())
        return;
    const QString problem =
        snapshotFolderProblem(folderBrowse1_->FullName(), defaultSnapshotFolder());
    if (!problem.isEmpty()) {
        (void)platform_.messageBox(this, problem, lookup_.text("010", "Error"),
                                   MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    quickSnapshotFolder_->setText(folderBrowse1_->FullName());
    settings_.snapshotFolder = folderBrowse1_->FullName();
    saveConfiguration();
    if (videoOnScreen() && askReload())
        ReloadVideo();
}

bool MainForm::videoOnScreen() const {
    return logoHide_->isHidden() && !currentVideo_.isEmpty();
}

bool MainForm::askReload() {
    return platform_.messageBox(this,
                                lookup_.text("012",
                                             "Some changes need the video to be reloaded. Do "
                                             "you want to reload the video?"),
                                lookup_.text("013", "Warning"), MessageIcon::Question,
                                MessageButtons::YesNo) == MessageAnswer::Yes;
}

void MainForm::saveConfiguration() {
    QString error;
    if (SaveConfiguration(configPath_, settings_, &error))
        return;
    (void)platform_.messageBox(
        this, QStringLiteral("Could not save the settings to %1: %2").arg(configPath_, error),
        lookup_.text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
}
