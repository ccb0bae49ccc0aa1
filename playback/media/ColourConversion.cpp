#include "playback/media/ColourConversion.h"
#include "playback/media/VectorClones.h"

#include "playback/media/ColourMath.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>

namespace {
// SDR video is shown with BT.1886's 2.4 power (a black of 0), the curve its signal was
// made for; the same curve brings light back to the screen's signal.
constexpr double kSdrGamma = 2.4;
// How far outside BT.709 (in linear light, white 1) a colour may fall and still count as
// on its edge: 1/2000 plus 1 % of its luminance. A 10-bit BT.2020 file codes BT.709's
// saturated colours no closer than that.
constexpr float kGamutSlack = 0.0005f;

constexpr int kSignalSteps = ColourConversion::kSignalSteps;
// Light tables: a float's exponent and top mantissa bits are its entry.
constexpr int kMantissaShift =
    23 - std::countr_zero(unsigned(ColourConversion::kLightStepsPerOctave));
constexpr std::uint32_t kLightFirst = std::bit_cast<std::uint32_t>(0x1p-24f) >> kMantissaShift;
constexpr int kLightEntries =
    ColourConversion::kLightOctaves * ColourConversion::kLightStepsPerOctave + 1;
constexpr float kLightTop = 0x1p6f;

std::vector<float> signalTable(const std::function<double(double)>& f) {
    std::vector<float> table(size_t(kSignalSteps) + 1);
    for (int i = 0; i <= kSignalSteps; ++i)
        table[size_t(i)] = float(f(double(i) / kSignalSteps));
    return table;
}

// f at each entry's light; the first entry holds f(0), so that black stays black.
std::vector<float> lightTable(const std::function<double(double)>& f) {
    std::vector<float> table(static_cast<size_t>(kLightEntries));
    table[0] = float(f(0));
    for (int i = 1; i < kLightEntries; ++i)
        table[size_t(i)] = float(
            f(double(std::bit_cast<float>((kLightFirst + std::uint32_t(i)) << kMantissaShift))));
    return table;
}

// The nearest entries: the steps are fine enough that interpolating would change less
// than a tenth of an 8-bit level, and a memory read is what these loops cost. Light from
// signal has the finest steps: converting the primaries takes differences of large
// values, which must stay exact to leave a dark channel dark.
inline float bySignal(const float* table, float x) {
    return table[int(std::min(std::max(x, 0.0f), 1.0f) * float(kSignalSteps) + 0.5f)];
}

inline float byLight(const float* table, float x) {
    // Anything darker than the first entry is black.
    x = std::min(std::max(x, 0x1p-24f), kLightTop);
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(x) + (1u << (kMantissaShift - 1));
    return table[std::min(int(bits >> kMantissaShift) - int(kLightFirst), kLightEntries - 1)];
}

// Each step a loop of its own over the row, so that each vectorises.
FRAMORA_VECTOR_CLONES void toLight(const float* table, float* __restrict r, float* __restrict g,
                                   float* __restrict b, int n) {
    for (int i = 0; i < n; ++i) {
        r[i] = bySignal(table, r[i]);
        g[i] = bySignal(table, g[i]);
        b[i] = bySignal(table, b[i]);
    }
}

// Multiplies each pixel by the gain table holds for its luminance (weights w).
FRAMORA_VECTOR_CLONES void scaleByLuminance(const float* table, const float* w, float* __restrict r,
                                            float* __restrict g, float* __restrict b, int n) {
    for (int i = 0; i < n; ++i) {
        const float gain = byLight(table, w[0] * r[i] + w[1] * g[i] + w[2] * b[i]);
        r[i] *= gain;
        g[i] *= gain;
        b[i] *= gain;
    }
}

// Scales each pixel so that the largest of its R, G and B becomes what table holds for it
// (the table holds the new peak rather than the gain, so that a grey ramp still rises at
// every step of the table).
FRAMORA_VECTOR_CLONES void scaleByPeak(const float* table, float* __restrict r, float* __restrict g,
                                       float* __restrict b, int n) {
    for (int i = 0; i < n; ++i) {
        const float peak = std::max(r[i], std::max(g[i], b[i]));
        const float gain = byLight(table, peak) / std::max(peak, 0x1p-24f);
        r[i] *= gain;
        g[i] *= gain;
        b[i] *= gain;
    }
}

FRAMORA_VECTOR_CLONES void toScreenPrimaries(const float* m, const float* w, float* __restrict r,
                                             float* __restrict g, float* __restrict b, int n) {
    for (int i = 0; i < n; ++i) {
        const float cr = m[0] * r[i] + m[1] * g[i] + m[2] * b[i];
        const float cg = m[3] * r[i] + m[4] * g[i] + m[5] * b[i];
        const float cb = m[6] * r[i] + m[7] * g[i] + m[8] * b[i];
        // Out of BT.709's gamut: towards grey of the same luminance, just far enough that
        // no channel is below 0 or above 1. A colour on BT.709's edge comes out of a coded
        // file a hair outside it (its quantisation): that is clipped, since lifting its
        // dark channels towards grey would show tens of levels.
        const float y = std::min(std::max(w[0] * cr + w[1] * cg + w[2] * cb, 0.0f), 1.0f);
        const float slack = kGamutSlack + kGamutSlack * 20.0f * y;
        const float lo = std::min(cr, std::min(cg, cb));
        const float hi = std::max(cr, std::max(cg, cb));
        const float toLow = (y + slack) / std::max(y - lo, 1e-20f);
        const float toHigh = (1.0f + slack - y) / std::max(hi - y, 1e-20f);
        const float t = std::min(lo < -slack ? toLow : 1.0f, hi > 1.0f + slack ? toHigh : 1.0f);
        r[i] = y + t * (cr - y);
        g[i] = y + t * (cg - y);
        b[i] = y + t * (cb - y);
    }
}

FRAMORA_VECTOR_CLONES void fromLight(const float* table, float* __restrict r, float* __restrict g,
                                     float* __restrict b, int n) {
    for (int i = 0; i < n; ++i) {
        r[i] = byLight(table, r[i]);
        g[i] = byLight(table, g[i]);
        b[i] = byLight(table, b[i]);
    }
}
} // namespace

ColourConversion::ColourConversion(const VideoColours& colours) : colours_(colours) {
    passesThrough_ = colours.isScreenNative();
    if (passesThrough_)
        return;
    const double white = kReferenceWhiteNits;
    const double peak =
        colours.transfer == TransferCurve::Hlg ? kDefaultHdrPeakNits : colours.peakNits;
    switch (colours.transfer) {
    case TransferCurve::Sdr:
        toLight_ = signalTable([](double s) { return std::pow(s, kSdrGamma); });
        break;
    case TransferCurve::Pq:
        toLight_ = signalTable([white](double s) { return pqToNits(s) / white; });
        break;
    case TransferCurve::Hlg: {
        toLight_ = signalTable(hlgToScene);
        // BT.2100's OOTF for a display of HLG's nominal peak: Fd = Lw Ys^(gamma - 1) E.
        const double gamma = hlgSystemGamma(peak);
        ootfGain_ = lightTable([peak, white, gamma](double ys) {
            return peak / white * std::pow(std::min(ys, 1.0), gamma - 1.0);
        });
        break;
    }
    }
    if (colours.isHdr()) {
        tonePeak_ = lightTable(
            [peak, white](double light) { return eetfNits(light * white, peak, white) / white; });
    }
    fromLight_ =
        lightTable([](double light) { return std::pow(std::min(light, 1.0), 1.0 / kSdrGamma); });

    convertsPrimaries_ = colours.primaries != ColourPrimaries::Bt709;
    if (convertsPrimaries_) {
        const Matrix3 m = primariesConversion(colours.primaries, ColourPrimaries::Bt709);
        for (size_t i = 0; i < 9; ++i)
            primaries_[i] = float(m[i / 3][i % 3]);
    }
    const std::array<double, 3> source = luminanceWeights(colours.primaries);
    const std::array<double, 3> screen = luminanceWeights(ColourPrimaries::Bt709);
    for (size_t i = 0; i < 3; ++i) {
        sourceWeights_[i] = float(source[i]);
        screenWeights_[i] = float(screen[i]);
    }
}

void ColourConversion::toScreen(float* r, float* g, float* b, int n) const {
    if (passesThrough_) {
        for (int i = 0; i < n; ++i) {
            r[i] = std::clamp(r[i], 0.0f, 1.0f);
            g[i] = std::clamp(g[i], 0.0f, 1.0f);
            b[i] = std::clamp(b[i], 0.0f, 1.0f);
        }
        return;
    }
    toLight(toLight_.data(), r, g, b, n);
    if (!ootfGain_.empty())
        scaleByLuminance(ootfGain_.data(), sourceWeights_.data(), r, g, b, n);
    if (!tonePeak_.empty())
        scaleByPeak(tonePeak_.data(), r, g, b, n);
    if (convertsPrimaries_)
        toScreenPrimaries(primaries_.data(), screenWeights_.data(), r, g, b, n);
    fromLight(fromLight_.data(), r, g, b, n);
}
