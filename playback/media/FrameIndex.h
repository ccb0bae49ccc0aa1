#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

// Which frame of a video a timestamp is: every frame's presentation timestamp in order,
// read from the file's packets as they are demuxed (no decoding), so that a frame's
// number is its place among the frames (a variable frame rate numbers right) and its time
// is its own start, counted from the first frame. Packets come in decoding order; frames
// are put back in presentation order within a window as deep as any codec reorders.
// Where the timestamps stop making sense (they go back or repeat: two streams joined, a
// broken file), the index ends: frames after it have no number and no time rather than
// a wrong one. Packets without a timestamp before the first that has one (Matroska's
// negative timestamps read so) are frames all the same: they are counted, and placed
// before that first one a frame's length apart.
// One thread adds (the reader of the packets); any thread asks, and may wait for the
// packets to be read that far.
class FrameIndex {
public:
    // timeBase: seconds per timestamp unit (set before the first packet).
    explicit FrameIndex(double timeBase = 1.0 / 90000);
    void setTimeBase(double timeBase);

    // A packet's timestamp (presentation, or decoding where it has none), in decoding
    // order; a packet without any ends the index, but at the start it is a frame counted.
    // pos: the packet's byte position in the file (-1 unknown), which tells where frames
    // with timestamps that went back begin. decoding: the timestamp is a decoding time.
    void add(std::optional<qint64> timestamp, qint64 pos = -1, bool decoding = false);
    // Every packet was read (or reading stopped: then what was added holds). truncated: the
    // file ended in the middle of what its container promised (an interrupted download).
    void finish(bool truncated = false);

    // The number of the frame with this presentation timestamp; empty when there is none
    // (or it lies where the index ended). Waits up to waitMs for the packets to be read
    // that far.
    [[nodiscard]] std::optional<qint64> numberOf(qint64 pts, int waitMs = 0) const;
    // The presentation timestamp of frame n, once read that far (waits up to waitMs).
    [[nodiscard]] std::optional<qint64> ptsOf(qint64 n, int waitMs = 0) const;
    // Milliseconds from the first frame to the one with this timestamp.
    [[nodiscard]] qint64 millisecondsOf(qint64 pts) const;
    // The number of the last frame that starts at or before ms; empty before the first,
    // or where nothing is known.
    [[nodiscard]] std::optional<qint64> numberAt(qint64 ms, int waitMs = 0) const;
    // The first frame's timestamp in milliseconds, as the file counts (0 while unknown).
    [[nodiscard]] qint64 firstMs() const;
    // Frames numbered so far; the count of the whole video once complete.
    [[nodiscard]] qint64 count() const;
    // How many frames at the start had no timestamp of their own (a reader counts them
    // from the start: no demuxer seeks to them).
    [[nodiscard]] qint64 leadingCount() const;
    // Where the timestamps went back (two streams joined): the byte position of the first
    // packet past the index. A frame from there on may repeat the timestamp of one before
    // it, and is none of the index's.
    [[nodiscard]] std::optional<qint64> endPosition() const;
    // Whether any packet had a presentation time (AVI's have only decoding times).
    [[nodiscard]] bool hasPresentationTimes() const;
    [[nodiscard]] bool isComplete() const;
    [[nodiscard]] bool isTruncated() const;

private:
    // Frames come out of the reorder window when it holds more than this.
    static constexpr std::size_t kReorderDepth = 16;
    // With the lock held; next: the frame after it, where known (the spacing of the frames
    // counted before the first timestamp).
    void append(qint64 pts, std::optional<qint64> next);
    // A frame's length where no timestamps tell it: 40 ms, in timestamp units.
    [[nodiscard]] qint64 defaultSpacing() const;
    [[nodiscard]] bool covers(qint64 pts) const;

    double timeBase_;
    mutable std::mutex mutex_;
    mutable std::condition_variable grown_;
    std::vector<qint64> window_; // read, not yet in order
    std::vector<qint64> frames_; // in presentation order
    bool complete_ = false;
    bool truncated_ = false;
    bool ended_ = false;     // the timestamps stopped making sense
    bool timed_ = false;     // a packet with a timestamp came
    bool presented_ = false; // ... with a presentation time
    qint64 leading_ = 0;     // packets without one before it
    std::optional<qint64> endPosition_;
};
