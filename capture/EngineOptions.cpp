#include "capture/EngineOptions.h"

#include "platform/FileNames.h"
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

QString perVideoSnapshotFolder(const QString& snapshotFolder, const QString& videoPath) {
    return snapshotFolder + QDir::separator() + fileNameOf(videoPath) + QStringLiteral(" Images");
}
