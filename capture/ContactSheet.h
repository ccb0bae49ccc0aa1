#pragma once

#include "capture/SheetLayout.h"

#include <QImage>
#include <QList>
#include <QPair>
#include <QString>

#include <vector>

// What the header line of a contact sheet tells of the video.
struct SheetHeader {
    QString video; // the file's name
    qint64 durationMs = 0;
    QSize size; // as seen
    QString codec;
};

// One cell: the picture at the thumbnail's size and which frame it is.
struct SheetThumbnail {
    QImage image;
    qint64 frameNumber = -1;
    qint64 timeMs = -1;
};

// The sheet as an image (RGB32): the header, then the thumbnails row by row, each
// labelled with its time and frame number. Cells without a thumbnail stay empty.
[[nodiscard]] QImage composeSheet(const SheetLayout& layout, const SheetHeader& header,
                                  const std::vector<SheetThumbnail>& thumbnails);

// The fields the sheet's file keeps of each thumbnail: "Thumbnail n Media Time",
// "Thumbnail n Media Time ms" and "Thumbnail n Frame Number" (n from 1), where known.
[[nodiscard]] QList<QPair<QString, QString>>
thumbnailFields(const std::vector<SheetThumbnail>& thumbnails);
