#pragma once

#include "media/YuvPicture.h"

#include <QSize>

#include <vector>

// A planar YUV picture resampled to another size as 4:4:4 with 16-bit samples (the
// picture's own values shifted up to 16 bits, so that its range and colours mean what
// they meant): shrinking averages the source pixels each output pixel covers, growing
// interpolates between the nearest two in each direction. Chroma is taken as centred
// between the luma samples it covers, as the full-size conversion takes it.
class ScaledYuv {
public:
    ScaledYuv(const YuvPicture& source, QSize size);

    [[nodiscard]] const YuvPicture& picture() const { return picture_; }

private:
    std::vector<quint16> samples_;
    YuvPicture picture_;
};
