#include "capture/EngineOptions.h"

#include "platform/FileNames.h"
#include "settings/Settings.h"

#include <QDir>

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
    return snapshotFolder + QDir::separator() + fileNameOf(videoPath) + QStringLiteral(" Images");
}
