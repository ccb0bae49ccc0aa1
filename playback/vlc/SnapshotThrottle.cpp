#include "playback/vlc/SnapshotThrottle.h"

#include <algorithm>

SnapshotThrottle::Decision SnapshotThrottle::request(quint64 frame, bool paused) {
    if (outstanding_ >= maxOutstanding_)
        return Decision::Coalesce;
    const bool sameFrame = hasLastFrame_ && frame == lastFrame_;
    if (sameFrame && (!paused || outstandingOfLast_ > 0))
        return Decision::Coalesce;
    outstandingOfLast_ = sameFrame ? outstandingOfLast_ + 1 : 1;
    hasLastFrame_ = true;
    lastFrame_ = frame;
    ++outstanding_;
    return Decision::Write;
}

void SnapshotThrottle::finished() {
    outstanding_ = std::max(0, outstanding_ - 1);
    outstandingOfLast_ = std::min(outstandingOfLast_, outstanding_);
}

void SnapshotThrottle::forgetFrames() {
    hasLastFrame_ = false;
    outstandingOfLast_ = 0;
}
