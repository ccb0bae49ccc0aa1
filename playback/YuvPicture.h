#pragma once

#include "playback/VideoColours.h"

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

// Converts the picture to 0xffRRGGBB pixels (QImage::Format_RGB32) with the given matrix
// and range. Chroma is upsampled with a bicubic filter, centred between the luma samples
// it covers, which is what ffmpeg's accurate conversion does, so that colour edges stay
// smooth. Safe on any thread; out must hold size.height() rows of outPitch bytes.
void convertYuvToRgb32(const YuvPicture& picture, const VideoColours& colours, uchar* out,
                       qsizetype outPitch);
