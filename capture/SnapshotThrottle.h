#pragma once

#include <QtGlobal>

// Decides whether a snapshot request writes a new image or is folded into work already
// done, so that requests every few milliseconds never pile up encoding jobs:
// - while playing, a frame is written once (the next frame comes within one frame
//   period), and again only once it has stayed on screen for kStillFrameRewriteMs: a
//   still scene decodes to identical pictures that count as one frame, yet a timed or
//   single snapshot of it must still write an image;
// - while paused, every request writes the frame again, unless a write of that same
//   frame has not finished yet;
// - at most maxOutstanding writes are in progress at any time.
class SnapshotThrottle {
public:
    enum class Decision { Write, Coalesce };

    // Longer than a frame of any normal video, shorter than the shortest timed interval.
    static constexpr qint64 kStillFrameRewriteMs = 500;

    explicit SnapshotThrottle(int maxOutstanding) : maxOutstanding_(maxOutstanding) {}

    // frame: number of the frame that would be written; nowMs: a monotonic clock. A Write
    // is counted as begun.
    [[nodiscard]] Decision request(quint64 frame, bool paused, qint64 nowMs);
    // A write has ended, successfully or not.
    void finished();
    // Frame numbers start again (another item); writes in progress still count.
    void forgetFrames();

    [[nodiscard]] int outstanding() const { return outstanding_; }

private:
    int maxOutstanding_;
    int outstanding_ = 0;
    bool hasLastFrame_ = false;
    quint64 lastFrame_ = 0;
    qint64 lastWriteMs_ = 0;
    // Writes of lastFrame_ not yet ended, assuming writes end in the order they began.
    int outstandingOfLast_ = 0;
};
