#pragma once

#include "platform/Platform.h"

#include <QDialog>
#include <QString>

class QDialogButtonBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QTreeView;
class RootOnlyFilter;

// Bits of the folder-dialog option word that change what this dialog shows. The values
// are the shell's BIF_* constants, the same word the folder browse control builds.
enum class FolderDialogOption : unsigned {
    OnlyFileSystemFolders = 0x0001,
    EditBox = 0x0010,
    NewFolderButton = 0x0040,
    ComputersOnly = 0x1000,
    PrintersOnly = 0x2000,
    IncludeFiles = 0x4000,
};

// The folder dialog: the request's title as instruction text above a tree of folders,
// held inside the request's root (which is the tree's only top item, so the user cannot
// climb above it), files listed on request, an optional edit box for typing a name.
// chosenPath() holds the confirmed item after Accepted.
class FolderDialog : public QDialog {
    Q_OBJECT
public:
    explicit FolderDialog(const FolderDialogRequest& request, QWidget* parent = nullptr);
    ~FolderDialog() override;

    // The folder the tree is held in; empty when the whole file system is shown.
    [[nodiscard]] QString rootPath() const { return rootPath_; }
    [[nodiscard]] QString selectedPath() const;
    // Selects an existing item inside the root; false (selection unchanged) otherwise.
    bool selectPath(const QString& path);
    [[nodiscard]] QString chosenPath() const { return chosenPath_; }

    void accept() override;

private:
    [[nodiscard]] bool has(FolderDialogOption option) const;
    [[nodiscard]] bool insideRoot(const QString& absolutePath) const;
    [[nodiscard]] bool confirmable(const QString& absolutePath) const;
    [[nodiscard]] QString pathFromEditBox() const;
    [[nodiscard]] QModelIndex viewIndex(const QString& path) const;
    void selectionChanged();
    void makeNewFolder();

    unsigned options_;
    QString rootPath_;
    QString chosenPath_;
    QFileSystemModel* model_ = nullptr;
    RootOnlyFilter* filter_ = nullptr;
    QLabel* instruction_ = nullptr;
    QTreeView* tree_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
    QPushButton* newFolderButton_ = nullptr;
    QDialogButtonBox* buttons_ = nullptr;
};
