#include "capture/ExportSelection.h"

#include <cmath>

std::optional<qint64> exportIntervalMs(double seconds) {
    if (!std::isfinite(seconds) || seconds < kShortestExportInterval - 1e-9 ||
        seconds > kLongestExportInterval)
        return std::nullopt;
    return qint64(std::llround(seconds * 1000));
}

std::vector<qint64> intervalFrames(const FrameAtTime& frameAt, qint64 fromMs, qint64 toMs,
                                   qint64 intervalMs) {
    std::vector<qint64> frames;
    if (intervalMs <= 0)
        return frames;
    for (qint64 ms = fromMs; ms <= std::max(fromMs, toMs); ms += intervalMs) {
        const std::optional<qint64> frame = frameAt(ms);
        if (!frame)
            break; // past what is known of the video
        if (frames.empty() || *frame > frames.back())
            frames.push_back(*frame);
    }
    return frames;
}

std::vector<qint64> evenlySpreadFrames(qint64 first, qint64 last, int count) {
    std::vector<qint64> frames;
    const qint64 span = last - first + 1;
    if (span <= 0 || count <= 0)
        return frames;
    if (span <= count) {
        for (qint64 n = first; n <= last; ++n)
            frames.push_back(n);
        return frames;
    }
    // Parts at least a frame long: the middles are all different frames.
    for (int i = 0; i < count; ++i)
        frames.push_back(first + (2 * i + 1) * span / (2 * qint64(count)));
    return frames;
}

std::vector<qint64> thinOut(const std::vector<qint64>& frames, int count) {
    if (count <= 0)
        return {};
    if (int(frames.size()) <= count)
        return frames;
    std::vector<qint64> picked;
    for (const qint64 place : evenlySpreadFrames(0, qint64(frames.size()) - 1, count))
        picked.push_back(frames[std::size_t(place)]);
    return picked;
}
