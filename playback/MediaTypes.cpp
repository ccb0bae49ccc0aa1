#include "playback/MediaTypes.h"

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
