#pragma once

#include <QSize>

#include <optional>

// The colour matrices a YUV picture may be coded with (the ones we convert ourselves).
enum class ColourMatrix { Bt601, Bt709, Bt2020, Smpte240m, Fcc };
enum class ColourRange { Limited, Full };

struct VideoColours {
    ColourMatrix matrix = ColourMatrix::Bt601;
    ColourRange range = ColourRange::Limited;
    friend bool operator==(const VideoColours&, const VideoColours&) = default;
};

// What a file says about its colours, as the code points of ITU-T H.273 (which is what
// libavformat reports): matrix coefficients, transfer characteristics and range
// (0 unspecified, 1 limited, 2 full as libavutil numbers it).
struct ColourTags {
    int matrix = 2;   // unspecified
    int transfer = 2; // unspecified
    int range = 0;    // unspecified
};

// The colours to convert a YUV picture of the given size with. Untagged (or nonsense)
// tags follow the rule other players use: BT.709 for HD pictures (wider than 1024 or
// taller than 576), BT.601 otherwise, limited range unless the decoder's own format says
// full (decoderFullRange: the J420/J422/J444 formats). Empty when the picture must not be
// converted this way: a matrix we do not implement (YCgCo, BT.2020 constant luminance,
// ICtCp) or an HDR transfer (PQ, HLG), which need more than a matrix to look right.
[[nodiscard]] std::optional<VideoColours> resolveColours(const ColourTags& tags,
                                                         bool decoderFullRange, QSize picture);
