#pragma once

#include "playback/media/VideoColours.h"
#include "playback/media/YuvPicture.h"

#include <QImage>
#include <QMetaType>
#include <QSize>

#include <memory>
#include <optional>

class ColourConversion;
class YuvScaler;

// The pixels of one decoded picture, never changed once made and shared by every frame
// that shows them: planar YUV in the decoder's own format with the conversion its colours
// need (what a picture stays until an image of it is wanted), or RGB where the video's
// format is not one of ours.
class FramePicture {
public:
    // planes stay valid while owner lives; bytes: the memory they hold.
    FramePicture(const YuvPicture& planes, std::shared_ptr<const ColourConversion> conversion,
                 std::shared_ptr<const void> owner, qsizetype bytes);
    explicit FramePicture(QImage rgb);

    [[nodiscard]] QSize size() const;
    [[nodiscard]] bool isYuv() const { return conversion_ != nullptr; }
    [[nodiscard]] const YuvPicture& planes() const { return planes_; }
    [[nodiscard]] const ColourConversion* conversion() const { return conversion_.get(); }
    [[nodiscard]] const QImage& rgb() const { return rgb_; }
    [[nodiscard]] qsizetype byteSize() const { return bytes_; }

private:
    YuvPicture planes_;
    std::shared_ptr<const ColourConversion> conversion_;
    std::shared_ptr<const void> owner_;
    QImage rgb_;
    qsizetype bytes_ = 0;
};

// One picture as shown, and which one it is. Equal serials mean the same picture (a paused
// player shows its picture again and again). Copies share the pixels.
struct VideoFrame {
    std::shared_ptr<const FramePicture> picture;
    quint64 serial = 0;
    // The size the picture is meant to be seen at (upright). It differs from its pixels'
    // when they are not square (wide pixels), or when the video's size and pixel shape
    // became known after its first pictures (MPEG program streams).
    QSize shownSize;
    // Where in the video the picture was shown, in milliseconds; -1 when not known.
    qint64 timeMs = -1;
    // Its number in the video, counted from 0, when the frame is known exactly (its time
    // is then exact too); -1 otherwise.
    qint64 frameNumber = -1;
    // Where the player said it was when the picture came, in milliseconds: a hint for
    // finding the frame, never a picture's time.
    qint64 approxMs = 0;
    // Degrees clockwise that turn the pixels upright (a phone's video read by our own
    // decoder; libVLC's pictures come upright).
    int rotation = 0;

    // A picture of RGB pixels (a test's, or a format of the video's own kind).
    [[nodiscard]] static VideoFrame fromImage(const QImage& image, quint64 serial = 1);

    [[nodiscard]] bool isNull() const { return !picture; }
    // The pixels' size, turned upright.
    [[nodiscard]] QSize size() const;
    [[nodiscard]] QSize displaySize() const { return shownSize.isEmpty() ? size() : shownSize; }
    // Bits per sample of the video (more than 8 can keep HDR in a still).
    [[nodiscard]] int bitDepth() const;
    // Memory the pixels hold.
    [[nodiscard]] qsizetype byteSize() const { return picture ? picture->byteSize() : 0; }

    // The picture as the screen shows it (QImage::Format_RGB32): at size (upright), or at
    // the size it is meant to be seen at. Scaled straight from YUV (an average over the
    // pixels each covers when shrinking, so that text and edges stay clean). Costs a
    // conversion each call: for the full size tens of milliseconds at 4K. A scaler kept
    // from one call to the next (the screen's) saves making its filters again.
    [[nodiscard]] QImage toImage(QSize size, YuvScaler* scaler = nullptr) const;
    [[nodiscard]] QImage toImage() const { return toImage(displaySize()); }
    // The video's own signal at the size it is meant to be seen at, 16 bits a channel
    // (QImage::Format_RGBX64) in its own primaries and transfer (HDR kept), with what it
    // holds as H.273 code points; a null image for RGB pictures.
    [[nodiscard]] QImage toSignalImage() const;
    [[nodiscard]] std::optional<CicpCodes> signalCodes() const;
    // Luma at a point given as fractions of the width and height, 0 to 255: for telling
    // pictures apart cheaply.
    [[nodiscard]] double lumaAt(double x, double y) const;
};
Q_DECLARE_METATYPE(VideoFrame)
