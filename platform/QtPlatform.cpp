#include "platform/QtPlatform.h"

#include <QClipboard>
#include <QGuiApplication>

#include "platform/FileDialogFilter.h"
#include "platform/FolderDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

QtPlatform::QtPlatform(QString instanceLockPath)
    : lockPath_(instanceLockPath.isEmpty() ? defaultInstanceLockPath()
                                           : std::move(instanceLockPath)) {}

QtPlatform::~QtPlatform() = default;

static QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

MessageAnswer QtPlatform::messageBox(QWidget* owner, const QString& text, const QString& title,
                                     MessageIcon icon, MessageButtons buttons) {
    QMessageBox box(owner);
    box.setWindowTitle(title.isEmpty() ? QGuiApplication::applicationDisplayName() : title);
    box.setTextFormat(Qt::PlainText);
    // Texts break lines with a lone CR as well as CR LF.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setText(shown);
    box.setIcon(qtIcon(icon));
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
    }
    box.exec();
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    // Closing a question box by any other means is the safe answer.
    return box.clickedButton() == box.button(QMessageBox::Yes) ? MessageAnswer::Yes
                                                               : MessageAnswer::No;
}

void QtPlatform::boundedWait(int maxMs, const std::function<bool()>& done) {
    // A blocking wait by design: events are not processed, but it ends as soon as the
    // awaited condition holds.
    constexpr qint64 pollMs = 5;
    QElapsedTimer clock;
    clock.start();
    while (!(done && done())) {
        const qint64 left = maxMs - clock.elapsed();
        if (left <= 0)
            return;
        QThread::msleep(static_cast<unsigned long>(std::min(left, pollMs)));
    }
}

void QtPlatform::beep() {
    QApplication::beep();
}

bool QtPlatform::openDocument(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
}

bool QtPlatform::startProgram(const QString& path) {
    const QFileInfo program(path);
    if (path.isEmpty() || !program.isFile() || !program.isExecutable())
        return false;
    return QProcess::startDetached(program.absoluteFilePath(), {});
}

QString QtPlatform::openFileDialog(QWidget* owner, const QList<FileTypeFilter>& filter) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    // The patterns carry upper-case twins; the descriptions alone read better.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    const QStringList filters = qtNameFilters(filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }
    dialog.setDirectory(lastOpenFolder_.isEmpty() ? QDir::homePath() : lastOpenFolder_);
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (chosen.isEmpty())
        return {};
    lastOpenFolder_ = QFileInfo(chosen).absolutePath();
    return QDir::toNativeSeparators(chosen);
}

QString QtPlatform::browseForFolder(QWidget* owner, const FolderDialogRequest& request) {
    FolderDialog dialog(request, owner);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosenPath();
}

void QtPlatform::copyImage(const QImage& image) {
    QGuiApplication::clipboard()->setImage(image);
}

int QtPlatform::execDialog(QDialog& dialog) {
    return dialog.exec();
}

bool QtPlatform::anotherInstanceRunning() {
    if (instanceLock_)
        return false;
    auto lock = std::make_unique<QLockFile>(lockPath_);
    // The claim lasts as long as the program runs, so it never goes stale by age; a lock
    // left by a crashed process is recognised by its dead process id instead.
    lock->setStaleLockTime(0);
    QDir().mkpath(QFileInfo(lockPath_).absolutePath());
    if (lock->tryLock(0)) {
        instanceLock_ = std::move(lock);
        return false;
    }
    // Only a live holder means another instance; a folder we cannot write must not keep
    // the program from starting.
    return lock->error() == QLockFile::LockFailedError;
}

QString QtPlatform::instanceSocketPath() const {
    QString path = lockPath_;
    if (path.endsWith(QStringLiteral(".lock")))
        path.chop(5);
    return path + QStringLiteral(".socket");
}

QString QtPlatform::applicationFolder() const {
    return QCoreApplication::applicationDirPath();
}

QString QtPlatform::defaultInstanceLockPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
#ifdef Q_OS_UNIX
    const QString user = QString::number(::getuid());
#else
    QString user = qEnvironmentVariable("USERNAME");
    if (user.isEmpty())
        user = QStringLiteral("user");
#endif
    return folder + QStringLiteral("/framora-") + user + QStringLiteral(".lock");
}
