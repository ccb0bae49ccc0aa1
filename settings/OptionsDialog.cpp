#include "settings/OptionsDialog.h"

#include "folderbrowse/FolderBrowse.h"
#include "localisation/TextLookup.h"
#include "platform/Platform.h"
#include "platform/Twips.h"
#include "settings/ConfigFile.h"
#include "settings/OptionsRules.h"
#include "settings/Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>

// What the dialog shows until the language captions are applied to it.
struct DefaultCaption {
    const char* objectName;
    const char* text;
};
static constexpr DefaultCaption kDefaultCaptions[] = {
    {"", "Options"},
    {"languageFrame", "Language"},
    {"languageLabel", "Select Language:"},
    {"snapshotsFrame", "Snapshots"},
    {"imageFormatLabel", "Image Format:"},
    {"snapshotsPathLabel", "Snapshots Path:"},
    {"snapshotsBrowse", "&Browse..."},
    {"prefixLabel", "Snapshot Prefix:"},
    {"inputBoxCheck", "Do not show \"Timed Snapshot\" input box again"},
    {"valueTitle", "Use this value instead:"},
    {"millisecondsLabel", "milliseconds."},
    {"previewSnapshot", "Preview snapshot"},
    {"miscellaneousFrame", "Miscellaneous"},
    {"screenSaver", "Disable screen saver"},
    {"Command1", "Defaults"},
    {"OKButton", "&OK"},
    {"CancelButton", "&Cancel"},
};

OptionsDialog::OptionsDialog(Settings& settings, const TextLookup& text, Platform& platform,
                             QString configPath, QWidget* parent)
    : QDialog(parent), settings_(settings), text_(text), platform_(platform),
      configPath_(std::move(configPath)) {
    setObjectName(QStringLiteral("OptionsDialog"));
    const float tpp = dialogTwipsPerPixel(*this);
    setFixedSize(twipsToPixels(QRectF(0, 0, 6030, 5310), tpp).size());

    // Created in the order the focus should travel.
    languageFrame_ = placeControl<QGroupBox>(this, "languageFrame", {120, 120, 5775, 855}, tpp);
    languageLabel_ =
        placeControl<QLabel>(languageFrame_, "languageLabel", {120, 360, 1215, 195}, tpp);
    availableLanguages_ =
        placeControl<QComboBox>(languageFrame_, "availableLanguages", {1440, 360, 1815, 315}, tpp);
    Picture1_ = placeControl<QLabel>(languageFrame_, "Picture1", {3480, 397, 240, 240}, tpp);
    Picture1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    File1_ = placeControl<QListWidget>(languageFrame_, "File1", {4560, 360, 1215, 480}, tpp);
    File1_->hide();

    snapshotsFrame_ = placeControl<QGroupBox>(this, "snapshotsFrame", {120, 1080, 5775, 2775}, tpp);
    imageFormatLabel_ =
        placeControl<QLabel>(snapshotsFrame_, "imageFormatLabel", {285, 360, 1005, 195}, tpp);
    imageFormats_ =
        placeControl<QComboBox>(snapshotsFrame_, "imageFormats", {1440, 300, 1335, 315}, tpp);
    imageFormats_->addItems({QStringLiteral("PNG"), QStringLiteral("JPG")});
    snapshotsPathLabel_ =
        placeControl<QLabel>(snapshotsFrame_, "snapshotsPathLabel", {120, 840, 1170, 195}, tpp);
    snapshotPath_ =
        placeControl<QLineEdit>(snapshotsFrame_, "snapshotPath", {1440, 795, 3135, 285}, tpp);
    snapshotsBrowse_ =
        placeControl<QPushButton>(snapshotsFrame_, "snapshotsBrowse", {4680, 795, 975, 285}, tpp);
    snapshotsBrowse_->setAutoDefault(false);
    prefixLabel_ =
        placeControl<QLabel>(snapshotsFrame_, "prefixLabel", {135, 1320, 1155, 195}, tpp);
    snapshotPrefix_ =
        placeControl<QLineEdit>(snapshotsFrame_, "snapshotPrefix", {1440, 1275, 3135, 285}, tpp);
    inputBoxCheck_ =
        placeControl<QCheckBox>(snapshotsFrame_, "inputBoxCheck", {120, 1680, 5535, 255}, tpp);
    valueTitle_ = placeControl<QLabel>(snapshotsFrame_, "valueTitle", {480, 2040, 1605, 195}, tpp);
    milliseconds_ =
        placeControl<QLineEdit>(snapshotsFrame_, "milliseconds", {2160, 1995, 975, 285}, tpp);
    millisecondsLabel_ =
        placeControl<QLabel>(snapshotsFrame_, "millisecondsLabel", {3240, 2010, 975, 255}, tpp);
    previewSnapshot_ =
        placeControl<QCheckBox>(snapshotsFrame_, "previewSnapshot", {120, 2400, 5535, 255}, tpp);

    miscellaneousFrame_ =
        placeControl<QGroupBox>(this, "miscellaneousFrame", {120, 3960, 5775, 735}, tpp);
    screenSaver_ =
        placeControl<QCheckBox>(miscellaneousFrame_, "screenSaver", {120, 360, 5535, 255}, tpp);

    Command1_ = placeControl<QPushButton>(this, "Command1", {120, 4800, 2295, 375}, tpp);
    Command1_->setAutoDefault(false);
    OKButton_ = placeControl<QPushButton>(this, "OKButton", {3360, 4800, 1215, 375}, tpp);
    OKButton_->setDefault(true);
    CancelButton_ = placeControl<QPushButton>(this, "CancelButton", {4680, 4800, 1215, 375}, tpp);
    CancelButton_->setAutoDefault(false);

    FolderBrowse1_ = new FolderBrowse(platform_, this);
    FolderBrowse1_->setObjectName(QStringLiteral("FolderBrowse1"));
    FolderBrowse1_->hide();

    for (const DefaultCaption& caption : kDefaultCaptions)
        setCaption(QLatin1String(caption.objectName), QString::fromUtf8(caption.text));

    connect(availableLanguages_, &QComboBox::currentIndexChanged, this,
            &OptionsDialog::availableLanguages_Click);
    connect(inputBoxCheck_, &QCheckBox::toggled, this, &OptionsDialog::inputBoxCheck_Click);
    connect(snapshotsBrowse_, &QPushButton::clicked, this, &OptionsDialog::snapshotsBrowse_Click);
    connect(Command1_, &QPushButton::clicked, this, &OptionsDialog::Command1_Click);
    connect(OKButton_, &QPushButton::clicked, this, &OptionsDialog::OKButton_Click);
    connect(CancelButton_, &QPushButton::clicked, this, &OptionsDialog::CancelButton_Click);
}

void OptionsDialog::setCaption(const QString& objectName, const QString& text) {
    if (objectName.isEmpty() || objectName == this->objectName()) {
        setWindowTitle(text);
        return;
    }
    QWidget* control = findChild<QWidget*>(objectName);
    if (auto* frame = qobject_cast<QGroupBox*>(control))
        frame->setTitle(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    if (control && !qobject_cast<QGroupBox*>(control))
        fitTextToWidth(*control);
}

QString OptionsDialog::languageFolder() const {
    return platform_.applicationFolder() + QStringLiteral("/Lang");
}

void OptionsDialog::Form_Load() {
    FillLanguageList();
    imageFormats_->setCurrentIndex(settings_.imageFormat != 0 ? 1 : 0);
    snapshotPath_->setText(settings_.snapshotFolder);
    snapshotPrefix_->setText(settings_.filePrefix);
    inputBoxCheck_->setChecked(settings_.skipTimedPrompt != 0);
    milliseconds_->setText(QString::number(settings_.timedInterval));
    previewSnapshot_->setChecked(settings_.showPreview != 0);
    screenSaver_->setChecked(settings_.disableScreenSaver != 0);
    availableLanguages_Click();
    inputBoxCheck_Click();
}

void OptionsDialog::FillLanguageList() {
    fillLanguageList(settings_.languageFile);
}

void OptionsDialog::fillLanguageList(const QString& selectedFile) {
    // The selection is set below and its reaction run by the caller, once.
    const QSignalBlocker blocker(availableLanguages_);
    availableLanguages_->clear();
    // Hidden and system files are left out; a missing folder lists nothing. The pattern
    // matches case-sensitively: a pack is stored as its list name + ".ini", so "X.INI"
    // would name a file that does not exist where letter case matters.
    File1_->clear();
    File1_->addItems(QDir(languageFolder())
                         .entryList({QStringLiteral("*.ini")}, QDir::Files | QDir::CaseSensitive,
                                    QDir::Name | QDir::IgnoreCase));
    int selected = -1;
    for (int i = 0; i < File1_->count(); ++i) {
        const QString name = File1_->item(i)->text();
        if (name == selectedFile)
            selected = availableLanguages_->count();
        availableLanguages_->addItem(name.chopped(4));
    }
    availableLanguages_->setCurrentIndex(selected);
}

void OptionsDialog::availableLanguages_Click() {
    QPixmap flag;
    // A missing or unreadable flag is not worth a word: the old picture stays.
    if (flag.load(languageFolder() + QLatin1Char('/') + availableLanguages_->currentText() +
                  QStringLiteral(".bmp")))
        Picture1_->setPixmap(flag);
}

void OptionsDialog::inputBoxCheck_Click() {
    const bool use = inputBoxCheck_->isChecked();
    milliseconds_->setEnabled(use);
    valueTitle_->setEnabled(use);
    millisecondsLabel_->setEnabled(use);
}

void OptionsDialog::Command1_Click() {
    imageFormats_->setCurrentIndex(1);
    snapshotPath_->setText(defaultSnapshotFolder());
    snapshotPrefix_->setText(QStringLiteral("IMG_"));
    inputBoxCheck_->setChecked(false);
    milliseconds_->setText(QStringLiteral("5000"));
    previewSnapshot_->setChecked(false);
    screenSaver_->setChecked(true);
    fillLanguageList(QStringLiteral("English.ini"));
    availableLanguages_Click();
    inputBoxCheck_Click();
}

void OptionsDialog::snapshotsBrowse_Click() {
    setEnabled(false);
    FolderBrowse1_->setCaption(text_.SetCaptionfromINI(
        QStringLiteral("48"), QStringLiteral("Choose the folder the snapshots are saved in:")));
    if (FolderBrowse1_->Browse())
        snapshotPath_->setText(FolderBrowse1_->FullName());
    setEnabled(true);
    activateWindow();
    snapshotPath_->setFocus();
}

void OptionsDialog::OKButton_Click() {
    const QString errorTitle =
        text_.SetCaptionfromINI(QStringLiteral("010"), QStringLiteral("Error"));
    const std::optional<int> interval = checkOptionsInterval(milliseconds_->text());
    if (!interval) {
        (void)platform_.messageBox(
            this,
            text_.SetCaptionfromINI(
                QStringLiteral("014"),
                QStringLiteral("Please enter a valid numeric time ranging from 1000 - 60000.")),
            errorTitle, MessageIcon::Critical, MessageButtons::Ok);
        return;
    }
    switch (checkSnapshotPrefix(snapshotPrefix_->text())) {
    case PrefixCheck::TooLong:
        (void)platform_.messageBox(
            this,
            text_.SetCaptionfromINI(
                QStringLiteral("036"),
                QStringLiteral("Prefix should not be greater than 4 characters.")),
            errorTitle, MessageIcon::Critical, MessageButtons::Ok);
        return;
    case PrefixCheck::NotAFileName:
        (void)platform_.messageBox(
            this,
            text_.SetCaptionfromINI(QStringLiteral("015"),
                                    QStringLiteral("Please enter a valid snapshot prefix.")),
            errorTitle, MessageIcon::Critical, MessageButtons::Ok);
        return;
    case PrefixCheck::Usable:
        break;
    }
    // A blank at either end is refused, as the main window's Browse refuses it: trimmed, it
    // would name another folder than the one picked (Config.cfg keeps none at either end of
    // a line).
    const QString folder = snapshotPath_->text();
    const QString folderProblem = snapshotFolderProblem(folder, defaultSnapshotFolder());
    if (!folderProblem.isEmpty()) {
        (void)platform_.messageBox(this, folderProblem, errorTitle, MessageIcon::Critical,
                                   MessageButtons::Ok);
        return;
    }

    // With the current pack missing the list has no selection: the stored name stays.
    if (availableLanguages_->currentIndex() >= 0)
        settings_.languageFile = availableLanguages_->currentText() + QStringLiteral(".ini");
    settings_.imageFormat = static_cast<std::uint8_t>(imageFormats_->currentIndex() == 1 ? 1 : 0);
    settings_.snapshotFolder = folder;
    settings_.filePrefix = snapshotPrefix_->text();
    settings_.skipTimedPrompt = inputBoxCheck_->isChecked() ? 1 : 0;
    settings_.timedInterval = *interval;
    settings_.showPreview = previewSnapshot_->isChecked() ? 1 : 0;
    settings_.disableScreenSaver = screenSaver_->isChecked() ? 1 : 0;

    // The values stay in effect for this run even when the file cannot be written.
    QString reason;
    if (!SaveConfiguration(configPath_, settings_, &reason)) {
        (void)platform_.messageBox(this,
                                   QStringLiteral("Could not save the settings to %1: %2")
                                       .arg(QDir::toNativeSeparators(configPath_), reason),
                                   errorTitle, MessageIcon::Critical, MessageButtons::Ok);
    }

    accept();
}

void OptionsDialog::CancelButton_Click() {
    reject();
}
