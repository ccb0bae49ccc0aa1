#include "playback/media/VideoColours.h"

#include <QStringList>

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
// H.273 transfer characteristics.
constexpr int kTransferBt709 = 1;
constexpr int kTransferUnspecified = 2;
constexpr int kTransferPq = 16;
constexpr int kTransferHlg = 18;
// libavutil's colour range.
constexpr int kRangeLimited = 1;
constexpr int kRangeFull = 2;

constexpr int kLargestSdWidth = 1024;
constexpr int kLargestSdHeight = 576;
// PQ ends at 10,000 nits: a level above it (or none at all) is not a real display's.
constexpr double kPqCeilingNits = 10000;

struct PrimariesCode {
    int code;
    ColourPrimaries primaries;
};
// H.273 colour primaries; 7 (SMPTE 240M) is 170M's set, 22 (EBU 3213) BT.470BG's.
constexpr PrimariesCode kPrimariesCodes[] = {
    {1, ColourPrimaries::Bt709},      {4, ColourPrimaries::Bt470m},
    {5, ColourPrimaries::Bt470bg},    {6, ColourPrimaries::Smpte170m},
    {7, ColourPrimaries::Smpte170m},  {8, ColourPrimaries::Film},
    {9, ColourPrimaries::Bt2020},     {11, ColourPrimaries::DciP3},
    {12, ColourPrimaries::DisplayP3}, {22, ColourPrimaries::Bt470bg}};

bool isSdrTransferCode(int code) {
    // BT.709, gamma 2.2 and 2.8, SMPTE 170M and 240M, linear, xvYCC, BT.1361, sRGB and
    // BT.2020 at 10 and 12 bits; the log curves (9, 10) and SMPTE 428 (17) are shown as
    // SDR too, but an image keeping the video's curve says BT.709 for them.
    return (code >= 1 && code <= 15 && code != 2 && code != 3 && code != 9 && code != 10);
}

std::optional<ColourMatrix> matrixOf(int code, QSize picture, bool* unusable) {
    switch (code) {
    case kMatrixBt709:
        return ColourMatrix::Bt709;
    case kMatrixFcc:
        return ColourMatrix::Fcc;
    case kMatrixBt470bg:
    case kMatrixSmpte170m:
        return ColourMatrix::Bt601;
    case kMatrixSmpte240m:
        return ColourMatrix::Smpte240m;
    case kMatrixBt2020Ncl:
        return ColourMatrix::Bt2020;
    case kMatrixYcgco:
    case kMatrixBt2020Cl:
        *unusable = true;
        return std::nullopt;
    default:
        // Unspecified, reserved, RGB (which a YUV picture cannot be) and anything newer
        // than we know all mean the tag tells nothing usable.
        if (code > kMatrixBt2020Cl && code <= kMatrixLastDefined && code != kMatrixRgb) {
            *unusable = true;
            return std::nullopt;
        }
        const bool hd = picture.width() > kLargestSdWidth || picture.height() > kLargestSdHeight;
        return hd ? ColourMatrix::Bt709 : ColourMatrix::Bt601;
    }
}

bool usableNits(double nits) {
    return nits > 0 && nits <= kPqCeilingNits;
}

} // namespace

std::optional<VideoColours> resolveColours(const ColourTags& tags, bool decoderFullRange,
                                           QSize picture, int bitDepth, QString* problem) {
    QStringList problems;
    bool unusable = false;
    const std::optional<ColourMatrix> matrix = matrixOf(tags.matrix, picture, &unusable);
    if (unusable || !matrix)
        return std::nullopt;
    VideoColours colours;
    colours.matrix = *matrix;
    if (tags.range == kRangeFull)
        colours.range = ColourRange::Full;
    else if (tags.range == kRangeLimited)
        colours.range = ColourRange::Limited;
    else
        colours.range = decoderFullRange ? ColourRange::Full : ColourRange::Limited;

    if (tags.transfer == kTransferPq && bitDepth <= 8) {
        // PQ spends its codes over 0 to 10,000 nits; 8 bits of it would band visibly, and
        // no camera or disc makes it. The tag is the mistake, not the picture.
        problems << QStringLiteral("the PQ transfer on %1-bit video (shown as SDR)").arg(bitDepth);
    } else if (tags.transfer == kTransferPq) {
        colours.transfer = TransferCurve::Pq;
    } else if (tags.transfer == kTransferHlg) {
        colours.transfer = TransferCurve::Hlg;
    } else if (tags.transfer != kTransferUnspecified && !isSdrTransferCode(tags.transfer) &&
               tags.transfer != 9 && tags.transfer != 10 && tags.transfer != 17) {
        problems << QStringLiteral("the reserved transfer %1 (shown as SDR)").arg(tags.transfer);
    }
    if (colours.transfer == TransferCurve::Pq)
        colours.transferCode = kTransferPq;
    else if (colours.transfer == TransferCurve::Hlg)
        colours.transferCode = kTransferHlg;
    else
        colours.transferCode = isSdrTransferCode(tags.transfer) ? tags.transfer : kTransferBt709;

    // Untagged: HDR and the BT.2020 matrix come with BT.2020's primaries in every video
    // that has them; anything else is shown as it is, as other players show it.
    const ColourPrimaries untagged = colours.isHdr() || colours.matrix == ColourMatrix::Bt2020
                                         ? ColourPrimaries::Bt2020
                                         : ColourPrimaries::Bt709;
    colours.primaries = untagged;
    if (tags.primaries != 2) {
        bool known = false;
        for (const PrimariesCode& entry : kPrimariesCodes) {
            if (entry.code == tags.primaries) {
                colours.primaries = entry.primaries;
                known = true;
            }
        }
        if (!known)
            problems << QStringLiteral("the primaries %1 (taken as untagged)").arg(tags.primaries);
    }

    if (colours.transfer == TransferCurve::Pq) {
        for (const double nits : {tags.maxContentNits, tags.masteringPeakNits}) {
            if (nits != 0 && !usableNits(nits))
                problems << QStringLiteral("a peak brightness of %1 nits (taken as %2)")
                                .arg(nits)
                                .arg(kDefaultHdrPeakNits);
        }
        // The content's own brightest pixel says more than the display it was made on.
        if (usableNits(tags.maxContentNits))
            colours.peakNits = tags.maxContentNits;
        else if (usableNits(tags.masteringPeakNits))
            colours.peakNits = tags.masteringPeakNits;
    }
    if (problem && !problems.isEmpty())
        *problem = QStringLiteral("Colour tags ignored: ") + problems.join(QStringLiteral("; "));
    return colours;
}

CicpCodes cicpOf(const VideoColours& colours) {
    CicpCodes codes;
    codes.primaries = 1;
    for (const PrimariesCode& entry : kPrimariesCodes) {
        if (entry.primaries == colours.primaries) {
            codes.primaries = entry.code;
            break;
        }
    }
    codes.transfer = colours.transferCode;
    return codes;
}
