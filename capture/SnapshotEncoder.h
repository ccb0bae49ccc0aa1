#pragma once

#include "capture/SnapshotOrigin.h"
#include "playback/media/VideoColours.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class SnapshotDeflate;

// One deflate level below ffmpeg's PNG default (6): on detailed 720p frames the files come
// out within 1% of ffmpeg's size for about three quarters of its cost with zlib, and less
// than half of it with libdeflate.
inline constexpr int kSnapshotPngLevel = 5;
// For frames that must keep up with playback where level 5 cannot: on grainy 1080p frames
// 32 ms instead of 70 of one core, for files 7 % larger.
inline constexpr int kSnapshotPngFastLevel = 1;

// The deflate level of a PNG of this many pixels, with others snapshots queued or being
// encoded beside it, on a writer of threads threads. A lone snapshot gets the usual level;
// so do frames up to a megapixel (720p keeps up with playback at it) unless two rounds of
// work wait. Bigger frames coming one after another get the fast level: at 1080p25 that
// leaves a core for playback and the window.
[[nodiscard]] int pngLevelFor(qint64 pixels, int others, int threads);

// Optimised Huffman tables make a JPEG about a tenth smaller for twice libjpeg's time:
// worth it for a snapshot, not for every frame of a long export.
enum class JpegCoding { Optimised, Standard };

struct EncodeChoices {
    int pngLevel = kSnapshotPngLevel;
    JpegCoding jpegCoding = JpegCoding::Optimised;
};

// What a PNG's pixels mean: the screen's (sRGB), or for a 16-bit image of a video's own
// signal, that video's primaries and transfer (a cICP chunk, PNG's third edition, which
// HDR-aware viewers show as HDR).
using PngColours = std::optional<CicpCodes>;

struct EncodedSnapshot {
    QByteArray bytes; // the whole file; empty when encoding failed
    QString error;    // why it failed
};

// The image at its own resolution as a PNG (8-bit RGB, or 16-bit for the 64-bit formats;
// alpha is dropped, a video frame has none; 8-bit rows predicted where that pays, see
// PngFilter.h; compressed by deflate) or a JPEG, with the origin written inside (PNG
// text chunks; a JPEG comment) and what its colours mean (an sRGB or cICP chunk; an sRGB
// ICC profile). Safe on any thread; the image is only read.
[[nodiscard]] EncodedSnapshot encodeSnapshot(const QImage& image, bool jpeg,
                                             const SnapshotDeflate& deflate,
                                             const SnapshotOrigin& origin = {},
                                             EncodeChoices choices = {},
                                             const PngColours& colours = {});

[[nodiscard]] EncodedSnapshot encodePng(const QImage& image, const SnapshotDeflate& deflate,
                                        int level = kSnapshotPngLevel,
                                        const SnapshotOrigin& origin = {},
                                        const PngColours& colours = {});
// Full-resolution chroma (video frames come with fine colour detail and noise that 4:2:0
// would blur), one flat quantisation table for all three components; progressive where
// that is cheap (small pictures).
[[nodiscard]] EncodedSnapshot encodeJpeg(const QImage& image, const SnapshotOrigin& origin = {},
                                         JpegCoding coding = JpegCoding::Optimised);

// The CRC-32 of PNG chunks (ISO 3309), continued from crc (0 to start).
[[nodiscard]] quint32 pngCrc32(const char* data, qsizetype size, quint32 crc = 0);
