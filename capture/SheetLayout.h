#pragma once

#include <QRect>
#include <QSize>
#include <QString>

// Where everything goes on a contact sheet: a header line across the top, then rows of
// thumbnails, each with its label (time and frame number) beneath.
struct SheetLayout {
    int columns = 0;
    int rows = 0;
    QSize thumbnail;
    int headerHeight = 0;
    int labelHeight = 0;
    int gap = 0;
    QSize size; // of the whole sheet

    [[nodiscard]] QRect thumbnailRect(int cell) const;
    [[nodiscard]] QRect labelRect(int cell) const;
    [[nodiscard]] QRect headerRect() const;
};

// The sheet for a video seen at shown (its pictures' shape), columns x rows thumbnails of
// thumbnailWidth pixels; the text scales with the thumbnails.
[[nodiscard]] SheetLayout sheetLayoutFor(QSize shown, int columns, int rows, int thumbnailWidth);

// Why the sheet cannot be written as one image of the format, empty when it can: JPEG
// allows at most 65,500 pixels a side; no image may need more than 2 GiB in memory.
[[nodiscard]] QString sheetSizeProblem(const SheetLayout& layout, bool jpeg);
