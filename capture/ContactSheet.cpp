#include "capture/ContactSheet.h"

#include "capture/SnapshotOrigin.h"

#include <QPainter>

namespace {
QString label(const SheetThumbnail& thumbnail) {
    QString text = thumbnail.timeMs >= 0 ? formatMediaTime(thumbnail.timeMs) : QString();
    if (thumbnail.frameNumber >= 0)
        text += QStringLiteral("   #%1").arg(thumbnail.frameNumber);
    return text;
}
} // namespace

QImage composeSheet(const SheetLayout& layout, const SheetHeader& header,
                    const std::vector<SheetThumbnail>& thumbnails) {
    QImage sheet(layout.size, QImage::Format_RGB32);
    if (sheet.isNull())
        return sheet;
    sheet.fill(QColor(24, 24, 27));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font = painter.font();
    font.setPixelSize(std::max(10, layout.labelHeight * 2 / 3));
    painter.setFont(font);
    painter.setPen(QColor(235, 235, 235));
    QStringList facts{header.video, formatMediaTime(header.durationMs).chopped(4)};
    if (!header.size.isEmpty())
        facts << QStringLiteral("%1 x %2").arg(header.size.width()).arg(header.size.height());
    if (!header.codec.isEmpty())
        facts << header.codec;
    painter.drawText(layout.headerRect(), Qt::AlignLeft | Qt::AlignVCenter,
                     facts.join(QStringLiteral("   ")));
    const int cells = std::min<int>(int(thumbnails.size()), layout.columns * layout.rows);
    for (int cell = 0; cell < cells; ++cell) {
        const SheetThumbnail& thumbnail = thumbnails[std::size_t(cell)];
        const QRect place = layout.thumbnailRect(cell);
        if (!thumbnail.image.isNull())
            painter.drawImage(place, thumbnail.image);
        painter.drawText(layout.labelRect(cell), Qt::AlignHCenter | Qt::AlignVCenter,
                         label(thumbnail));
    }
    return sheet;
}

QList<QPair<QString, QString>> thumbnailFields(const std::vector<SheetThumbnail>& thumbnails) {
    QList<QPair<QString, QString>> fields;
    for (std::size_t i = 0; i < thumbnails.size(); ++i) {
        const QString name = QStringLiteral("Thumbnail %1 ").arg(i + 1);
        const SheetThumbnail& thumbnail = thumbnails[i];
        if (thumbnail.timeMs >= 0) {
            fields << qMakePair(name + QStringLiteral("Media Time"),
                                formatMediaTime(thumbnail.timeMs));
            fields << qMakePair(name + QStringLiteral("Media Time ms"),
                                QString::number(thumbnail.timeMs));
        }
        if (thumbnail.frameNumber >= 0)
            fields << qMakePair(name + QStringLiteral("Frame Number"),
                                QString::number(thumbnail.frameNumber));
    }
    return fields;
}
