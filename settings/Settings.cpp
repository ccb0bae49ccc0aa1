#include "settings/Settings.h"

#include <QStandardPaths>

QString defaultSnapshotFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::HomeLocation)
                              : pictures;
#endif
}
