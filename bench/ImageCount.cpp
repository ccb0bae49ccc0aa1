#include "bench/ImageCount.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

// The frame number written into the image: a PNG text chunk of its own, or a line of the
// JPEG comment; -1 when there is none.
static qint64 frameNumberOf(const QImage& image) {
    static const QRegularExpression line(QStringLiteral("Frame Number: (\\d+)"));
    const QString own = image.text(QStringLiteral("Frame Number"));
    if (!own.isEmpty())
        return own.toLongLong();
    const QRegularExpressionMatch match = line.match(image.text());
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

ImageCount countImages(const QString& folder) {
    ImageCount count;
    QStringList paths;
    QDirIterator it(folder, {QStringLiteral("*.png"), QStringLiteral("*.jpg")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    std::sort(paths.begin(), paths.end());
    QSet<QByteArray> hashes;
    qint64 previous = -1;
    for (const QString& path : paths) {
        const QImage image(path);
        ++count.files;
        count.bytes += QFileInfo(path).size();
        if (image.isNull()) {
            ++count.unreadable;
            continue;
        }
        const qint64 frame = frameNumberOf(image);
        if (previous >= 0 && frame != previous + 1)
            ++count.outOfOrder;
        previous = frame;
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (int y = 0; y < rgb.height(); ++y)
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(rgb.constScanLine(y)),
                                        qsizetype(rgb.width()) * 3));
        hashes.insert(hash.result());
    }
    count.distinct = int(hashes.size());
    return count;
}
