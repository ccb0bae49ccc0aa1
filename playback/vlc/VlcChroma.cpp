#include "playback/vlc/VlcChroma.h"

#include <cstring>

namespace {
struct Entry {
    const char* fourcc;
    ChromaSubsampling subsampling;
    int bitDepth;
    bool fullRange;
    bool swapped;
};

constexpr Entry kChromas[] = {
    {"I420", ChromaSubsampling::Yuv420, 8, false, false},
    {"J420", ChromaSubsampling::Yuv420, 8, true, false},
    {"YV12", ChromaSubsampling::Yuv420, 8, false, true},
    {"I422", ChromaSubsampling::Yuv422, 8, false, false},
    {"J422", ChromaSubsampling::Yuv422, 8, true, false},
    {"I444", ChromaSubsampling::Yuv444, 8, false, false},
    {"J444", ChromaSubsampling::Yuv444, 8, true, false},
    {"I09L", ChromaSubsampling::Yuv420, 9, false, false},
    {"I29L", ChromaSubsampling::Yuv422, 9, false, false},
    {"I49L", ChromaSubsampling::Yuv444, 9, false, false},
    {"I0AL", ChromaSubsampling::Yuv420, 10, false, false},
    {"I2AL", ChromaSubsampling::Yuv422, 10, false, false},
    {"I4AL", ChromaSubsampling::Yuv444, 10, false, false},
    {"I0CL", ChromaSubsampling::Yuv420, 12, false, false},
    {"I2CL", ChromaSubsampling::Yuv422, 12, false, false},
    {"I4CL", ChromaSubsampling::Yuv444, 12, false, false},
    {"I0FL", ChromaSubsampling::Yuv420, 16, false, false},
    {"I2FL", ChromaSubsampling::Yuv422, 16, false, false},
    {"I4FL", ChromaSubsampling::Yuv444, 16, false, false},
};
} // namespace

std::optional<VlcYuvChroma> vlcYuvChroma(const char* fourcc) {
#if Q_BYTE_ORDER == Q_BIG_ENDIAN
    // The deep formats below are little-endian words, which our converter reads natively.
    if (fourcc[3] == 'L')
        return std::nullopt;
#endif
    for (const Entry& entry : kChromas) {
        if (std::memcmp(fourcc, entry.fourcc, 4) == 0)
            return VlcYuvChroma{
                {entry.subsampling, entry.bitDepth}, entry.fullRange, entry.swapped};
    }
    return std::nullopt;
}
