#include "settings/WindowPlacement.h"

#include <QSettings>

namespace {
const QString kKey = QStringLiteral("MainWindow/geometry");

QString pathIn(const QString& folder) {
    return folder + QLatin1Char('/') + QLatin1String(kWindowPlacementFile);
}
} // namespace

QByteArray loadWindowPlacement(const QString& folder) {
    const QSettings file(pathIn(folder), QSettings::IniFormat);
    if (file.status() != QSettings::NoError)
        return {};
    return file.value(kKey).toByteArray();
}

bool saveWindowPlacement(const QString& folder, const QByteArray& geometry) {
    QSettings file(pathIn(folder), QSettings::IniFormat);
    // Only this key: whatever else a broken file held goes.
    file.clear();
    file.setValue(kKey, geometry);
    file.sync();
    return file.status() == QSettings::NoError;
}
