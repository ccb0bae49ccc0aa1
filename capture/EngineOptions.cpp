#include "capture/EngineOptions.h"

#include "settings/Settings.h"

#include <QDir>

// A false switch is written as the option name with "no-" in front; true ones carry no value.
static QString engineSwitch(const QString& name, bool on) {
    return on ? name : QStringLiteral("no-") + name;
}

QStringList BuildEngineOptions(const Settings& settings) {
    return {
        QStringLiteral("overlay"),
        QStringLiteral("snapshot-prefix=") + settings.filePrefix,
        QStringLiteral("snapshot-path=") + settings.snapshotFolder,
        QStringLiteral("snapshot-format=") +
            (settings.imageFormat != 0 ? QStringLiteral("JPG") : QStringLiteral("PNG")),
        engineSwitch(QStringLiteral("snapshot-preview"), settings.showPreview != 0),
        QStringLiteral("snapshot-sequential"),
        engineSwitch(QStringLiteral("disable-screensaver"), settings.disableScreenSaver != 0),
    };
}

// What follows the last path separator ("/" everywhere, also "\" on Windows). The same rule
// as playback's fileNameOf, kept here because capture sits below playback and must not
// link against it.
static QString videoFileName(const QString& path) {
    qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    cut = std::max(cut, path.lastIndexOf(QLatin1Char('\\')));
#endif
    return path.mid(cut + 1);
}

QString perVideoSnapshotFolder(const QString& snapshotFolder, const QString& videoPath) {
    return snapshotFolder + QDir::separator() + videoFileName(videoPath) +
           QStringLiteral(" Images");
}
