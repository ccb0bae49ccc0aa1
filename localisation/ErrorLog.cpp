#include "localisation/ErrorLog.h"

#include "platform/OwnFiles.h"

#include <QDateTime>
#include <QLocale>

void WriteErrorLog(const QString& path, const QString& message) noexcept {
    try {
        const QLocale locale = QLocale::system();
        const QDateTime now = QDateTime::currentDateTime();
        const QString entry =
            QStringLiteral("\"\r\nDate: ") + locale.toString(now.date(), QLocale::ShortFormat) +
            QStringLiteral("\",\"Time: ") + locale.toString(now.time(), QLocale::ShortFormat) +
            QStringLiteral("\",\"") + message + QStringLiteral("\"\r\n");
        (void)appendToFile(path, entry.toUtf8());
    } catch (...) {
        // The log is the last resort; there is nobody left to tell.
    }
}
