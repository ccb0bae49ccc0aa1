// The capture commands of the main window: single snapshots and their messages, the timed
// capture's interval dialog, Export Frames and the backlog shown in the hover strip.
#include "capture/CaptureService.h"
#include "capture/ExportFramesDialog.h"
#include "capture/ExportRange.h"
#include "capture/TimedSnapshotsDialog.h"
#include "platform/Platform.h"
#include "playback/MediaEngine.h"
#include "settings/Settings.h"
#include "shell/MainForm.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QTimer>

void MainForm::snapshotCommand_Click() {
    showSnapshotProblem(player_.snapshot());
}

void MainForm::showSnapshotProblem(SnapshotProblem problem) {
    switch (problem) {
    case SnapshotProblem::None:
        return;
    case SnapshotProblem::FolderNotFullPath:
        showSnapshotError(QStringLiteral("The snapshots path is not a full path: \"%1\". Choose a "
                                         "folder with Browse.")
                              .arg(settings_.snapshotFolder));
        return;
    case SnapshotProblem::NoVideo:
        showSnapshotError(
            lookup_.text("041", "There is no picture to capture: this file holds no video."));
        return;
    case SnapshotProblem::NothingLoaded:
        showSnapshotError(QString());
        return;
    }
}

void MainForm::timedSnapshotsButton_Click() {
    if (player_.modes().timed()) {
        player_.stopTimed();
        return;
    }
    int interval = settings_.timedInterval;
    if (settings_.skipTimedPrompt == 0) {
        TimedSnapshotsDialog dialog(settings_, lookup_, platform_, captions_.okCaption,
                                    captions_.cancelCaption, this);
        if (platform_.execDialog(dialog) != QDialog::Accepted)
            return;
        interval = dialog.interval();
        settings_.timedInterval = interval;
        // The video may have ended while the dialog was open: there is nothing left to
        // capture, and starting would only end in a snapshot error.
        if (!player_.videoLoaded())
            return;
    }
    player_.startTimed(interval);
}

// One message per failed snapshot. A running capture mode ends first: otherwise every
// following tick would fail the same way and bury the window under message boxes.
void MainForm::showSnapshotError(const QString& reason) {
    player_.endCaptureModes();
    if (showingSnapshotError_ || closed_)
        return;
    showingSnapshotError_ = true;
    QString message = lookup_.text("010", "Error");
    if (!reason.isEmpty())
        message += QStringLiteral("\n\n") + reason;
    (void)platform_.messageBox(this, message, QString(), MessageIcon::None, MessageButtons::Ok);
    showingSnapshotError_ = false;
}

void MainForm::exportFrames_Click() {
    const QString& video = player_.currentVideo();
    if (video.isEmpty())
        return;
    const SnapshotTarget& target = player_.loadedOptions().snapshot;
    if (target.folder.isEmpty()) {
        snapshotCommand_Click(); // says why there is no folder to write to
        return;
    }
    // The picture stays on the frame the user chose, and the export has both cores.
    if (engine_.Playing())
        player_.pause();
    const qint64 lengthMs = player_.lengthMs();
    ExportJob job{video, target.folder, target.prefix, target.jpeg, 0, 0};
    job.index = player_.frameIndex();
    job.choice = exportChoice_;
    job.shown = engine_.currentFrame().displaySize();
    ExportFramesDialog dialog(
        job, exportRangeFor(player_.markInMs(), player_.markOutMs(), lengthMs), lengthMs,
        engine_.currentFrame().bitDepth() > 8, lookup_, platform_, this);
    (void)platform_.execDialog(dialog);
    exportChoice_ = dialog.choice(); // for the next time, while the program runs
}

void MainForm::showWritten(const QString& path) {
    if (player_.modes().any())
        return;
    ui_.toolTips->setText(lookup_.text("045", "Saved %1").arg(QFileInfo(path).fileName()));
    ui_.toolTips->setToolTip(QDir::toNativeSeparators(path));
    ui_.toolTipTimer->start();
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
    if (ui_.toolTips->text() != status)
        ui_.toolTips->setText(status);
    // Stays up a moment after the last image, as a hover text does.
    ui_.toolTipTimer->start();
}
