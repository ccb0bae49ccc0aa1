#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QImage;
class QWidget;

enum class MessageIcon { None, Critical, Exclamation, Question };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// One choice of the open-file dialog's type list: a description and its patterns.
struct FileTypeFilter {
    QString description;
    QStringList patterns; // "*.avi"
    friend bool operator==(const FileTypeFilter&, const FileTypeFilter&) = default;
};

// What the folder dialog is asked to show; built by the folder browse control.
struct FolderDialogRequest {
    QString title;        // instruction text above the tree
    QString rootFolder;   // the user cannot leave this folder upwards; empty = no root
    unsigned options = 0; // folder-dialog option bits (see folderbrowse/BrowseFlags.h)
};

// The operating-system services the program uses. The real one shows real dialogs;
// tests script the answers so that nothing ever blocks on a modal window.
class Platform {
public:
    virtual ~Platform() = default;

    // A modal message box. An empty title shows the application's name.
    [[nodiscard]] virtual MessageAnswer messageBox(QWidget* owner, const QString& text,
                                                   const QString& title, MessageIcon icon,
                                                   MessageButtons buttons) = 0;
    // Waits at most maxMs milliseconds; returns early as soon as done() is true.
    virtual void boundedWait(int maxMs, const std::function<bool()>& done) = 0;
    virtual void beep() = 0;
    // Opens a document with the desktop's default application; false when it cannot.
    [[nodiscard]] virtual bool openDocument(const QString& path) = 0;
    // Starts a program without waiting for it; false when it cannot be started.
    [[nodiscard]] virtual bool startProgram(const QString& path) = 0;
    // The open-file dialog, the first filter chosen; returns the chosen full path, or an
    // empty text on Cancel.
    [[nodiscard]] virtual QString openFileDialog(QWidget* owner,
                                                 const QList<FileTypeFilter>& filters) = 0;
    // The folder dialog; returns the chosen folder, or an empty text on Cancel.
    [[nodiscard]] virtual QString browseForFolder(QWidget* owner,
                                                  const FolderDialogRequest& request) = 0;
    // Puts an image on the clipboard.
    virtual void copyImage(const QImage& image) = 0;
    // Shows a dialog modally and returns its result code (QDialog::exec).
    virtual int execDialog(QDialog& dialog) = 0;
    // True when another instance of the program already runs for this user. The first
    // caller keeps the claim for the rest of its life.
    [[nodiscard]] virtual bool anotherInstanceRunning() = 0;
    // The folder of the executable: Config.cfg, Lang/, Skin.skf and the help files.
    [[nodiscard]] virtual QString applicationFolder() const = 0;
};
