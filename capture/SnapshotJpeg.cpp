// JPEG snapshots through libjpeg(-turbo) directly: Qt's writer offers quality alone, and
// its 4:2:0 files came out larger than ffmpeg's at a lower quality.
#include "capture/SnapshotEncoder.h"

#include "capture/SrgbProfile.h"

#include <array>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

// The default intra quantiser matrix of MPEG-1 video (ISO/IEC 11172-2), in row order.
// It is flatter than JPEG's example tables, which suits the grain of real footage.
constexpr std::array<unsigned, 64> kMatrix = {
    8,  16, 19, 22, 26, 27, 29, 34, 16, 16, 22, 24, 27, 29, 34, 37, 19, 22, 26, 27, 29, 34,
    34, 38, 22, 22, 26, 27, 29, 34, 37, 40, 22, 26, 27, 29, 32, 35, 40, 48, 26, 27, 29, 32,
    35, 40, 48, 58, 26, 27, 29, 34, 38, 46, 56, 69, 27, 29, 35, 38, 46, 56, 69, 83};

// Up to this many pixels a picture is small: it gets finer steps (it will be looked at
// enlarged) and a progressive file, which is a little smaller and cheap at this size.
constexpr long kSmallPicture = 400'000;

// The quantiser steps for a picture of the given size: the matrix at scale / 8, the DC
// step kept at 8 (finer DC steps only cost bytes on smooth areas without visible gain).
std::array<unsigned, 64> quantiserSteps(long pixels) {
    const double scale = pixels <= kSmallPicture ? 4.4 : 5.5;
    std::array<unsigned, 64> steps{};
    for (std::size_t i = 0; i < steps.size(); ++i)
        steps[i] = std::max(1u, unsigned(kMatrix[i] * scale / 8));
    steps[0] = 8;
    return steps;
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void onJpegError(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

void ignoreJpegMessage(j_common_ptr /*info*/, int /*level*/) {}

// Compressed data goes straight into a QByteArray that lives outside compress(), so that
// nothing there is lost or leaked when libjpeg jumps out on an error.
struct ByteArrayDestination {
    jpeg_destination_mgr manager;
    QByteArray* bytes;
};

void startDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<ByteArrayDestination*>(info->dest);
    destination->bytes->resize(qsizetype(info->image_width) * info->image_height / 4 + 4096);
    info->dest->next_output_byte = reinterpret_cast<JOCTET*>(destination->bytes->data());
    info->dest->free_in_buffer = std::size_t(destination->bytes->size());
}

boolean growDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<ByteArrayDestination*>(info->dest);
    const qsizetype used = destination->bytes->size();
    destination->bytes->resize(used * 2);
    info->dest->next_output_byte = reinterpret_cast<JOCTET*>(destination->bytes->data()) + used;
    info->dest->free_in_buffer = std::size_t(used);
    return TRUE;
}

void finishDestination(j_compress_ptr info) {
    auto* destination = reinterpret_cast<ByteArrayDestination*>(info->dest);
    destination->bytes->resize(destination->bytes->size() - qsizetype(info->dest->free_in_buffer));
}

// Only plain C objects live here, so that libjpeg's jump on an error skips no destructor.
bool compress(const uchar* pixels, int width, int height, qsizetype pitch, const unsigned* steps,
              bool progressive, bool optimise, const QByteArray& comment, QByteArray* out,
              char* message) {
    jpeg_compress_struct info;
    JpegError error;
    ByteArrayDestination destination;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = &onJpegError;
    error.manager.emit_message = &ignoreJpegMessage;
    error.message[0] = '\0';
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", error.message);
        return false;
    }
    jpeg_create_compress(&info);
    destination.manager.init_destination = &startDestination;
    destination.manager.empty_output_buffer = &growDestination;
    destination.manager.term_destination = &finishDestination;
    destination.bytes = out;
    info.dest = &destination.manager;
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 4;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    info.in_color_space = JCS_EXT_BGRX; // QImage::Format_RGB32 in memory
#else
    info.in_color_space = JCS_EXT_XRGB;
#endif
    jpeg_set_defaults(&info);
    jpeg_add_quant_table(&info, 0, steps, 100, TRUE);
    for (int c = 0; c < 3; ++c) {
        info.comp_info[c].h_samp_factor = 1;
        info.comp_info[c].v_samp_factor = 1;
        info.comp_info[c].quant_tbl_no = 0;
    }
    info.optimize_coding = optimise ? TRUE : FALSE;
    info.dct_method = JDCT_ISLOW;
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    const QByteArray& profile = srgbIccProfile();
    jpeg_write_icc_profile(&info, reinterpret_cast<const JOCTET*>(profile.constData()),
                           unsigned(profile.size()));
    if (!comment.isEmpty())
        jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET*>(comment.constData()),
                          unsigned(std::min<qsizetype>(comment.size(), 65533)));
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + pitch * qsizetype(info.next_scanline));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

EncodedSnapshot encodeJpeg(const QImage& image, const SnapshotOrigin& origin, JpegCoding coding) {
    if (image.isNull())
        return {{}, QStringLiteral("the image is empty")};
    const QImage rgb =
        image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
            ? image
            : image.convertToFormat(QImage::Format_RGB32);
    const long pixels = long(rgb.width()) * rgb.height();
    const std::array<unsigned, 64> steps = quantiserSteps(pixels);
    // The origin as one comment, a line per field, which readers show as "Comment".
    QStringList lines;
    for (const auto& [keyword, text] : originFields(origin))
        lines << keyword + QStringLiteral(": ") + text;
    const QByteArray comment = lines.join(QLatin1Char('\n')).toUtf8();
    QByteArray bytes;
    char message[JMSG_LENGTH_MAX] = {};
    if (!compress(rgb.constBits(), rgb.width(), rgb.height(), rgb.bytesPerLine(), steps.data(),
                  pixels <= kSmallPicture, coding == JpegCoding::Optimised, comment, &bytes,
                  message))
        return {{}, QString::fromLocal8Bit(message)};
    return {bytes, {}};
}
