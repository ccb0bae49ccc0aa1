#include "playback/OpenRefusal.h"

#include "playback/MediaTypes.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

QString openRefusal(const QString& path, const QStringList& extensions, ContentKind* content) {
    if (content)
        *content = ContentKind::Unknown;
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
    if (!QFileInfo(path).isReadable())
        return QStringLiteral("no permission to read it");
    // A known name is left to the engine, which tells when it cannot play the file.
    if (hasSupportedExtension(path, extensions))
        return {};
    const ContentKind kind = sniffContent(path);
    if (content)
        *content = kind;
    switch (kind) {
    case ContentKind::Media:
        return {};
    case ContentKind::StillImage:
        return QStringLiteral("it is a still picture, not a video");
    case ContentKind::Subtitles:
        return QStringLiteral("it holds subtitles, not a video; open the video first, then "
                              "add them from the Subtitles menu");
    case ContentKind::Unknown:
        break;
    }
    return QStringLiteral("neither its name nor its content is of a video type this program "
                          "plays");
}

QString subtitleRefusal(const QString& path) {
    // A film's subtitles are a few hundred kilobytes; a picture-based track's index is
    // text too.
    constexpr qint64 kLargestSubtitleFile = 20 * 1024 * 1024;
    const QFileInfo file(path);
    if (!file.isFile())
        return QStringLiteral("not a regular file");
    if (!file.isReadable())
        return QStringLiteral("no permission to read it");
    if (file.size() > kLargestSubtitleFile)
        return QStringLiteral("it is far too large for a subtitle file");
    if (sniffContent(path) != ContentKind::Subtitles)
        return QStringLiteral("its content is not subtitles in a format this program reads");
    return {};
}
