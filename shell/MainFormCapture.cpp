// The three capture modes and the quick snapshot-folder button of the main window.
#include "capture/IntervalText.h"
#include "capture/TimedSnapshotsDialog.h"
#include "folderbrowse/FolderBrowse.h"
#include "platform/Platform.h"
#include "playback/MediaEngine.h"
#include "settings/ConfigFile.h"
#include "settings/Settings.h"
#include "shell/MainForm.h"

#include <QDir>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

namespace {
constexpr int kSnapshotKey = 83;
constexpr int kShortestInterval = 1000;
constexpr int kLongestInterval = 60000;
} // namespace

void MainForm::snapshotCommand_Click() {
    // The folder the engine writes into, which is the one of the settings only until they
    // change without a reload. The whole path is created, not just its last level: a
    // snapshot folder that does not exist yet (a fresh Pictures folder) should not make
    // every snapshot fail.
    const QString& folder = loadedSnapshotFolder_;
    if (!currentVideo.isEmpty() && folder.isEmpty()) {
        showSnapshotError(QStringLiteral("The snapshots path is not a full path: \"%1\". "
                                         "Choose a folder with Browse.")
                              .arg(settings_.snapshotFolder));
        return;
    }
    if (!QDir(folder).exists() && !QDir().mkpath(folder)) {
        showSnapshotError(QStringLiteral("Cannot create the folder %1").arg(folder));
        return;
    }
    if (!engine_.setVariable(QStringLiteral("key-snapshot"), kSnapshotKey) ||
        !engine_.setVariable(QStringLiteral("key-pressed"), kSnapshotKey))
        showSnapshotError(QString());
}

void MainForm::snapshotButton_Click() {
    if (engine_.Position() >= 0)
        snapshotCommand_Click();
}

void MainForm::continuousSnapshotsButton_Click() {
    continuousCapture = !continuousCapture;
    snapshotButton->setEnabled(!continuousCapture);
    timedSnapshotsButton->setEnabled(!continuousCapture);
}

void MainForm::timedSnapshotsButton_Click() {
    if (!timedCapture) {
        int interval = settings_.timedInterval;
        if (settings_.skipTimedPrompt == 0) {
            TimedSnapshotsDialog dialog(settings_, lookup_, platform_, captions.okCaption,
                                        captions.cancelCaption, this);
            (void)platform_.execDialog(dialog);
            const std::optional<int> chosen = timedIntervalFromText(dialog.Tag);
            if (isCancelledIntervalResult(dialog.Tag) || !chosen)
                return;
            interval = *chosen;
            settings_.timedInterval = interval;
            // The video may have ended while the dialog was open: there is nothing left
            // to capture, and starting would only end in a snapshot error.
            if (engine_.Position() < 0)
                return;
        }
        // Config.cfg may hold any 32-bit number here; the timer gets the range the
        // dialogs allow.
        snapshotsTimer->setInterval(std::clamp(interval, kShortestInterval, kLongestInterval));
    }
    timedCapture = !timedCapture;
    snapshotButton->setEnabled(!timedCapture);
    continuousSnapshotsButton->setEnabled(!timedCapture);
    if (timedCapture)
        snapshotCommand_Click();
    if (timedCapture)
        snapshotsTimer->start();
    else
        snapshotsTimer->stop();
}

void MainForm::snapshotsTimer_Timer() {
    snapshotCommand_Click();
}

void MainForm::endCaptureModes() {
    continuousCapture = false;
    if (timedCapture)
        timedSnapshotsButton_Click();
}

// One message per failed snapshot. A running capture mode ends first: otherwise every
// following tick would fail the same way and bury the window under message boxes.
void MainForm::showSnapshotError(const QString& reason) {
    if (continuousCapture || timedCapture) {
        if (continuousCapture)
            continuousSnapshotsButton_Click();
        if (timedCapture)
            timedSnapshotsButton_Click();
    }
    if (showingSnapshotError_ || closed_)
        return;
    showingSnapshotError_ = true;
    QString message = text("010", "Error");
    if (!reason.isEmpty())
        message += QStringLiteral("\n\n") + reason;
    (void)platform_.messageBox(this, message, QString(), MessageIcon::None, MessageButtons::Ok);
    showingSnapshotError_ = false;
}

void MainForm::browseCommand_Click() {
    if (!FolderBrowse1->Browse())
        return;
    quickSnapshotFolder->setText(FolderBrowse1->FullName());
    settings_.snapshotFolder = FolderBrowse1->FullName();
    saveConfiguration();
    if (videoOnScreen() && askReload())
        ReloadVideo();
}

bool MainForm::videoOnScreen() const {
    return logoHide->isHidden() && !currentVideo.isEmpty();
}

bool MainForm::askReload() {
    return platform_.messageBox(this,
                                text("012", "Some changes need the video to be reloaded. Do "
                                            "you want to reload the video?"),
                                text("013", "Warning"), MessageIcon::Question,
                                MessageButtons::YesNo) == MessageAnswer::Yes;
}

void MainForm::saveConfiguration() {
    QString error;
    if (SaveConfiguration(configPath_, settings_, &error))
        return;
    (void)platform_.messageBox(
        this, QStringLiteral("Could not save the settings to %1: %2").arg(configPath_, error),
        text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
}
