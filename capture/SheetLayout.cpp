#include "capture/SheetLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

SheetLayout sheetLayoutFor(QSize shown, int columns, int rows, int thumbnailWidth) {
    SheetLayout layout;
    layout.columns = std::max(1, columns);
    layout.rows = std::max(1, rows);
    const int width = std::max(16, thumbnailWidth);
    const double aspect = shown.isEmpty() ? 9.0 / 16 : double(shown.height()) / shown.width();
    layout.thumbnail = QSize(width, std::max(1, int(std::lround(width * aspect))));
    // Text about a twentieth of a thumbnail's width high, never too small to read.
    layout.labelHeight = std::max(16, width / 20);
    layout.headerHeight = 2 * layout.labelHeight;
    layout.gap = std::max(4, width / 60);
    const qint64 w = qint64(layout.columns) * (width + layout.gap) + layout.gap;
    const qint64 h =
        layout.headerHeight +
        qint64(layout.rows) * (layout.thumbnail.height() + layout.labelHeight + layout.gap) +
        layout.gap;
    constexpr qint64 kMax = std::numeric_limits<int>::max();
    layout.size = QSize(int(std::min(w, kMax)), int(std::min(h, kMax)));
    return layout;
}

QRect SheetLayout::thumbnailRect(int cell) const {
    const int column = cell % columns;
    const int row = cell / columns;
    return {gap + column * (thumbnail.width() + gap),
            headerHeight + gap + row * (thumbnail.height() + labelHeight + gap), thumbnail.width(),
            thumbnail.height()};
}

QRect SheetLayout::labelRect(int cell) const {
    const QRect picture = thumbnailRect(cell);
    return {picture.left(), picture.bottom() + 1, picture.width(), labelHeight};
}

QRect SheetLayout::headerRect() const {
    return {gap, 0, size.width() - 2 * gap, headerHeight};
}

QString sheetSizeProblem(const SheetLayout& layout, bool jpeg) {
    constexpr int kJpegLargest = 65500;
    constexpr qint64 kLargestBytes = qint64(1) << 31;
    const qint64 bytes = qint64(layout.size.width()) * layout.size.height() * 4;
    if (layout.size.width() >= std::numeric_limits<int>::max() ||
        layout.size.height() >= std::numeric_limits<int>::max() || bytes >= kLargestBytes)
        return QStringLiteral("a sheet of %1 x %2 pixels is too large to be made as one image")
            .arg(layout.size.width())
            .arg(layout.size.height());
    if (jpeg && (layout.size.width() > kJpegLargest || layout.size.height() > kJpegLargest))
        return QStringLiteral("a JPG image can be at most %1 pixels wide and high; this sheet "
                              "would be %2 x %3")
            .arg(kJpegLargest)
            .arg(layout.size.width())
            .arg(layout.size.height());
    return {};
}
