#pragma once

#include "playback/media/VideoFrame.h"

#include <array>
#include <deque>
#include <optional>

// What a frame looks like, coarsely, for telling scenes apart: how its levels are spread
// (histograms of luma and of both colour differences), where they are (a grid of block
// means) and luma averaged down each column and along each row (profiles that a camera
// move shifts without changing). Sampled from the decoder's pixels, in 8-bit levels
// whatever the video's depth.
struct SceneFeatures {
    static constexpr int kLumaBins = 32;
    static constexpr int kChromaBins = 16;
    static constexpr int kGridColumns = 16;
    static constexpr int kGridRows = 9;
    static constexpr int kBlocks = kGridColumns * kGridRows;
    static constexpr int kProfileColumns = 128;
    static constexpr int kProfileRows = 72;

    // Shares of the samples in each band of levels; each histogram sums to 1.
    std::array<float, kLumaBins> luma{};
    std::array<float, kChromaBins> blue{};
    std::array<float, kChromaBins> red{};
    // Means of the blocks, row by row, in levels.
    std::array<float, kBlocks> blockLuma{};
    std::array<float, kBlocks> blockBlue{};
    std::array<float, kBlocks> blockRed{};
    std::array<float, kProfileColumns> columnLuma{};
    std::array<float, kProfileRows> rowLuma{};
    // Standard deviation of the samples' luma and of their colour, in levels: nearly 0 for
    // a black or otherwise even picture.
    float lumaSpread = 0;
    float chromaSpread = 0;
};

// Costs about a tenth of a millisecond whatever the size: a fixed number of samples is
// read. A null frame gives empty features.
[[nodiscard]] SceneFeatures sceneFeaturesOf(const VideoFrame& frame);

// Finds where scenes start in a run of frames. A hard cut is a change between two frames
// that is large, far larger than the run's usual change from frame to frame (so that
// motion does not count) and that lasts (so that a flash does not). A dissolve or fade is
// a large change spread over many frames that goes straight from one picture to another
// and that no camera move explains; it counts once, where it ends. A black or otherwise
// even picture never starts a scene: a fade out and in again starts one only when what
// comes after differs from what went before.
class SceneDetector {
public:
    static constexpr int kDefaultSensitivity = 50; // 1..100; higher finds more scenes
    explicit SceneDetector(int sensitivity = kDefaultSensitivity);
    // framesPerSecond sets how many frames a gradual transition and the shortest scene
    // take (both are times in film); without it 25.
    SceneDetector(int sensitivity, double framesPerSecond);

    // The next frame of the run, in presentation order, with its number. Returns the number
    // of the first frame of a new scene when one is settled (for a gradual transition that
    // may be a frame before this one: the end of the dissolve/fade); empty otherwise. The
    // run's first frame never starts a new scene (the caller counts it as scene 1).
    std::optional<qint64> add(qint64 frameNumber, const SceneFeatures& features);
    // After the last frame: a scene still pending (a transition that ran to the end), if any.
    std::optional<qint64> finish();

private:
    struct Seen {
        qint64 number = 0;
        SceneFeatures features;
        double change = 0;       // from the frame before
        double unexplained = -1; // ... that no move of the camera accounts for (-1: not yet known)
        bool even = false;       // black, white or one flat colour
    };
    // A change spread over frames, still going on.
    struct Transition {
        qint64 before = 0; // the last frame before it
        int frames = 0;    // frames that looked like a transition so far
        int quiet = 0;     // frames since the last that did
    };

    [[nodiscard]] const Seen& at(qint64 index) const;
    [[nodiscard]] Seen& at(qint64 index);
    [[nodiscard]] double usualChange(qint64 end) const;
    void checkCut();
    void checkTransition();
    [[nodiscard]] qint64 lastEven(qint64 after, qint64 last) const;
    void settle(qint64 last);
    void begin(qint64 index, const SceneFeatures& before, double needed);
    std::optional<qint64> takeFound();

    double cutLevel_;
    int window_;
    int shortestScene_;
    int longestTransition_;
    std::deque<Seen> seen_;
    qint64 added_ = 0;       // frames added; index of the next
    qint64 sceneStart_ = 0;  // index of the current scene's first frame
    qint64 windowStart_ = 0; // no comparison reaches back before this frame (the last cut)
    std::optional<Transition> transition_;
    // What was on screen before the picture went even (a fade or cut to black).
    std::optional<SceneFeatures> beforeEven_;
    std::deque<qint64> found_; // scene starts not yet returned
};
