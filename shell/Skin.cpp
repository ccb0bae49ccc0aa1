#include "shell/Skin.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QtDebug>

bool loadSkin(const QString& path) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app) {
        qWarning().noquote() << "Skin not applied: there is no widget application.";
        return false;
    }
    if (!QFileInfo(path).isFile()) {
        qWarning().noquote() << "Skin not applied:" << path << "does not exist.";
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning().noquote() << "Skin not applied:" << path
                             << "cannot be read:" << file.errorString();
        return false;
    }
    // A real skin is a few kilobytes; a stray huge file must not hold up the start.
    constexpr qint64 kMostBytes = 1024 * 1024;
    const QByteArray bytes = file.read(kMostBytes);
    if (file.error() != QFileDevice::NoError) {
        qWarning().noquote() << "Skin not applied:" << path
                             << "cannot be read:" << file.errorString();
        return false;
    }
    file.close();
    const QString styleSheet = QString::fromUtf8(bytes);
    app->setStyleSheet(styleSheet);
    return true;
}
