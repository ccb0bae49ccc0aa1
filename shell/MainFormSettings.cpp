// The main window's settings: the Options dialog, the quick snapshot-folder button, and
// Config.cfg saved after each.
#include "folderbrowse/FolderBrowse.h"
#include "platform/Platform.h"
#include "settings/ConfigFile.h"
#include "settings/OptionsDialog.h"
#include "settings/OptionsRules.h"
#include "settings/Settings.h"
#include "shell/AboutForm.h"
#include "shell/MainForm.h"

#include <QLineEdit>

void MainForm::optionsMenuCommand_Click() {
    ensureOptionsDialog();
    optionsDialog_->Form_Load();
    // Cancel and the close box discard the dialog with whatever was typed into it.
    if (platform_.execDialog(*optionsDialog_) != QDialog::Accepted)
        delete optionsDialog_;
    // The About box is rebuilt with the current language when next needed.
    delete aboutForm_;
    player_.settingsChanged();
    ApplyLanguageCaptions();
    ui_.quickSnapshotFolder->setText(settings_.snapshotFolder);
}

void MainForm::browseCommand_Click() {
    if (!ui_.folderBrowse1->Browse())
        return;
    const QString problem =
        snapshotFolderProblem(ui_.folderBrowse1->FullName(), defaultSnapshotFolder());
    if (!problem.isEmpty()) {
        (void)platform_.messageBox(this, problem, lookup_.text("010", "Error"),
                                   MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    ui_.quickSnapshotFolder->setText(ui_.folderBrowse1->FullName());
    settings_.snapshotFolder = ui_.folderBrowse1->FullName();
    saveConfiguration();
    player_.settingsChanged();
}

void MainForm::saveConfiguration() {
    QString error;
    if (SaveConfiguration(configPath_, settings_, &error))
        return;
    (void)platform_.messageBox(
        this, QStringLiteral("Could not save the settings to %1: %2").arg(configPath_, error),
        lookup_.text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
}
