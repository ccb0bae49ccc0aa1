#include "playback/MediaTypes.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

QStringList supportedExtensionList() {
    return {QStringLiteral("mpg"),   QStringLiteral("avi"), QStringLiteral("mpe"),
            QStringLiteral("3gp"),   QStringLiteral("3g2"), QStringLiteral("asf"),
            QStringLiteral("hdmov"), QStringLiteral("m4v"), QStringLiteral("mkv"),
            QStringLiteral("mp4"),   QStringLiteral("wmv"), QStringLiteral("vob")};
}

QList<FileTypeFilter> buildOpenFilter(const QString& allFormatsText,
                                      const QStringList& extensions) {
    QList<FileTypeFilter> filters{{allFormatsText, {}}};
    for (const QString& e : extensions) {
        filters.first().patterns << QStringLiteral("*.") + e;
        filters << FileTypeFilter{e.toUpper(), {QStringLiteral("*.") + e}};
    }
    return filters;
}

bool hasSupportedExtension(const QString& path, const QStringList& extensions) {
    const QString lower = path.toLower();
    for (const QString& e : extensions) {
        if (lower.endsWith(QLatin1Char('.') + e))
            return true;
    }
    return false;
}

float playbackRateForStep(int step) {
    if (step < 0)
        return 0.75f;
    if (step > 0)
        return 1.5f;
    return 1.0f;
}

QString openRefusal(const QString& path, const QStringList& extensions) {
    if (path.contains(QStringLiteral("://")))
        return QStringLiteral("web addresses cannot be opened, only files on this computer");
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        if (errno == ENAMETOOLONG)
            return QStringLiteral("the path is longer than the system allows");
        return errno == EACCES ? QStringLiteral("a folder on the way to it cannot be read")
                               : QStringLiteral("no such file");
    }
    if (!S_ISREG(status.st_mode))
        return QStringLiteral("not a regular file");
    if (!hasSupportedExtension(path, extensions))
        return QStringLiteral("not a supported video type (%1)")
            .arg(extensions.join(QStringLiteral(", ")));
    if (!QFileInfo(path).isReadable())
        return QStringLiteral("no permission to read it");
    return {};
}
