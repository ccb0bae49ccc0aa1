#include "playback/media/VideoFrame.h"

#include "playback/media/ColourConversion.h"
#include "playback/media/PlaneScaler.h"

#include <QTransform>

#include <algorithm>
#include <tuple>

FramePicture::FramePicture(const YuvPicture& planes,
                           std::shared_ptr<const ColourConversion> conversion,
                           std::shared_ptr<const void> owner, qsizetype bytes)
    : planes_(planes), conversion_(std::move(conversion)), owner_(std::move(owner)), bytes_(bytes) {
}

FramePicture::FramePicture(QImage rgb) : rgb_(std::move(rgb)), bytes_(rgb_.sizeInBytes()) {}

QSize FramePicture::size() const {
    return conversion_ ? planes_.size : rgb_.size();
}

VideoFrame VideoFrame::fromImage(const QImage& image, quint64 serial) {
    VideoFrame frame;
    if (!image.isNull())
        frame.picture = std::make_shared<const FramePicture>(
            image.format() == QImage::Format_RGB32 ? image
                                                   : image.convertToFormat(QImage::Format_RGB32));
    frame.serial = serial;
    return frame;
}

namespace {
bool quarterTurn(int rotation) {
    return rotation == 90 || rotation == 270;
}
} // namespace

QSize VideoFrame::size() const {
    if (!picture)
        return {};
    return quarterTurn(rotation) ? picture->size().transposed() : picture->size();
}

int VideoFrame::bitDepth() const {
    return picture && picture->isYuv() ? picture->planes().format.bitDepth : 8;
}

QImage VideoFrame::toImage(QSize wanted, YuvScaler* scaler) const {
    if (!picture || wanted.isEmpty())
        return {};
    // The pixels' own orientation until the end.
    const QSize unturned = quarterTurn(rotation) ? wanted.transposed() : wanted;
    QImage image;
    if (!picture->isYuv()) {
        image = unturned == picture->size() ? picture->rgb()
                                            : picture->rgb().scaled(unturned, Qt::IgnoreAspectRatio,
                                                                    Qt::SmoothTransformation);
    } else {
        image = QImage(unturned, QImage::Format_RGB32);
        if (image.isNull())
            return {};
        if (unturned == picture->size()) {
            convertYuvToRgb32(picture->planes(), *picture->conversion(), image.bits(),
                              image.bytesPerLine());
        } else {
            YuvScaler own;
            YuvScaler& use = scaler ? *scaler : own;
            convertYuvToRgb32(use.scale(picture->planes(), unturned), *picture->conversion(),
                              image.bits(), image.bytesPerLine());
        }
    }
    if (rotation != 0)
        image = image.transformed(QTransform().rotate(rotation));
    return image;
}

QImage VideoFrame::toSignalImage() const {
    if (!picture || !picture->isYuv())
        return {};
    const QSize unturned = quarterTurn(rotation) ? displaySize().transposed() : displaySize();
    QImage image(unturned, QImage::Format_RGBX64);
    if (image.isNull())
        return {};
    const VideoColours& colours = picture->conversion()->colours();
    if (unturned == picture->size()) {
        convertYuvToRgb64(picture->planes(), colours, image.bits(), image.bytesPerLine());
    } else {
        YuvScaler scaler;
        convertYuvToRgb64(scaler.scale(picture->planes(), unturned), colours, image.bits(),
                          image.bytesPerLine());
    }
    if (rotation != 0)
        image = image.transformed(QTransform().rotate(rotation));
    return image;
}

std::optional<CicpCodes> VideoFrame::signalCodes() const {
    if (!picture || !picture->isYuv())
        return std::nullopt;
    return cicpOf(picture->conversion()->colours());
}

double VideoFrame::lumaAt(double x, double y) const {
    if (!picture)
        return 0;
    // Upright fractions to the pixels' own.
    for (int turn = rotation; turn > 0; turn -= 90)
        std::tie(x, y) = std::pair(y, 1.0 - x);
    const QSize size = picture->size();
    const int px = std::clamp(int(x * size.width()), 0, size.width() - 1);
    const int py = std::clamp(int(y * size.height()), 0, size.height() - 1);
    if (!picture->isYuv())
        return qGray(picture->rgb().pixel(px, py));
    const YuvPicture& p = picture->planes();
    const uchar* row = p.planes[0] + p.pitches[0] * py;
    if (p.format.bitDepth > 8)
        return reinterpret_cast<const quint16*>(row)[px] / double(1 << (p.format.bitDepth - 8));
    return row[px];
}
