// The main window's menus that open other windows, caption application and hover texts.
#include "folderbrowse/FolderBrowse.h"
#include "platform/Platform.h"
#include "settings/OptionsDialog.h"
#include "settings/Settings.h"
#include "shell/AboutForm.h"
#include "shell/AccessibleTexts.h"
#include "shell/MainForm.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {
#ifdef Q_OS_WIN
const QString kHelpExtension = QStringLiteral(".chm");
const QString kUpdater = QStringLiteral("/Update.exe");
#else
// No CHM viewer is standard here; the help pages are plain HTML with the same base name.
const QString kHelpExtension = QStringLiteral(".html");
const QString kUpdater = QStringLiteral("/Update");
#endif
} // namespace

void MainForm::ensureOptionsDialog() {
    if (optionsDialog_)
        return;
    optionsDialog_ = new OptionsDialog(settings_, lookup_, platform_, configPath_, this);
    optionsDialog_->setObjectName(QStringLiteral("OptionsDialog"));
    optionsDialog_->Form_Load();
}

void MainForm::ensureAboutForm() {
    if (aboutForm_)
        return;
    aboutForm_ = new AboutForm(lookup_, this);
    aboutForm_->setWindowIcon(windowIcon());
}

void MainForm::aboutMenu_Click() {
    ensureAboutForm();
    aboutForm_->setOkCaption(captions_.okCaption);
    aboutForm_->composeTexts();
    (void)platform_.execDialog(*aboutForm_);
    delete aboutForm_;
}

void MainForm::howToUseMenu_Click() {
    const QString& language = settings_.languageFile;
    const QString page = language.size() >= 4 && TextLookup::isPackName(language)
                             ? platform_.applicationFolder() + QLatin1Char('/') +
                                   language.left(language.size() - 4) + kHelpExtension
                             : QString();
    if (!page.isEmpty() && QFileInfo(page).isFile()) {
        if (platform_.openDocument(page))
            return;
        // No browser (or nothing that opens web pages): the user can still find the page.
        (void)platform_.messageBox(
            this,
            lookup_.text("050", "No program to show the help page was found. Open this file "
                                "in a web browser:") +
                QLatin1Char('\n') + QDir::toNativeSeparators(page),
            lookup_.text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    (void)platform_.messageBox(
        this,
        lookup_.text("019", "Can't find the help file.") +
            (page.isEmpty() ? QString() : QLatin1Char('\n') + QDir::toNativeSeparators(page)),
        lookup_.text("010", "Error"), MessageIcon::Critical, MessageButtons::Ok);
}

void MainForm::checkUpdates_Click() {
    if (!platform_.startProgram(platform_.applicationFolder() + kUpdater))
        (void)platform_.messageBox(this, lookup_.text("018", "Can't run the updates checker."),
                                   lookup_.text("010", "Error"), MessageIcon::Critical,
                                   MessageButtons::Ok);
}

void MainForm::ApplyLanguageCaptions() {
    translation_.follow(settings_.languageFile);
    ensureOptionsDialog();
    ensureAboutForm();
    ::ApplyLanguageCaptions(lookup_, *this, captions_);
    ui_.folderBrowse1->setCaption(
        lookup_.text("48", "Choose the folder the snapshots are saved in:"));
    applyAccessibleTexts(ui_, lookup_, player_.view().muted);
}

void MainForm::setCaption(CaptionWindow window, const QString& objectName, const QString& text) {
    switch (window) {
    case CaptionWindow::Options:
        ensureOptionsDialog();
        optionsDialog_->setCaption(objectName, text);
        return;
    case CaptionWindow::About:
        ensureAboutForm();
        aboutForm_->setOkCaption(text);
        return;
    case CaptionWindow::Main:
        break;
    }
    if (objectName == QStringLiteral("quickPath")) {
        ui_.quickPath->setTitle(text);
    } else if (objectName == QStringLiteral("browseCommand")) {
        ui_.browseCommand->setText(text);
    } else if (auto* menu = findChild<QMenu*>(objectName)) {
        menu->setTitle(text);
    } else if (auto* action = findChild<QAction*>(objectName)) {
        action->setText(text);
    }
}

void MainForm::ShowToolTip(const QString& key, const QString& defaultText) {
    if (ui_.toolTips->text() == lookup_.SetCaptionfromINI(key, defaultText))
        return;
    ui_.toolTips->setText(lookup_.SetCaptionfromINI(key, defaultText));
    ui_.toolTipTimer->start();
}

void MainForm::toolTipTimer_Timer() {
    ui_.toolTips->clear();
    ui_.toolTips->setToolTip(QString());
    ui_.toolTipTimer->stop();
}
