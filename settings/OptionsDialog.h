#pragma once

#include <QDialog>
#include <QString>

class FolderBrowse;
class Platform;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TextLookup;
struct Settings;

// The modal window in which the user edits all of Settings. The opener runs Form_Load
// before every showing (the dialog is kept hidden after OK) and shows it. OK stores the
// values in Settings and rewrites the configuration file at configPath; Cancel, Esc and the
// close box change nothing.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(Settings& settings, const TextLookup& text, Platform& platform,
                  QString configPath, QWidget* parent = nullptr);

    void Form_Load();
    void FillLanguageList();

    void OKButton_Click();
    void CancelButton_Click();
    void Command1_Click();
    void snapshotsBrowse_Click();
    void availableLanguages_Click();
    void inputBoxCheck_Click();

    // Puts a caption on the control of that objectName: the title of a frame, the text of
    // a button, label or check box; an empty name (or the dialog's own) sets the window
    // title. Unknown names are ignored.
    void setCaption(const QString& objectName, const QString& text);

private:
    void fillLanguageList(const QString& selectedFile);
    [[nodiscard]] QString languageFolder() const;

    Settings& settings_;
    const TextLookup& text_;
    Platform& platform_;
    QString configPath_;

    QGroupBox* languageFrame_;
    QLabel* languageLabel_;
    QComboBox* availableLanguages_;
    QLabel* Picture1_;
    QListWidget* File1_; // hidden: the pack files that fill the language list
    QGroupBox* snapshotsFrame_;
    QLabel* imageFormatLabel_;
    QComboBox* imageFormats_;
    QLabel* snapshotsPathLabel_;
    QLineEdit* snapshotPath_;
    QPushButton* snapshotsBrowse_;
    QLabel* prefixLabel_;
    QLineEdit* snapshotPrefix_;
    QCheckBox* inputBoxCheck_;
    QLabel* valueTitle_;
    QLineEdit* milliseconds_;
    QLabel* millisecondsLabel_;
    QCheckBox* previewSnapshot_;
    QGroupBox* miscellaneousFrame_;
    QCheckBox* screenSaver_;
    QPushButton* Command1_;
    QPushButton* OKButton_;
    QPushButton* CancelButton_;
    FolderBrowse* FolderBrowse1_;
};
