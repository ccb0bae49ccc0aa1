#include "localisation/ErrorLog.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>

void WriteErrorLog(const QString& path, const QString& message) noexcept {
    try {
        const QLocale locale = QLocale::system();
        const QDateTime now = QDateTime::currentDateTime();
        const QString entry =
            QStringLiteral("\"\r\nDate: ") + locale.toString(now.date(), QLocale::ShortFormat) +
            QStringLiteral("\",\"Time: ") + locale.toString(now.time(), QLocale::ShortFormat) +
            QStringLiteral("\",\"") + message + QStringLiteral("\"\r\n");
        QFile log(path);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
            return;
        log.write(entry.toUtf8());
        log.close();
    } catch (...) {
        // The log is the last resort; there is nobody left to tell.
    }
}
