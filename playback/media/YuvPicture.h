#pragma once

#include "playback/media/VideoColours.h"

class ColourConversion;

#include <QSize>
#include <QtGlobal>

#include <array>

enum class ChromaSubsampling { Yuv420, Yuv422, Yuv444 };

// How a planar YUV picture is laid out: one plane each for Y, Cb and Cr, the chroma
// planes halved in width (4:2:2) or in both directions (4:2:0). Samples deeper than 8
// bits are 16-bit little-endian words.
struct YuvFormat {
    ChromaSubsampling subsampling = ChromaSubsampling::Yuv420;
    int bitDepth = 8;
    friend bool operator==(const YuvFormat&, const YuvFormat&) = default;
};

// Size of a chroma plane of a picture of the given size (odd sizes round up).
[[nodiscard]] QSize chromaPlaneSize(QSize picture, ChromaSubsampling subsampling);
[[nodiscard]] inline int bytesPerSample(const YuvFormat& format) {
    return format.bitDepth > 8 ? 2 : 1;
}

// A view of a planar YUV picture someone else owns.
struct YuvPicture {
    YuvFormat format;
    QSize size;
    std::array<const uchar*, 3> planes{}; // Y, Cb, Cr
    std::array<qsizetype, 3> pitches{};   // bytes from one row to the next
};

// Converts the picture to 0xffRRGGBB pixels (QImage::Format_RGB32) as the screen shows
// them: the matrix and range of conversion's colours, then (where the video's primaries
// or transfer are not the screen's) conversion's way to BT.709 SDR. Chroma is upsampled
// with a bicubic filter, centred between the luma samples it covers, which is what
// ffmpeg's accurate conversion does, so that colour edges stay smooth. Safe on any
// thread; out must hold size.height() rows of outPitch bytes.
void convertYuvToRgb32(const YuvPicture& picture, const ColourConversion& conversion, uchar* out,
                       qsizetype outPitch);

// The same to 16 bits per channel (QImage::Format_RGBX64: R, G, B and a full X), keeping
// the video's own primaries and transfer: only the matrix and range are undone. What an
// HDR still is made of.
void convertYuvToRgb64(const YuvPicture& picture, const VideoColours& colours, uchar* out,
                       qsizetype outPitch);
