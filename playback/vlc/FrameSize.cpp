#include "playback/vlc/FrameSize.h"

#include <cmath>

bool trackFitsBuffer(QSize decoderBuffer, QSize trackSize) {
    // The track's size is the decoder's picture less its padding (codecs pad to blocks of
    // up to 64 lines). Beyond the picture, or far inside it, it belongs to another picture:
    // another track of the file, or the size before the stream changed it mid-way.
    constexpr int kMostPadding = 64;
    return !trackSize.isEmpty() && trackSize.width() <= decoderBuffer.width() &&
           trackSize.height() <= decoderBuffer.height() &&
           decoderBuffer.width() - trackSize.width() <= kMostPadding &&
           decoderBuffer.height() - trackSize.height() <= kMostPadding;
}

std::optional<QSize> frameOutputSize(QSize decoderBuffer, QSize trackSize, unsigned sarNum,
                                     unsigned sarDen) {
    if (trackSize.isEmpty())
        return std::nullopt;
    QSize size = trackSize;
    // A track size that is not this picture's: the decoder's size holds, with the pixel
    // shape it comes with.
    if (!decoderBuffer.isEmpty() && !trackFitsBuffer(decoderBuffer, trackSize))
        return decoderBuffer;
    if (sarNum > 0 && sarDen > 0 && sarNum != sarDen) {
        constexpr double kLargest = 16384;
        const double width = double(size.width()) * sarNum / sarDen;
        const double height = double(size.height()) * sarDen / sarNum;
        if (sarNum > sarDen && width <= kLargest)
            size.setWidth(int(std::lround(width)));
        else if (sarNum < sarDen && height <= kLargest)
            size.setHeight(int(std::lround(height)));
    }
    return size;
}
