#include "capture/SnapshotFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#endif

static QString nativePath(const QString& path) {
    return QDir::toNativeSeparators(path);
}

RenameOutcome renameWithoutReplacing(const QString& from, const QString& to, QString* error) {
#ifdef Q_OS_LINUX
    // QFile::rename checks for the target and then falls back to copying over it, which
    // could clobber a file another program creates in between: use calls that refuse.
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    const int renamed =
        ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (renamed == 0)
        return RenameOutcome::Renamed;
    if (errno == EEXIST)
        return RenameOutcome::TargetExists;
    if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
        // The file system cannot refuse while renaming; a hard link can refuse.
        if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            return RenameOutcome::Renamed;
        }
        if (errno == EEXIST)
            return RenameOutcome::TargetExists;
        if (errno == EPERM || errno == ENOSYS || errno == EOPNOTSUPP) {
            // No hard links either (FAT and the like): check, then rename.
            const QFileInfo existing(to);
            if (existing.exists() || existing.isSymLink())
                return RenameOutcome::TargetExists;
            if (::rename(source.constData(), target.constData()) == 0)
                return RenameOutcome::Renamed;
        }
    }
    if (error)
        *error = qt_error_string(errno);
    return RenameOutcome::Failed;
#else
    const QFileInfo existing(to);
    if (existing.exists() || existing.isSymLink())
        return RenameOutcome::TargetExists;
    QFile file(from);
    if (file.rename(to))
        return RenameOutcome::Renamed;
    if (error)
        *error = file.errorString();
    return RenameOutcome::Failed;
#endif
}

SnapshotPartFile::~SnapshotPartFile() {
    remove();
}

void SnapshotPartFile::remove() {
    if (!path_.isEmpty())
        QFile::remove(path_);
    path_.clear();
}

bool SnapshotPartFile::write(const QString& finalPath, const QByteArray& bytes, QString* error) {
    remove();
    const QFileInfo target(finalPath);
    const QString stem = target.path() + QLatin1String("/.") + target.fileName();
    // A leftover of an earlier run may hold the plain name; it is not ours to delete.
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QString path = attempt == 0 ? stem + QLatin1String(".part")
                                          : stem + QLatin1Char('.') + QString::number(attempt) +
                                                QLatin1String(".part");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            // Another writer's temporary file may be renamed away between the refusal and a
            // look: the refusal's own reason counts.
            const int refusal = errno;
            const QFileInfo existing(path);
            if (refusal == EEXIST || existing.exists() || existing.isSymLink())
                continue;
            if (error)
                *error = file.errorString();
            return false;
        }
        path_ = path;
        QString reason;
        // Qt reports no error for a write that stopped part-way (a disk that fills up
        // during it); asking for the rest makes the system say why.
        qint64 written = 0;
        while (written < bytes.size()) {
            const qint64 step = file.write(bytes.constData() + written, bytes.size() - written);
            if (step <= 0)
                break;
            written += step;
        }
        if (written == bytes.size()) {
            file.close(); // reports what only the close or the flush finds (NFS, quotas)
            if (file.error() == QFileDevice::NoError)
                return true;
            reason = file.errorString();
        } else {
            reason = file.errorString(); // closing would clear it
            file.close();
        }
        if (error)
            *error = reason;
        remove();
        return false;
    }
    if (error)
        *error = QStringLiteral("no free name for a temporary file beside it");
    return false;
}

RenameOutcome SnapshotPartFile::commitAs(const QString& finalPath, QString* error) {
    if (path_.isEmpty()) {
        if (error)
            *error = QStringLiteral("nothing was written");
        return RenameOutcome::Failed;
    }
    const RenameOutcome outcome = renameWithoutReplacing(path_, finalPath, error);
    if (outcome == RenameOutcome::Renamed)
        path_.clear();
    return outcome;
}

static QString cannotWrite(const QString& path, const QString& reason) {
    return QStringLiteral("Cannot write %1: %2").arg(nativePath(path), reason);
}

SnapshotCommit commitSnapshotFile(const QByteArray& bytes, int number,
                                  const std::function<QString(int)>& pathFor,
                                  const std::function<int(int)>& renumber) {
    QString path = pathFor(number);
    SnapshotPartFile part;
    QString reason;
    if (!part.write(path, bytes, &reason))
        return {{}, cannotWrite(path, reason), number};
    for (;;) {
        switch (part.commitAs(path, &reason)) {
        case RenameOutcome::Renamed:
            return {path, {}, number};
        case RenameOutcome::Failed:
            return {{}, cannotWrite(path, reason), number};
        case RenameOutcome::TargetExists: {
            const int next = renumber(number);
            if (next <= 0)
                return {{}, cannotWrite(path, QStringLiteral("no free file number is left")), 0};
            number = next;
            path = pathFor(number);
            break;
        }
        }
    }
}

void removeStalePartFiles(const QString& folder, int olderThanSeconds) {
    const QDir dir(folder);
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-olderThanSeconds);
    const QFileInfoList leftovers =
        dir.entryInfoList({QStringLiteral(".*.png.part"), QStringLiteral(".*.jpg.part"),
                           QStringLiteral(".*.png.*.part"), QStringLiteral(".*.jpg.*.part")},
                          QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : leftovers) {
        if (file.lastModified().toUTC() < before)
            (void)QFile::remove(file.absoluteFilePath());
    }
}
