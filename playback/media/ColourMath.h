#pragma once

#include "playback/media/VideoColours.h"

#include <array>

// The colour science the conversions are built from, in double precision: computed once
// per video, never per pixel.

using Matrix3 = std::array<std::array<double, 3>, 3>;

struct Chromaticity {
    double x = 0;
    double y = 0;
};
struct PrimariesSet {
    Chromaticity red;
    Chromaticity green;
    Chromaticity blue;
    Chromaticity white;
};

[[nodiscard]] PrimariesSet chromaticitiesOf(ColourPrimaries primaries);
// Linear RGB to CIE XYZ (SMPTE RP 177's normalised primary matrix: white has Y = 1).
[[nodiscard]] Matrix3 rgbToXyz(const PrimariesSet& set);
// Linear RGB of one set of primaries to another's, the white of the first carried to the
// white of the second (Bradford) where they differ.
[[nodiscard]] Matrix3 primariesConversion(ColourPrimaries from, ColourPrimaries to);
[[nodiscard]] Matrix3 multiply(const Matrix3& a, const Matrix3& b);
[[nodiscard]] Matrix3 inverse(const Matrix3& m);
// Luminance weights (the Y row of rgbToXyz).
[[nodiscard]] std::array<double, 3> luminanceWeights(ColourPrimaries primaries);

// BT.2100 PQ: signal (0 to 1) to display light in nits, and back.
[[nodiscard]] double pqToNits(double signal);
[[nodiscard]] double nitsToPq(double nits);
// BT.2100 HLG: signal (0 to 1) to scene light (0 to 1), and back.
[[nodiscard]] double hlgToScene(double signal);
[[nodiscard]] double sceneToHlg(double scene);
// The HLG system gamma of a display of the given peak (1.2 at 1,000 nits).
[[nodiscard]] double hlgSystemGamma(double peakNits);

// BT.2390's EETF: display light of a source that reaches sourcePeak nits, brought into a
// display that reaches targetPeak, both with a black of 0. Identity below the knee, a
// Hermite spline above it that ends at targetPeak with the source's peak; computed in PQ
// as BT.2390 defines it. Identity where the source fits (sourcePeak <= targetPeak).
[[nodiscard]] double eetfNits(double nits, double sourcePeak, double targetPeak);
// Where the EETF's knee lies, in nits.
[[nodiscard]] double eetfKneeNits(double sourcePeak, double targetPeak);
