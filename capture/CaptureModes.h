#pragma once

// The capture modes and the rules that start and end them: continuous capture (a
// snapshot on every playback tick while the video plays) and timed capture (one at once,
// then one per interval). Both can run at once (the Edit menu turns either on). The
// window asks it what to do and applies the answers to its timers and buttons.
class CaptureModes {
public:
    static constexpr int kShortestInterval = 1000;
    static constexpr int kLongestInterval = 60000;

    [[nodiscard]] bool continuous() const { return continuous_; }
    [[nodiscard]] bool timed() const { return timed_; }
    [[nodiscard]] bool any() const { return continuous_ || timed_; }
    // Whether the interval timer of timed capture runs: while the video plays, so that a
    // paused video does not give the same picture again and again.
    [[nodiscard]] bool timerRunning() const { return timed_ && playing_; }
    [[nodiscard]] int interval() const { return interval_; }

    void toggleContinuous() { continuous_ = !continuous_; }
    void endContinuous() { continuous_ = false; }
    // Config.cfg may hold any 32-bit number; the timer gets the range the dialog allows.
    void startTimed(int intervalMs);
    void endTimed() { timed_ = false; }
    void playingChanged(bool playing) { playing_ = playing; }
    void endAll() { continuous_ = timed_ = false; }

    // A playback tick takes a snapshot.
    [[nodiscard]] bool snapshotOnTick(bool playing) const { return continuous_ && playing; }
    // The video is over for capture: its time reached a known length. A length of 0 is
    // not known (a stream without an index), which is no end: capture runs until Stop,
    // the real end or the media going away.
    [[nodiscard]] static bool videoEnded(int timeSeconds, int lengthSeconds) {
        return lengthSeconds > 0 && timeSeconds >= lengthSeconds;
    }

private:
    bool continuous_ = false;
    bool timed_ = false;
    bool playing_ = false;
    int interval_ = kShortestInterval;
};
