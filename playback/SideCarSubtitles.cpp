#include "playback/SideCarSubtitles.h"

#include <QDir>
#include <QFileInfo>

QStringList subtitleExtensions() {
    return QStringLiteral("srt ass ssa vtt sub idx smi sami").split(QLatin1Char(' '));
}

QStringList sideCarSubtitles(const QString& videoPath) {
    const QFileInfo video(videoPath);
    const QString stem = video.completeBaseName();
    if (stem.isEmpty())
        return {};
    QStringList patterns;
    for (const QString& extension : subtitleExtensions())
        patterns << QStringLiteral("*.") + extension;
    QDir folder = video.absoluteDir();
    folder.setNameFilters(patterns);
    folder.setFilter(QDir::Files | QDir::Readable);
    folder.setSorting(QDir::Name);
    QStringList found;
    for (const QFileInfo& file : folder.entryInfoList()) {
        const QString name = file.fileName();
        // The stem and then the end of the name, or a dot: "film.srt" and "film.en.srt"
        // belong to "film.mp4"; "filmmaker.srt" does not.
        if (name.startsWith(stem, Qt::CaseInsensitive) && name.size() > stem.size() &&
            name.at(stem.size()) == QLatin1Char('.'))
            found << file.absoluteFilePath();
    }
    return found;
}
