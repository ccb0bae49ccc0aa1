#pragma once

#include "capture/SnapshotOrigin.h"

#include <QByteArray>
#include <QImage>
#include <QString>

class SnapshotDeflate;

// One deflate level below ffmpeg's PNG default (6), with no row prediction as there: on
// detailed 720p frames the files come out within 1% of ffmpeg's size for about three
// quarters of its cost with zlib, and less than half of it with libdeflate.
inline constexpr int kSnapshotPngLevel = 5;

// Optimised Huffman tables make a JPEG about a tenth smaller for twice libjpeg's time:
// worth it for a snapshot, not for every frame of a long export.
enum class JpegCoding { Optimised, Standard };

struct EncodedSnapshot {
    QByteArray bytes; // the whole file; empty when encoding failed
    QString error;    // why it failed
};

// The image at its own resolution as a PNG (8-bit RGB; alpha is dropped, a video frame
// has none, its data compressed by deflate) or a JPEG, with the origin written inside (PNG
// text chunks; a JPEG comment). Safe on any thread; the image is only read.
[[nodiscard]] EncodedSnapshot encodeSnapshot(const QImage& image, bool jpeg,
                                             const SnapshotDeflate& deflate,
                                             const SnapshotOrigin& origin = {},
                                             JpegCoding coding = JpegCoding::Optimised);

[[nodiscard]] EncodedSnapshot encodePng(const QImage& image, const SnapshotDeflate& deflate,
                                        int level = kSnapshotPngLevel,
                                        const SnapshotOrigin& origin = {});
// Full-resolution chroma (video frames come with fine colour detail and noise that 4:2:0
// would blur), one flat quantisation table for all three components; progressive where
// that is cheap (small pictures).
[[nodiscard]] EncodedSnapshot encodeJpeg(const QImage& image, const SnapshotOrigin& origin = {},
                                         JpegCoding coding = JpegCoding::Optimised);

// The CRC-32 of PNG chunks (ISO 3309), continued from crc (0 to start).
[[nodiscard]] quint32 pngCrc32(const char* data, qsizetype size, quint32 crc = 0);
