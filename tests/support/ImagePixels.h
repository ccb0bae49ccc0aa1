#pragma once

#include <QColorSpace>
#include <QImage>

// An image's pixels as 0xffRRGGBB, whatever its format and whatever colour space its file
// names (snapshots say sRGB; frames in memory say nothing): for comparing what was written
// with what was shown.
[[nodiscard]] inline QImage rgbPixels(const QImage& image) {
    QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    pixels.setColorSpace(QColorSpace());
    return pixels;
}
