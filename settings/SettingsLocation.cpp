#include "settings/SettingsLocation.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

QString userSettingsFolder() {
#ifdef Q_OS_WIN
    return QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA")) + QStringLiteral("/Framora");
#else
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/framora");
#endif
}

SettingsLocation locateSettings(const QString& applicationFolder, const QString& userFolder) {
    if (!QFileInfo::exists(applicationFolder + QLatin1Char('/') + kPerUserMarker)) {
        // Trying is the only reliable test: permissions, read-only mounts and access
        // control lists all have their say.
        QTemporaryFile probe(applicationFolder + QStringLiteral("/.framora-probe-XXXXXX"));
        if (probe.open())
            return {applicationFolder, false};
    }
    return {userFolder, true};
}
