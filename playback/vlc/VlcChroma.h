#pragma once

#include "playback/media/YuvPicture.h"

#include <optional>

// A planar YUV chroma of libVLC that we convert ourselves.
struct VlcYuvChroma {
    YuvFormat format;
    bool fullRange = false;     // J420, J422, J444: the decoder says full range
    bool swappedChroma = false; // YV12: Cr before Cb
};

// The chroma named by libVLC's four characters, or nothing for any other (packed, RGB,
// hardware surfaces, 4:1:0 and 4:1:1, big-endian samples), which libVLC then converts.
[[nodiscard]] std::optional<VlcYuvChroma> vlcYuvChroma(const char* fourcc);
