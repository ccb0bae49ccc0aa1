#pragma once

#include <QSize>
#include <QString>

#include <optional>

// The colour matrices a YUV picture may be coded with (the ones we convert ourselves).
enum class ColourMatrix { Bt601, Bt709, Bt2020, Smpte240m, Fcc };
enum class ColourRange { Limited, Full };
// The red, green and blue (and the white) a picture's RGB means. SMPTE 170M and 240M share
// theirs; BT.709 is also sRGB's, the screen's.
enum class ColourPrimaries { Bt709, Bt2020, DciP3, DisplayP3, Smpte170m, Bt470m, Bt470bg, Film };
// How a picture's signal turns into light. Every SDR curve is shown as the screen shows
// SDR video (BT.1886: a 2.4 power), as other players do; PQ and HLG are HDR.
enum class TransferCurve { Sdr, Pq, Hlg };

// BT.2408: HDR's reference white (the white of SDR video) is 203 nits.
inline constexpr double kReferenceWhiteNits = 203;
// What a PQ video that says nothing of its brightness is taken to reach: the usual
// mastering display of HDR10, and HLG's nominal peak.
inline constexpr double kDefaultHdrPeakNits = 1000;

struct VideoColours {
    ColourMatrix matrix = ColourMatrix::Bt601;
    ColourRange range = ColourRange::Limited;
    ColourPrimaries primaries = ColourPrimaries::Bt709;
    TransferCurve transfer = TransferCurve::Sdr;
    // The brightest the video reaches, in nits (PQ; HLG is always its nominal peak).
    double peakNits = kDefaultHdrPeakNits;
    // The transfer's H.273 code point (an SDR video's own curve, kept in 16-bit images).
    int transferCode = 1;
    friend bool operator==(const VideoColours&, const VideoColours&) = default;

    [[nodiscard]] bool isHdr() const { return transfer != TransferCurve::Sdr; }
    // Shown as they are: nothing between the matrix and the screen.
    [[nodiscard]] bool isScreenNative() const {
        return primaries == ColourPrimaries::Bt709 && transfer == TransferCurve::Sdr;
    }
};

// What a file says about its colours, as the code points of ITU-T H.273 (which is what
// libavformat reports): matrix coefficients, primaries, transfer characteristics and range
// (0 unspecified, 1 limited, 2 full as libavutil numbers it), and the HDR levels of its
// mastering display and content (nits; 0 where it says nothing, -1 where it says
// something unusable).
struct ColourTags {
    int matrix = 2;    // unspecified
    int primaries = 2; // unspecified
    int transfer = 2;  // unspecified
    int range = 0;     // unspecified
    double masteringPeakNits = 0;
    double maxContentNits = 0; // MaxCLL
    friend bool operator==(const ColourTags&, const ColourTags&) = default;
};

// The colours to convert a YUV picture of the given size and depth with. Untagged (or
// nonsense) matrices follow the rule other players use: BT.709 for HD pictures (wider than
// 1024 or taller than 576), BT.601 otherwise; limited range unless the decoder's own format
// says full (decoderFullRange: the J420/J422/J444 formats). Untagged primaries are BT.2020
// for a BT.2020 matrix or an HDR transfer, the screen's otherwise. Empty when the picture
// must not be converted this way: a matrix we do not implement (YCgCo, BT.2020 constant
// luminance, ICtCp). Tags that contradict each other or make no sense (PQ on 8 bits,
// reserved primaries, a peak of 0 or of millions of nits) fall back to the rule for
// untagged video; *problem then says what was ignored, for the error log.
[[nodiscard]] std::optional<VideoColours> resolveColours(const ColourTags& tags,
                                                         bool decoderFullRange, QSize picture,
                                                         int bitDepth = 8,
                                                         QString* problem = nullptr);

// The H.273 code points of colours as resolved (matrix 0, RGB, and full range: what a
// 16-bit RGB image of the video's own transfer and primaries holds), for a PNG cICP chunk.
struct CicpCodes {
    int primaries = 1;
    int transfer = 13;
    int matrix = 0;
    int fullRange = 1;
    friend bool operator==(const CicpCodes&, const CicpCodes&) = default;
};
[[nodiscard]] CicpCodes cicpOf(const VideoColours& colours);
