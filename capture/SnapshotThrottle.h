#pragma once

#include <QtGlobal>

#include <deque>

// Decides whether a snapshot request writes a new image, is folded into work already
// done, or must be skipped, so that requests every few milliseconds never pile up more
// than the memory budget allows:
// - while playing, a frame is written once (the next frame comes within one frame
//   period), and again only once it has stayed on screen for kStillFrameRewriteMs: a
//   still scene decodes to identical pictures that count as one frame, yet a timed or
//   single snapshot of it must still write an image;
// - while paused, every request writes the frame again, unless a write of that same
//   frame has not finished yet;
// - frames waiting to be written hold at most budgetBytes of pictures (one is always let
//   through); a new frame past the budget is skipped, and counted, unless a later request
//   still finds room for it.
class SnapshotThrottle {
public:
    enum class Decision { Write, Coalesce, Skip };

    // Longer than a frame of any normal video, shorter than the shortest timed interval.
    static constexpr qint64 kStillFrameRewriteMs = 500;

    explicit SnapshotThrottle(qint64 budgetBytes) : budgetBytes_(budgetBytes) {}

    // frame: number of the frame that would be written; nowMs: a monotonic clock; bytes:
    // the memory its picture holds. A Write is counted as begun.
    [[nodiscard]] Decision request(quint64 frame, bool paused, qint64 nowMs, qint64 bytes);
    // The oldest write has ended, successfully or not (writes end in the order they began).
    void finished();
    // Frame numbers start again (another item); writes in progress still count.
    void forgetFrames();

    [[nodiscard]] int outstanding() const { return int(outstandingBytes_.size()); }
    // Frames skipped for want of memory since the count was last reset.
    [[nodiscard]] int skipped() const { return skipped_; }
    void resetSkipped() { skipped_ = 0; }

private:
    qint64 budgetBytes_;
    qint64 bytesHeld_ = 0;
    std::deque<qint64> outstandingBytes_;
    bool hasLastFrame_ = false;
    quint64 lastFrame_ = 0;
    qint64 lastWriteMs_ = 0;
    // Writes of lastFrame_ not yet ended, assuming writes end in the order they began.
    int outstandingOfLast_ = 0;
    int skipped_ = 0;
    bool hasSkippedFrame_ = false;
    quint64 skippedFrame_ = 0; // the last frame counted as skipped
};
