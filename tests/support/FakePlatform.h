#pragma once

#include "platform/Platform.h"

#include <QDialog>
#include <QImage>
#include <QList>
#include <QString>
#include <functional>

// A platform whose dialogs answer from a script and record what they were shown.
class FakePlatform : public Platform {
public:
    struct Message {
        QString text;
        QString title;
        MessageIcon icon;
        MessageButtons buttons;
    };

    explicit FakePlatform(QString appFolder) : appFolder_(std::move(appFolder)) {}

    QList<Message> messages;
    QList<MessageAnswer> answers; // taken from the front; Ok/No when empty
    // Runs when a message box is shown, to look at the program's state at that moment.
    std::function<void(const Message&)> onMessage;
    int beeps = 0;
    QStringList openedDocuments;
    QString openFileAnswer; // empty = Cancel
    QList<FileTypeFilter> lastOpenFilters;
    QString folderAnswer; // empty = Cancel
    QList<FolderDialogRequest> folderRequests;
    QImage copied;
    // Runs in place of a modal dialog; returns the dialog's result code.
    std::function<int(QDialog&)> dialogScript;

    MessageAnswer messageBox(QWidget*, const QString& text, const QString& title, MessageIcon icon,
                             MessageButtons buttons) override {
        messages.append({text, title, icon, buttons});
        if (onMessage)
            onMessage(messages.last());
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    void boundedWait(int, const std::function<bool()>& done) override { (void)done(); }
    void beep() override { ++beeps; }
    bool openDocument(const QString& path) override {
        openedDocuments << path;
        return true;
    }
    bool startProgram(const QString&) override { return false; }
    QString openFileDialog(QWidget*, const QList<FileTypeFilter>& filters) override {
        lastOpenFilters = filters;
        return openFileAnswer;
    }
    QString browseForFolder(QWidget*, const FolderDialogRequest& request) override {
        folderRequests << request;
        return folderAnswer;
    }
    void copyImage(const QImage& image) override { copied = image; }
    int execDialog(QDialog& dialog) override {
        if (dialogScript)
            return dialogScript(dialog);
        dialog.reject();
        return QDialog::Rejected;
    }
    bool anotherInstanceRunning() override { return false; }
    QString applicationFolder() const override { return appFolder_; }

private:
    QString appFolder_;
};
