#include "playback/media/FrameIndex.h"

#include <algorithm>
#include <chrono>
#include <cmath>

FrameIndex::FrameIndex(double timeBase) : timeBase_(timeBase > 0 ? timeBase : 1.0 / 90000) {}

void FrameIndex::setTimeBase(double timeBase) {
    const std::lock_guard lock(mutex_);
    if (timeBase > 0)
        timeBase_ = timeBase;
}

void FrameIndex::add(std::optional<qint64> timestamp, qint64 pos, bool decoding) {
    {
        const std::lock_guard lock(mutex_);
        if (ended_ || complete_)
            return;
        presented_ = presented_ || (timestamp && !decoding);
        if (timestamp && !frames_.empty() && *timestamp <= frames_.back()) {
            // Behind a frame already in order, which no reordering explains: the timestamps
            // started again. What is read before it is in order.
            std::sort(window_.begin(), window_.end());
            for (std::size_t i = 0; i < window_.size() && !ended_; ++i)
                append(window_[i], std::nullopt);
            window_.clear();
            ended_ = true;
            if (pos >= 0)
                endPosition_ = pos;
        } else if (!timestamp) {
            if (timed_)
                ended_ = true;
            else
                ++leading_;
        } else {
            timed_ = true;
            window_.push_back(*timestamp);
            if (window_.size() > kReorderDepth) {
                const auto first = std::min_element(window_.begin(), window_.end());
                const qint64 pts = *first;
                window_.erase(first);
                append(pts, *std::min_element(window_.begin(), window_.end()));
            }
        }
    }
    grown_.notify_all();
}

qint64 FrameIndex::defaultSpacing() const {
    return std::max<qint64>(1, std::llround(0.04 / timeBase_));
}

void FrameIndex::append(qint64 pts, std::optional<qint64> next) {
    if (frames_.empty() && leading_ > 0) {
        // A frame's length: to the next frame, or 40 ms.
        const qint64 spacing = next ? std::max<qint64>(1, *next - pts) : defaultSpacing();
        for (qint64 i = leading_; i > 0; --i)
            frames_.push_back(pts - i * spacing);
    }
    // Later than every frame so far, or the timestamps went wrong here.
    if (!frames_.empty() && pts <= frames_.back()) {
        ended_ = true;
        return;
    }
    frames_.push_back(pts);
}

void FrameIndex::finish(bool truncated) {
    {
        const std::lock_guard lock(mutex_);
        truncated_ = truncated;
        std::sort(window_.begin(), window_.end());
        for (std::size_t i = 0; i < window_.size() && !ended_; ++i)
            append(window_[i],
                   i + 1 < window_.size() ? std::optional(window_[i + 1]) : std::nullopt);
        // No timestamps at all: frames counted, 40 ms apart.
        for (qint64 i = 0; !timed_ && i < leading_; ++i)
            frames_.push_back(i * defaultSpacing());
        window_.clear();
        complete_ = true;
    }
    grown_.notify_all();
}

bool FrameIndex::covers(qint64 pts) const {
    // A frame's place is settled once a later one has come out of the window in order.
    return complete_ || ended_ || (!frames_.empty() && frames_.back() >= pts);
}

std::optional<qint64> FrameIndex::numberOf(qint64 pts, int waitMs) const {
    std::unique_lock lock(mutex_);
    grown_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return covers(pts); });
    const auto it = std::lower_bound(frames_.begin(), frames_.end(), pts);
    if (it == frames_.end() || *it != pts)
        return std::nullopt;
    return qint64(it - frames_.begin());
}

std::optional<qint64> FrameIndex::ptsOf(qint64 n, int waitMs) const {
    std::unique_lock lock(mutex_);
    grown_.wait_for(lock, std::chrono::milliseconds(waitMs),
                    [&] { return complete_ || ended_ || qint64(frames_.size()) > n; });
    if (n < 0 || n >= qint64(frames_.size()))
        return std::nullopt;
    return frames_[size_t(n)];
}

qint64 FrameIndex::millisecondsOf(qint64 pts) const {
    const std::lock_guard lock(mutex_);
    if (frames_.empty())
        return -1;
    return qint64(std::llround(double(pts - frames_.front()) * timeBase_ * 1000.0));
}

std::optional<qint64> FrameIndex::numberAt(qint64 ms, int waitMs) const {
    std::unique_lock lock(mutex_);
    grown_.wait_for(lock, std::chrono::milliseconds(waitMs),
                    [&] { return complete_ || ended_ || !frames_.empty(); });
    if (frames_.empty())
        return std::nullopt;
    const qint64 target = frames_.front() + qint64(std::llround(double(ms) / 1000.0 / timeBase_));
    grown_.wait_for(lock, std::chrono::milliseconds(waitMs), [&] { return covers(target); });
    // Past where the timestamps went wrong, nothing is known.
    if (ended_ && target > frames_.back())
        return std::nullopt;
    const auto it = std::upper_bound(frames_.begin(), frames_.end(), target);
    if (it == frames_.begin())
        return std::nullopt;
    return qint64(it - frames_.begin()) - 1;
}

qint64 FrameIndex::firstMs() const {
    const std::lock_guard lock(mutex_);
    return frames_.empty() ? 0 : qint64(std::llround(double(frames_.front()) * timeBase_ * 1000.0));
}

qint64 FrameIndex::count() const {
    const std::lock_guard lock(mutex_);
    return qint64(frames_.size());
}

qint64 FrameIndex::leadingCount() const {
    const std::lock_guard lock(mutex_);
    return frames_.empty() ? 0 : leading_;
}

std::optional<qint64> FrameIndex::endPosition() const {
    const std::lock_guard lock(mutex_);
    return endPosition_;
}

bool FrameIndex::hasPresentationTimes() const {
    const std::lock_guard lock(mutex_);
    return presented_;
}

bool FrameIndex::isComplete() const {
    const std::lock_guard lock(mutex_);
    return complete_;
}

bool FrameIndex::isTruncated() const {
    const std::lock_guard lock(mutex_);
    return truncated_;
}
