#pragma once

#include <QtGlobal>

#include <functional>
#include <optional>
#include <vector>

// Which frames of the range Export Frames writes.
enum class ExportMode {
    EveryFrame,
    Interval,     // the frame on screen at each multiple of an interval from the range's start
    Evenly,       // a number of frames spread evenly over the range
    PerScene,     // the first frame of each scene
    ContactSheet, // one image of thumbnails, evenly spread or one per scene
};

// What the user chose in the dialog; kept while the program runs.
struct ExportChoice {
    ExportMode mode = ExportMode::EveryFrame;
    double intervalSeconds = 10;
    int count = 20;       // evenly spread frames
    int sensitivity = 50; // scene detection, 1 to 100
    int columns = 4;
    int rows = 5;
    int thumbnailWidth = 480; // pixels
    bool sheetPerScene = false;
    friend bool operator==(const ExportChoice&, const ExportChoice&) = default;
};

inline constexpr double kShortestExportInterval = 0.1; // seconds
inline constexpr double kLongestExportInterval = 3600;

// The interval in milliseconds; empty for what is no number of seconds between the
// shortest and the longest interval.
[[nodiscard]] std::optional<qint64> exportIntervalMs(double seconds);

// The frame on screen at a time (the last that starts at or before it); empty where the
// video's frames are not known.
using FrameAtTime = std::function<std::optional<qint64>(qint64 ms)>;

// The frames on screen at fromMs, fromMs + interval, ... up to toMs, each once (a frame
// longer than the interval is written once); a range shorter than the interval gives its
// first frame.
[[nodiscard]] std::vector<qint64> intervalFrames(const FrameAtTime& frameAt, qint64 fromMs,
                                                 qint64 toMs, qint64 intervalMs);

// count frames from first to last (both included), at the middles of count equal parts:
// exactly count different frames where there are that many, otherwise every frame.
[[nodiscard]] std::vector<qint64> evenlySpreadFrames(qint64 first, qint64 last, int count);

// At most count of frames (in order), spread evenly over them: a sheet's cells for more
// scenes than it has.
[[nodiscard]] std::vector<qint64> thinOut(const std::vector<qint64>& frames, int count);
