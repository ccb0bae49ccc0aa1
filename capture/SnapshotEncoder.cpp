#include "capture/SnapshotEncoder.h"

#include "capture/PngFilter.h"
#include "capture/SnapshotDeflate.h"

#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

using CrcTables = std::array<std::array<quint32, 256>, 8>;

// Slicing-by-eight tables: the checksum runs over every compressed byte, so a byte-wise
// loop would cost a noticeable share of a cheap encode.
static constexpr CrcTables makeCrcTables() {
    CrcTables t{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[0][n] = c;
    }
    for (quint32 n = 0; n < 256; ++n)
        for (int s = 1; s < 8; ++s)
            t[s][n] = (t[s - 1][n] >> 8) ^ t[0][t[s - 1][n] & 0xFF];
    return t;
}

static constexpr CrcTables kCrcTables = makeCrcTables();

quint32 pngCrc32(const char* data, qsizetype size, quint32 crc) {
    const auto& t = kCrcTables;
    auto p = reinterpret_cast<const uchar*>(data);
    crc = ~crc;
    while (size >= 8) {
        quint32 a;
        quint32 b;
        std::memcpy(&a, p, 4);
        std::memcpy(&b, p + 4, 4);
        a = qFromLittleEndian(a) ^ crc;
        b = qFromLittleEndian(b);
        crc = t[7][a & 0xFF] ^ t[6][(a >> 8) & 0xFF] ^ t[5][(a >> 16) & 0xFF] ^ t[4][a >> 24] ^
              t[3][b & 0xFF] ^ t[2][(b >> 8) & 0xFF] ^ t[1][(b >> 16) & 0xFF] ^ t[0][b >> 24];
        p += 8;
        size -= 8;
    }
    while (size-- > 0)
        crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static void appendBigEndian(QByteArray& out, quint32 value) {
    char b[4];
    qToBigEndian(value, b);
    out.append(b, 4);
}

static void appendChunk(QByteArray& out, const char* type, const char* data, qsizetype size) {
    appendBigEndian(out, quint32(size));
    const qsizetype typeAt = out.size();
    out.append(type, 4);
    out.append(data, size);
    appendBigEndian(out, pngCrc32(out.constData() + typeAt, size + 4));
}

static bool is64Bit(QImage::Format format) {
    return format == QImage::Format_RGBX64 || format == QImage::Format_RGBA64 ||
           format == QImage::Format_RGBA64_Premultiplied;
}

// Rows as PNG wants them before prediction: a filter byte (0, none) and R, G, B per pixel.
// The 32-bit formats are read straight from the frame, without a converted copy of it.
static QByteArray pngRows(const QImage& image) {
    const int w = image.width();
    const int h = image.height();
    const qsizetype rowBytes = 1 + qsizetype(w) * 3;
    QByteArray rows(rowBytes * h, Qt::Uninitialized);
    auto out = reinterpret_cast<uchar*>(rows.data());
    const QImage::Format format = image.format();
    if (format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied) {
        for (int y = 0; y < h; ++y) {
            auto in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            *out++ = 0;
            for (int x = 0; x < w; ++x, out += 3) {
                const QRgb p = in[x];
                out[0] = uchar(qRed(p));
                out[1] = uchar(qGreen(p));
                out[2] = uchar(qBlue(p));
            }
        }
        return rows;
    }
    if (is64Bit(format)) {
        // 16 bits a sample, most significant byte first.
        const QImage rgb =
            format == QImage::Format_RGBX64 ? image : image.convertToFormat(QImage::Format_RGBX64);
        QByteArray wide(qsizetype(1 + qsizetype(w) * 6) * h, Qt::Uninitialized);
        auto o = reinterpret_cast<uchar*>(wide.data());
        for (int y = 0; y < h; ++y) {
            auto in = reinterpret_cast<const quint16*>(rgb.constScanLine(y));
            *o++ = 0;
            for (int x = 0; x < w; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const quint16 v = in[4 * x + c];
                    *o++ = uchar(v >> 8);
                    *o++ = uchar(v & 0xff);
                }
            }
        }
        return wide;
    }
    const QImage rgb =
        format == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        *out++ = 0;
        std::memcpy(out, rgb.constScanLine(y), size_t(rowBytes - 1));
        out += rowBytes - 1;
    }
    return rows;
}

// Text chunks: tEXt (Latin-1), which every reader shows, where the text fits; otherwise
// iTXt (UTF-8, uncompressed, no language).
static void appendText(QByteArray& png, const SnapshotOrigin& origin) {
    for (const auto& [keyword, text] : originFields(origin)) {
        QByteArray data = keyword.toLatin1();
        const bool latin1 =
            std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x100; });
        if (latin1) {
            data.append('\0');
            data += text.toLatin1();
            appendChunk(png, "tEXt", data.constData(), data.size());
        } else {
            data.append("\0\0\0\0\0", 5); // end of keyword, no compression, no language
            data += text.toUtf8();
            appendChunk(png, "iTXt", data.constData(), data.size());
        }
    }
}

EncodedSnapshot encodePng(const QImage& image, const SnapshotDeflate& deflate, int level,
                          const SnapshotOrigin& origin, const PngColours& colours) {
    if (image.isNull())
        return {{}, QStringLiteral("the image is empty")};
    const bool wide = is64Bit(image.format());
    QByteArray rows = pngRows(image);
    // 16-bit stills are rare (an HDR export): their rows go as they are.
    if (!wide)
        (void)predictRows(reinterpret_cast<uchar*>(rows.data()), image.width(), image.height());

    QByteArray png;
    png.append("\x89PNG\r\n\x1a\n", 8);
    QByteArray header;
    appendBigEndian(header, quint32(image.width()));
    appendBigEndian(header, quint32(image.height()));
    // 8 or 16 bits, RGB, deflate, no filter, no interlace
    header.append(wide ? "\x10\x02\x00\x00\x00" : "\x08\x02\x00\x00\x00", 5);
    appendChunk(png, "IHDR", header.constData(), header.size());
    if (colours) {
        const char cicp[4] = {char(colours->primaries), char(colours->transfer),
                              char(colours->matrix), char(colours->fullRange)};
        appendChunk(png, "cICP", cicp, 4);
    } else {
        appendChunk(png, "sRGB", "\0", 1); // perceptual
    }
    appendText(png, origin);
    // The image data is compressed straight into its chunk; the length goes in after.
    const qsizetype lengthAt = png.size();
    png.append("\0\0\0\0IDAT", 8);
    if (!deflate.compress(rows.constData(), rows.size(), level, png))
        return {{}, QStringLiteral("the image could not be compressed")};
    const qsizetype streamSize = png.size() - lengthAt - 8;
    if (streamSize > std::numeric_limits<qint32>::max())
        return {{}, QStringLiteral("the image is too large to compress")};
    qToBigEndian(quint32(streamSize), png.data() + lengthAt);
    appendBigEndian(png, pngCrc32(png.constData() + lengthAt + 4, streamSize + 4));
    appendChunk(png, "IEND", nullptr, 0);
    return {png, {}};
}

EncodedSnapshot encodeSnapshot(const QImage& image, bool jpeg, const SnapshotDeflate& deflate,
                               const SnapshotOrigin& origin, EncodeChoices choices,
                               const PngColours& colours) {
    return jpeg ? encodeJpeg(image, origin, choices.jpegCoding)
                : encodePng(image, deflate, choices.pngLevel, origin, colours);
}

int pngLevelFor(qint64 pixels, int others, int threads) {
    constexpr qint64 kMegapixel = 1'000'000;
    if (others <= 0)
        return kSnapshotPngLevel;
    if (pixels > kMegapixel)
        return kSnapshotPngFastLevel;
    return others >= 4 * std::max(1, threads) ? 3 : kSnapshotPngLevel;
}
