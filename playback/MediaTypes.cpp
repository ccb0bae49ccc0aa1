#include "playback/MediaTypes.h"

QStringList supportedExtensionList() {
    return {QStringLiteral("mpg"),   QStringLiteral("avi"), QStringLiteral("mpe"),
            QStringLiteral("3gp"),   QStringLiteral("3g2"), QStringLiteral("asf"),
            QStringLiteral("hdmov"), QStringLiteral("m4v"), QStringLiteral("mkv"),
            QStringLiteral("mp4"),   QStringLiteral("wmv"), QStringLiteral("vob")};
}

QString buildOpenFilter(const QString& allFormatsText, const QStringList& extensions) {
    QString filter = allFormatsText + QLatin1Char('|');
    for (const QString& e : extensions)
        filter += QStringLiteral("*.") + e + QLatin1Char(';');
    filter.chop(1);
    filter += QLatin1Char('|');
    for (const QString& e : extensions)
        filter += e.toUpper() + QLatin1Char('|') + QStringLiteral("*.") + e + QLatin1Char('|');
    filter.chop(1);
    return filter;
}

bool hasSupportedExtension(const QString& path, const QStringList& extensions) {
    const QString lower = path.toLower();
    for (const QString& e : extensions) {
        if (lower.endsWith(QLatin1Char('.') + e))
            return true;
    }
    return false;
}
