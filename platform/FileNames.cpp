#include "platform/FileNames.h"

#include <QFile>
#include <QUrl>

#include <algorithm>

QString fileNameOf(const QString& path) {
    qsizetype cut = path.lastIndexOf(QLatin1Char('/'));
#ifdef Q_OS_WIN
    cut = std::max(cut, path.lastIndexOf(QLatin1Char('\\')));
#endif
    return path.mid(cut + 1);
}

bool localNameIsText(const QUrl& url) {
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}
