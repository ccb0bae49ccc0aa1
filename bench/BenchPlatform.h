#pragma once

#include "platform/Platform.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>

// A platform that answers nothing: messages go to standard error, dialogs are refused.
// Its bounded wait blocks like the real one, so the main window's loads cost what a
// user's do.
class BenchPlatform : public Platform {
public:
    explicit BenchPlatform(QString appFolder) : appFolder_(std::move(appFolder)) {}

    MessageAnswer messageBox(QWidget*, const QString& text, const QString& title, MessageIcon,
                             MessageButtons buttons) override {
        std::fprintf(stderr, "framora_bench: message: %s %s\n", qPrintable(title),
                     qPrintable(text));
        ++messages;
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
    void boundedWait(int maxMs, const std::function<bool()>& done) override {
        QElapsedTimer clock;
        clock.start();
        while (!(done && done()) && clock.elapsed() < maxMs)
            QThread::msleep(5);
    }
    void beep() override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }
    QString openFileDialog(QWidget*, const QList<FileTypeFilter>&) override { return {}; }
    QString browseForFolder(QWidget*, const FolderDialogRequest&) override { return {}; }
    void copyImage(const QImage&) override {}
    int execDialog(QDialog& dialog) override {
        dialog.reject();
        return QDialog::Rejected;
    }
    bool anotherInstanceRunning() override { return false; }
    QString applicationFolder() const override { return appFolder_; }

    int messages = 0;

private:
    QString appFolder_;
};
