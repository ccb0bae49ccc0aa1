#include "playback/vlc/FrameSize.h"

#include <cmath>

std::optional<QSize> frameOutputSize(QSize decoderBuffer, QSize trackSize, unsigned sarNum,
                                     unsigned sarDen) {
    if (trackSize.isEmpty())
        return std::nullopt;
    QSize size = trackSize;
    // A track size beyond the decoded picture is not trustworthy; the decoder's is.
    if (!decoderBuffer.isEmpty() &&
        (size.width() > decoderBuffer.width() || size.height() > decoderBuffer.height()))
        size = decoderBuffer;
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
