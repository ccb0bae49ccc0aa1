#pragma once

#include <QImage>
#include <QMetaType>
#include <QSize>

// One picture as shown: an immutable RGB32 image and its number. Equal numbers mean the
// same picture (a paused player shows its picture again and again).
struct VideoFrame {
    QImage image;
    quint64 serial = 0;
    // The size the picture is meant to be seen at. It differs from the image's only when
    // the video's size and pixel shape became known after its first pictures (MPEG
    // program streams); those pictures keep the decoder's size and are scaled when shown.
    QSize shownSize;
    // Where in the video the picture was shown, in milliseconds; -1 when not known.
    qint64 timeMs = -1;
    // Its number in the video, counted from 0, when the frame is known exactly (its time
    // is then exact too); -1 otherwise.
    qint64 frameNumber = -1;
    // Bits per sample of the video it came from (more than 8 can keep HDR in a still).
    int bitDepth = 8;

    [[nodiscard]] QSize displaySize() const {
        return shownSize.isEmpty() ? image.size() : shownSize;
    }
};
Q_DECLARE_METATYPE(VideoFrame)
