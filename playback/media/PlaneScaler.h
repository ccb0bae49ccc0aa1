#pragma once

#include "playback/media/YuvPicture.h"

#include <QSize>

#include <memory>
#include <vector>

// A planar YUV picture resampled to another size as 4:4:4 with 16-bit samples (the
// picture's own values shifted up to 16 bits, so that its range and colours mean what
// they meant): shrinking averages the source pixels each output pixel covers, growing
// interpolates between the nearest two in each direction. Chroma is taken as centred
// between the luma samples it covers, as the full-size conversion takes it.
// Kept from one picture to the next, it keeps its filter and buffers while the sizes stay
// (the screen's pictures of one video). Not thread-safe.
class YuvScaler {
public:
    YuvScaler();
    ~YuvScaler();
    YuvScaler(const YuvScaler&) = delete;
    YuvScaler& operator=(const YuvScaler&) = delete;

    // The scaled picture; valid until the next call.
    [[nodiscard]] const YuvPicture& scale(const YuvPicture& source, QSize size);

private:
    struct Filters;
    std::unique_ptr<Filters> filters_;
    std::vector<quint16> samples_;
    YuvPicture picture_;
};
