#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The zlib level of ffmpeg's PNG encoder (zlib's default), with no row prediction as
// there: the same size and about the same cost per image.
inline constexpr int kSnapshotPngLevel = 6;
inline constexpr int kSnapshotJpegQuality = 90;

struct EncodedSnapshot {
    QByteArray bytes; // the whole file; empty when encoding failed
    QString error;    // why it failed
};

// The image at its own resolution as a PNG (8-bit RGB; alpha is dropped, a video frame
// has none) or a JPEG at quality 90. Safe on any thread; the image is only read.
[[nodiscard]] EncodedSnapshot encodeSnapshot(const QImage& image, bool jpeg);

[[nodiscard]] EncodedSnapshot encodePng(const QImage& image, int zlibLevel = kSnapshotPngLevel);
[[nodiscard]] EncodedSnapshot encodeJpeg(const QImage& image, int quality = kSnapshotJpegQuality);

// The CRC-32 of PNG chunks (ISO 3309), continued from crc (0 to start).
[[nodiscard]] quint32 pngCrc32(const char* data, qsizetype size, quint32 crc = 0);
