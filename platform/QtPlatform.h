#pragma once

#include "platform/Platform.h"

#include <QString>
#include <memory>

class QLockFile;

// The real operating-system services, over Qt: message boxes, file and folder dialogs,
// the desktop's document and program launching, and the per-user instance claim.
class QtPlatform : public Platform {
public:
    // instanceLockPath: the file that marks a running instance; empty = the per-user
    // default (defaultInstanceLockPath()). Tests pass their own so that they never meet
    // a Framora the user is running.
    explicit QtPlatform(QString instanceLockPath = {});
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    [[nodiscard]] MessageAnswer messageBox(QWidget* owner, const QString& text,
                                           const QString& title, MessageIcon icon,
                                           MessageButtons buttons) override;
    void boundedWait(int maxMs, const std::function<bool()>& done) override;
    void beep() override;
    [[nodiscard]] bool openDocument(const QString& path) override;
    [[nodiscard]] bool startProgram(const QString& path) override;
    [[nodiscard]] QString openFileDialog(QWidget* owner,
                                         const QList<FileTypeFilter>& filters) override;
    [[nodiscard]] QString browseForFolder(QWidget* owner,
                                          const FolderDialogRequest& request) override;
    void copyImage(const QImage& image) override;
    int execDialog(QDialog& dialog) override;
    [[nodiscard]] bool anotherInstanceRunning() override;
    [[nodiscard]] QString applicationFolder() const override;

    // The user's runtime folder (or the temporary folder) and a name that carries the
    // user's id, so that two users on one machine do not shut each other out.
    [[nodiscard]] static QString defaultInstanceLockPath();
    // Where the running instance listens for later starts (see InstanceChannel).
    [[nodiscard]] QString instanceSocketPath() const;

private:
    QString lockPath_;
    std::unique_ptr<QLockFile> instanceLock_; // held while this process is the instance
    QString lastOpenFolder_;
};
