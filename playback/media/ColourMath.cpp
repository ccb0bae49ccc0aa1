#include "playback/media/ColourMath.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr Chromaticity kD65{0.3127, 0.3290};
constexpr Chromaticity kIlluminantC{0.310, 0.316};
constexpr Chromaticity kDciWhite{0.314, 0.351};

// BT.2100 PQ constants.
constexpr double kM1 = 2610.0 / 16384.0;
constexpr double kM2 = 2523.0 / 4096.0 * 128.0;
constexpr double kC1 = 3424.0 / 4096.0;
constexpr double kC2 = 2413.0 / 4096.0 * 32.0;
constexpr double kC3 = 2392.0 / 4096.0 * 32.0;
constexpr double kPqPeakNits = 10000;

// BT.2100 HLG constants.
constexpr double kHlgA = 0.17883277;
constexpr double kHlgB = 1.0 - 4.0 * kHlgA;
const double kHlgC = 0.5 - kHlgA * std::log(4.0 * kHlgA);

std::array<double, 3> xyzOf(Chromaticity c) {
    return {c.x / c.y, 1.0, (1.0 - c.x - c.y) / c.y};
}

std::array<double, 3> transformed(const Matrix3& m, const std::array<double, 3>& v) {
    std::array<double, 3> out{};
    for (int r = 0; r < 3; ++r)
        out[size_t(r)] = m[size_t(r)][0] * v[0] + m[size_t(r)][1] * v[1] + m[size_t(r)][2] * v[2];
    return out;
}

// XYZ seen under one white to XYZ seen under another (the Bradford transform).
Matrix3 adaptation(Chromaticity from, Chromaticity to) {
    constexpr Matrix3 kBradford = {
        {{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};
    const std::array<double, 3> a = transformed(kBradford, xyzOf(from));
    const std::array<double, 3> b = transformed(kBradford, xyzOf(to));
    Matrix3 scale{};
    for (size_t i = 0; i < 3; ++i)
        scale[i][i] = b[i] / a[i];
    return multiply(inverse(kBradford), multiply(scale, kBradford));
}
} // namespace

PrimariesSet chromaticitiesOf(ColourPrimaries primaries) {
    switch (primaries) {
    case ColourPrimaries::Bt2020:
        return {{0.708, 0.292}, {0.170, 0.797}, {0.131, 0.046}, kD65};
    case ColourPrimaries::DciP3:
        return {{0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, kDciWhite};
    case ColourPrimaries::DisplayP3:
        return {{0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, kD65};
    case ColourPrimaries::Smpte170m:
        return {{0.630, 0.340}, {0.310, 0.595}, {0.155, 0.070}, kD65};
    case ColourPrimaries::Bt470m:
        return {{0.67, 0.33}, {0.21, 0.71}, {0.14, 0.08}, kIlluminantC};
    case ColourPrimaries::Bt470bg:
        return {{0.64, 0.33}, {0.29, 0.60}, {0.15, 0.06}, kD65};
    case ColourPrimaries::Film:
        return {{0.681, 0.319}, {0.243, 0.692}, {0.145, 0.049}, kIlluminantC};
    case ColourPrimaries::Bt709:
        break;
    }
    return {{0.640, 0.330}, {0.300, 0.600}, {0.150, 0.060}, kD65};
}

Matrix3 multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 out{};
    for (size_t r = 0; r < 3; ++r)
        for (size_t c = 0; c < 3; ++c)
            out[r][c] = a[r][0] * b[0][c] + a[r][1] * b[1][c] + a[r][2] * b[2][c];
    return out;
}

Matrix3 inverse(const Matrix3& m) {
    const double a = m[0][0], b = m[0][1], c = m[0][2];
    const double d = m[1][0], e = m[1][1], f = m[1][2];
    const double g = m[2][0], h = m[2][1], i = m[2][2];
    const double det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    return {{{(e * i - f * h) / det, (c * h - b * i) / det, (b * f - c * e) / det},
             {(f * g - d * i) / det, (a * i - c * g) / det, (c * d - a * f) / det},
             {(d * h - e * g) / det, (b * g - a * h) / det, (a * e - b * d) / det}}};
}

Matrix3 rgbToXyz(const PrimariesSet& set) {
    const std::array<double, 3> r = xyzOf(set.red);
    const std::array<double, 3> g = xyzOf(set.green);
    const std::array<double, 3> b = xyzOf(set.blue);
    const Matrix3 columns = {{{r[0], g[0], b[0]}, {r[1], g[1], b[1]}, {r[2], g[2], b[2]}}};
    // Each primary is weighted so that the three together make the white.
    const std::array<double, 3> s = transformed(inverse(columns), xyzOf(set.white));
    Matrix3 out{};
    for (size_t row = 0; row < 3; ++row)
        for (size_t col = 0; col < 3; ++col)
            out[row][col] = columns[row][col] * s[col];
    return out;
}

Matrix3 primariesConversion(ColourPrimaries from, ColourPrimaries to) {
    const PrimariesSet source = chromaticitiesOf(from);
    const PrimariesSet target = chromaticitiesOf(to);
    Matrix3 toXyz = rgbToXyz(source);
    if (source.white.x != target.white.x || source.white.y != target.white.y)
        toXyz = multiply(adaptation(source.white, target.white), toXyz);
    return multiply(inverse(rgbToXyz(target)), toXyz);
}

std::array<double, 3> luminanceWeights(ColourPrimaries primaries) {
    return rgbToXyz(chromaticitiesOf(primaries))[1];
}

double pqToNits(double signal) {
    const double p = std::pow(std::clamp(signal, 0.0, 1.0), 1.0 / kM2);
    return kPqPeakNits * std::pow(std::max(p - kC1, 0.0) / (kC2 - kC3 * p), 1.0 / kM1);
}

double nitsToPq(double nits) {
    const double y = std::pow(std::clamp(nits / kPqPeakNits, 0.0, 1.0), kM1);
    return std::pow((kC1 + kC2 * y) / (1.0 + kC3 * y), kM2);
}

double hlgToScene(double signal) {
    signal = std::clamp(signal, 0.0, 1.0);
    if (signal <= 0.5)
        return signal * signal / 3.0;
    return (std::exp((signal - kHlgC) / kHlgA) + kHlgB) / 12.0;
}

double sceneToHlg(double scene) {
    scene = std::clamp(scene, 0.0, 1.0);
    if (scene <= 1.0 / 12.0)
        return std::sqrt(3.0 * scene);
    return kHlgA * std::log(12.0 * scene - kHlgB) + kHlgC;
}

double hlgSystemGamma(double peakNits) {
    return 1.2 + 0.42 * std::log10(peakNits / 1000.0);
}

double eetfKneeNits(double sourcePeak, double targetPeak) {
    const double black = nitsToPq(0);
    const double span = nitsToPq(sourcePeak) - black;
    const double maxLum = (nitsToPq(targetPeak) - black) / span;
    const double knee = std::max(0.0, 1.5 * maxLum - 0.5);
    return pqToNits(knee * span + black);
}

double eetfNits(double nits, double sourcePeak, double targetPeak) {
    if (sourcePeak <= targetPeak)
        return std::min(nits, targetPeak);
    const double black = nitsToPq(0);
    const double span = nitsToPq(sourcePeak) - black;
    const double maxLum = (nitsToPq(targetPeak) - black) / span;
    const double knee = std::max(0.0, 1.5 * maxLum - 0.5);
    const double e1 = std::clamp((nitsToPq(nits) - black) / span, 0.0, 1.0);
    double e2 = e1;
    if (e1 >= knee) {
        const double t = (e1 - knee) / (1.0 - knee);
        const double t2 = t * t;
        const double t3 = t2 * t;
        e2 = (2 * t3 - 3 * t2 + 1) * knee + (t3 - 2 * t2 + t) * (1.0 - knee) +
             (-2 * t3 + 3 * t2) * maxLum;
    }
    return pqToNits(e2 * span + black);
}
