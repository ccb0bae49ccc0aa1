#include "capture/EngineOptions.h"

#include "platform/FileNames.h"
#include "settings/Settings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

EngineOptions BuildEngineOptions(const Settings& settings) {
    EngineOptions options;
    options.snapshot.folder = settings.snapshotFolder;
    options.snapshot.prefix = settings.filePrefix;
    options.snapshot.jpeg = settings.imageFormat != 0;
    options.snapshot.preview = settings.showPreview != 0;
    options.disableScreenSaver = settings.disableScreenSaver != 0;
    return options;
}

QString perVideoSnapshotFolder(const QString& snapshotFolder, const QString& videoPath) {
    // A name is at most 255 bytes on the usual file systems; a video's own name may already
    // be that long. Such a name is cut (at a whole character) and marked with a short hash
    // of all of it, so that the folder stays recognisable and two such videos do not share
    // one.
    constexpr qsizetype kLongestName = 255;
    const QString suffix = QStringLiteral(" Images");
    const QString name = fileNameOf(videoPath);
    if (QFile::encodeName(name + suffix).size() <= kLongestName)
        return snapshotFolder + QDir::separator() + name + suffix;
    const QString mark =
        QLatin1Char('~') + QString::fromLatin1(QCryptographicHash::hash(QFile::encodeName(name),
                                                                        QCryptographicHash::Sha1)
                                                   .toHex()
                                                   .left(8));
    const qsizetype room = kLongestName - QFile::encodeName(mark + suffix).size();
    QString kept;
    for (qsizetype i = 0; i < name.size();) {
        const qsizetype length = name.at(i).isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        if (QFile::encodeName(kept + name.mid(i, length)).size() > room)
            break;
        kept += name.mid(i, length);
        i += length;
    }
    return snapshotFolder + QDir::separator() + kept + mark + suffix;
}
