#include "platform/OwnFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool replaceFile(const QString& path, const QByteArray& bytes, QString* error) {
    const QFileInfo info(path);
    QTemporaryFile file(info.absolutePath() + QStringLiteral("/.") + info.fileName() +
                        QStringLiteral(".XXXXXX"));
    const auto fail = [&](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!file.open())
        return fail(file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush())
        return fail(file.errorString());
    // The new file keeps the mode the old one had (others may have been allowed to read
    // it); a first file gets the usual 0644 rather than a temporary file's 0600.
    struct stat old {};
    const mode_t mode =
        ::lstat(QFile::encodeName(path).constData(), &old) == 0 && S_ISREG(old.st_mode)
            ? old.st_mode & 07777
            : 0644;
    if (::fchmod(file.handle(), mode) != 0)
        return fail(qt_error_string(errno));
    // rename() replaces a link at path itself, not the file it points to.
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return fail(qt_error_string(errno));
    file.setAutoRemove(false);
    return true;
}

bool makeFolder(const QString& path, QString* error) {
    if (QFileInfo(path).isDir())
        return true;
    const QString parent = QFileInfo(path).absolutePath();
    if (parent != path && !makeFolder(parent, error))
        return false;
    if (::mkdir(QFile::encodeName(path).constData(), 0755) == 0 || errno == EEXIST)
        return true;
    if (error)
        *error =
            QStringLiteral("the folder %1 cannot be made: %2").arg(path, qt_error_string(errno));
    return false;
}

bool appendToFile(const QString& path, const QByteArray& bytes) {
    const QByteArray name = QFile::encodeName(path);
    // Not blocking: a pipe in the file's place would hold the program until someone reads
    // it. Only a regular file is written to.
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
    int fd = ::open(name.constData(), kFlags, 0644);
    if (fd < 0 && errno == ELOOP && ::unlink(name.constData()) == 0)
        fd = ::open(name.constData(), kFlags, 0644); // the link is gone; a file takes its place
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return false;
    }
    const bool written = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    return ::close(fd) == 0 && written;
}
