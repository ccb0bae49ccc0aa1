#include "playback/VideoColours.h"

namespace {
// H.273 matrix coefficients.
constexpr int kMatrixRgb = 0;
constexpr int kMatrixBt709 = 1;
constexpr int kMatrixFcc = 4;
constexpr int kMatrixBt470bg = 5;
constexpr int kMatrixSmpte170m = 6;
constexpr int kMatrixSmpte240m = 7;
constexpr int kMatrixYcgco = 8;
constexpr int kMatrixBt2020Ncl = 9;
constexpr int kMatrixBt2020Cl = 10;
constexpr int kMatrixLastDefined = 14; // ICtCp
// H.273 transfer characteristics that carry HDR.
constexpr int kTransferPq = 16;
constexpr int kTransferHlg = 18;
// libavutil's colour range.
constexpr int kRangeLimited = 1;
constexpr int kRangeFull = 2;

constexpr int kLargestSdWidth = 1024;
constexpr int kLargestSdHeight = 576;
} // namespace

std::optional<VideoColours> resolveColours(const ColourTags& tags, bool decoderFullRange,
                                           QSize picture) {
    if (tags.transfer == kTransferPq || tags.transfer == kTransferHlg)
        return std::nullopt;
    VideoColours colours;
    switch (tags.matrix) {
    case kMatrixBt709:
        colours.matrix = ColourMatrix::Bt709;
        break;
    case kMatrixFcc:
        colours.matrix = ColourMatrix::Fcc;
        break;
    case kMatrixBt470bg:
    case kMatrixSmpte170m:
        colours.matrix = ColourMatrix::Bt601;
        break;
    case kMatrixSmpte240m:
        colours.matrix = ColourMatrix::Smpte240m;
        break;
    case kMatrixBt2020Ncl:
        colours.matrix = ColourMatrix::Bt2020;
        break;
    case kMatrixYcgco:
    case kMatrixBt2020Cl:
        return std::nullopt;
    default:
        // Unspecified, reserved, RGB (which a YUV picture cannot be) and anything newer
        // than we know all mean the tag tells nothing usable.
        if (tags.matrix > kMatrixBt2020Cl && tags.matrix <= kMatrixLastDefined &&
            tags.matrix != kMatrixRgb)
            return std::nullopt;
        const bool hd = picture.width() > kLargestSdWidth || picture.height() > kLargestSdHeight;
        colours.matrix = hd ? ColourMatrix::Bt709 : ColourMatrix::Bt601;
        break;
    }
    if (tags.range == kRangeFull)
        colours.range = ColourRange::Full;
    else if (tags.range == kRangeLimited)
        colours.range = ColourRange::Limited;
    else
        colours.range = decoderFullRange ? ColourRange::Full : ColourRange::Limited;
    return colours;
}
