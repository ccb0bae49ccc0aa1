#pragma once

#include "folderbrowse/BrowseFlags.h"

#include <QString>
#include <QWidget>

class Platform;
class PropertyBag;

// One stored value per property of the folder browse control; the member initialisers
// are the defaults of a newly placed control (and of entries absent from a saved bag).
struct FolderBrowseState {
    bool enabled = true;
    QString folderName;
    QString fileName;
    QString fullName;
    QString displayName;
    bool fileReadOnly = false;
    bool fileHidden = false;
    bool fileSystem = false;
    bool fileCompressed = false;
    bool fileArchived = false;
    QString startDirectory;
    QString caption = QStringLiteral("Folder Browser");
    bool onlyFileSystemDirectories = false;
    bool dontGoBelowDomain = true;
    bool allowEditBox = false;
    bool validateSelection = true;
    bool useNewUI = false;
    bool browseForComputer = false;
    bool browseForPrinter = false;
    bool includeFiles = false;

    friend bool operator==(const FolderBrowseState&, const FolderBrowseState&) = default;
};

// A folder-selection control around the platform's folder dialog. A window places one,
// calls Browse(), and reads FullName() when it returned true. The other properties
// shape the dialog and are saved with the container; the control itself draws nothing
// and stays hidden.
//
// Setters of read/write properties store the value unchecked and emit propertyChanged.
// Setters of read-only properties throw FolderBrowseError (387 at design time, 382 at
// run time) and change nothing.
class FolderBrowse : public QWidget {
    Q_OBJECT
public:
    static constexpr int SideTwips = 390;

    explicit FolderBrowse(Platform& platform, QWidget* parent = nullptr);

    // Shows the folder dialog modally; true when a folder was chosen (now in FullName).
    // A cancel empties FullName.
    bool Browse();

    // The container's ambient mode: true at run time (the program), false while a
    // container is being designed.
    [[nodiscard]] bool UserMode() const { return userMode_; }
    void setUserMode(bool runTime) { userMode_ = runTime; }

    // The control's saved Enabled property: stored and saved only. Named apart from
    // QWidget's enabled state, which it neither reads nor changes.
    [[nodiscard]] bool BrowseEnabled() const { return state_.enabled; }
    void setBrowseEnabled(bool value);

    [[nodiscard]] QString FolderName() const { return state_.folderName; }
    void setFolderName(const QString& value);
    [[nodiscard]] QString FileName() const { return state_.fileName; }
    void setFileName(const QString& value);
    [[nodiscard]] QString FullName() const { return state_.fullName; }
    void setFullName(const QString& value);
    [[nodiscard]] QString DisplayName() const { return state_.displayName; }
    void setDisplayName(const QString& value);
    [[nodiscard]] bool FileReadOnly() const { return state_.fileReadOnly; }
    void setFileReadOnly(bool value);
    [[nodiscard]] bool FileHidden() const { return state_.fileHidden; }
    void setFileHidden(bool value);
    [[nodiscard]] bool FileSystem() const { return state_.fileSystem; }
    void setFileSystem(bool value);
    [[nodiscard]] bool FileCompressed() const { return state_.fileCompressed; }
    void setFileCompressed(bool value);
    [[nodiscard]] bool FileArchived() const { return state_.fileArchived; }
    void setFileArchived(bool value);

    [[nodiscard]] QString StartDirectory() const { return state_.startDirectory; }
    void setStartDirectory(const QString& value);
    [[nodiscard]] QString Caption() const { return state_.caption; }
    void setCaption(const QString& value);
    [[nodiscard]] bool OnlyFileSystemDirectories() const {
        return state_.onlyFileSystemDirectories;
    }
    void setOnlyFileSystemDirectories(bool value);
    [[nodiscard]] bool DontGoBelowDomain() const { return state_.dontGoBelowDomain; }
    void setDontGoBelowDomain(bool value);
    [[nodiscard]] bool AllowEditBox() const { return state_.allowEditBox; }
    void setAllowEditBox(bool value);
    [[nodiscard]] bool ValidateSelection() const { return state_.validateSelection; }
    void setValidateSelection(bool value);
    [[nodiscard]] bool UseNewUI() const { return state_.useNewUI; }
    void setUseNewUI(bool value);
    [[nodiscard]] bool BrowseForComputer() const { return state_.browseForComputer; }
    void setBrowseForComputer(bool value);
    [[nodiscard]] bool BrowseForPrinter() const { return state_.browseForPrinter; }
    void setBrowseForPrinter(bool value);
    [[nodiscard]] bool IncludeFiles() const { return state_.includeFiles; }
    void setIncludeFiles(bool value);

    // Container events. InitProperties: a new control is placed. ReadProperties: a saved
    // container is loaded (absent entries take the defaults). WriteProperties: the
    // container is saved (defaults are not stored; the extent is recorded).
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    [[nodiscard]] const FolderBrowseState& State() const { return state_; }

Q_SIGNALS:
    // A read/write property was assigned; a designing container marks itself modified.
    void propertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    [[nodiscard]] BrowseOptions options() const;
    [[noreturn]] void refuseReadOnly(const QString& name) const;
    void forceSize();

    Platform& platform_;
    FolderBrowseState state_;
    bool userMode_ = true;
};
