#include "capture/SnapshotThrottle.h"

#include <algorithm>

SnapshotThrottle::Decision SnapshotThrottle::request(quint64 frame, bool paused, qint64 nowMs) {
    if (outstanding_ >= maxOutstanding_)
        return Decision::Coalesce;
    const bool sameFrame = hasLastFrame_ && frame == lastFrame_;
    const bool writtenJustNow = nowMs - lastWriteMs_ < kStillFrameRewriteMs;
    if (sameFrame && (outstandingOfLast_ > 0 || (!paused && writtenJustNow)))
        return Decision::Coalesce;
    outstandingOfLast_ = sameFrame ? outstandingOfLast_ + 1 : 1;
    hasLastFrame_ = true;
    lastFrame_ = frame;
    lastWriteMs_ = nowMs;
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
