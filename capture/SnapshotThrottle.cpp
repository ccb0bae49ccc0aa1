#include "capture/SnapshotThrottle.h"

#include <algorithm>

SnapshotThrottle::Decision SnapshotThrottle::request(quint64 frame, bool paused, qint64 nowMs,
                                                     qint64 bytes) {
    const bool sameFrame = hasLastFrame_ && frame == lastFrame_;
    const bool writtenJustNow = nowMs - lastWriteMs_ < kStillFrameRewriteMs;
    if (sameFrame && (outstandingOfLast_ > 0 || (!paused && writtenJustNow)))
        return Decision::Coalesce;
    const bool skippedBefore = hasSkippedFrame_ && skippedFrame_ == frame;
    if (!outstandingBytes_.empty() && bytesHeld_ + bytes > budgetBytes_) {
        // Counted once however often the frame is asked for while there is no room.
        if (!skippedBefore)
            ++skipped_;
        hasSkippedFrame_ = true;
        skippedFrame_ = frame;
        return Decision::Skip;
    }
    if (skippedBefore) {
        // Room came while the frame was still on screen: it was not lost after all.
        skipped_ = std::max(0, skipped_ - 1);
        hasSkippedFrame_ = false;
    }
    outstandingOfLast_ = sameFrame ? outstandingOfLast_ + 1 : 1;
    hasLastFrame_ = true;
    lastFrame_ = frame;
    lastWriteMs_ = nowMs;
    outstandingBytes_.push_back(bytes);
    bytesHeld_ += bytes;
    return Decision::Write;
}

void SnapshotThrottle::finished() {
    if (!outstandingBytes_.empty()) {
        bytesHeld_ -= outstandingBytes_.front();
        outstandingBytes_.pop_front();
    }
    outstandingOfLast_ = std::min(outstandingOfLast_, outstanding());
}

void SnapshotThrottle::forgetFrames() {
    hasLastFrame_ = false;
    hasSkippedFrame_ = false;
    outstandingOfLast_ = 0;
}
