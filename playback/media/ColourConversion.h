#pragma once

#include "playback/media/VideoColours.h"

#include <array>
#include <vector>

// Turns the R'G'B' signal of a video's own primaries and transfer into the screen's:
// BT.709 primaries, shown as SDR video is shown (BT.1886). In linear light, relative to
// reference white (SDR white, 203 nits in HDR, BT.2408):
//  - PQ and HLG (with BT.2100's OOTF for a 1,000-nit display) become display light;
//  - HDR is tone mapped with BT.2390's EETF from the video's peak to reference white, on
//    the largest of R, G and B so that hue and saturation stay (everything below the
//    knee, about 90 nits for a 1,000-nit video, is left as it is);
//  - other primaries are converted to BT.709, and what BT.709 cannot show is desaturated
//    towards its own luminance just as far as needed: hue and brightness (and with them
//    the shading of a saturated area) are kept, where clipping each channel would flatten
//    it into a patch of one colour; what BT.709 can show is left exactly as it is.
// Built once per video (its tables take a moment); then safe on any thread.
class ColourConversion {
public:
    explicit ColourConversion(const VideoColours& colours);

    [[nodiscard]] const VideoColours& colours() const { return colours_; }
    // Nothing to do between the matrix and the screen (BT.709 SDR video).
    [[nodiscard]] bool passesThrough() const { return passesThrough_; }

    // n values of each channel, signal 0 to 1 (values outside are clamped), become the
    // screen's signal, 0 to 1.
    void toScreen(float* r, float* g, float* b, int n) const;

    // Signals in 1/16384 steps.
    static constexpr int kSignalSteps = 16384;
    // Light from 2^-24 to 2^6 of white in 1/512-octave steps: fine where light is dark
    // (and the eye most sensitive), found from the bits of the float itself rather than
    // with a logarithm.
    static constexpr int kLightOctaves = 30;
    static constexpr int kLightStepsPerOctave = 512;

private:
    VideoColours colours_;
    bool passesThrough_ = true;
    bool convertsPrimaries_ = false;
    std::vector<float> toLight_;           // signal to linear light (scene light for HLG)
    std::vector<float> ootfGain_;          // HLG: scene luminance to the OOTF's gain
    std::vector<float> tonePeak_;          // HDR: max(R, G, B) to what the tone curve makes of it
    std::vector<float> fromLight_;         // light to the screen's signal
    std::array<float, 9> primaries_{};     // source RGB to BT.709 RGB, linear
    std::array<float, 3> sourceWeights_{}; // the source's luminance weights (HLG's OOTF)
    std::array<float, 3> screenWeights_{}; // BT.709's
};
