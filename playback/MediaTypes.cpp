#include "playback/MediaTypes.h"

QStringList supportedExtensionList() {
    // The first twelve are the program's own from the start; then what phones, cameras,
    // camcorders and the web write.
    return QStringLiteral("mpg avi mpe 3gp 3g2 asf hdmov m4v mkv mp4 wmv vob "
                          "mov qt webm mpeg m2v ts m2ts mts ogv flv divx")
        .split(QLatin1Char(' '));
}

QList<FileTypeFilter> buildOpenFilter(const QString& allFormatsText, const QStringList& extensions,
                                      const QString& allFilesText) {
    QList<FileTypeFilter> filters{{allFormatsText, {}}};
    for (const QString& e : extensions) {
        filters.first().patterns << QStringLiteral("*.") + e;
        filters << FileTypeFilter{e.toUpper(), {QStringLiteral("*.") + e}};
    }
    filters << FileTypeFilter{allFilesText, {QStringLiteral("*")}};
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
