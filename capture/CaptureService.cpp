#include "capture/CaptureService.h"

#include "capture/SnapshotWriter.h"
#include "platform/MemorySize.h"
#include "playback/MediaEngine.h"

#include <utility>

// The memory frames waiting to be written may hold: a quarter of the machine's, at most
// 4 GiB. Frames wait as the decoder made them (a 1080p 4:2:0 frame is 3 MB, 4K 12 MB; 10
// bits twice that): over a minute of 1080p or 20 s of 4K with none written meanwhile, so
// a short overload loses nothing; past it frames are skipped.
static qint64 backlogBudget() {
    constexpr qint64 kMostBytes = 4LL << 30;
    constexpr qint64 kWithoutKnownMemory = 1LL << 30;
    const qint64 memory = physicalMemoryBytes();
    return memory > 0 ? std::min(kMostBytes, memory / 4) : kWithoutKnownMemory;
}

CaptureService::CaptureService(MediaEngine& engine, QObject* parent)
    : QObject(parent), engine_(engine), throttle_(backlogBudget()) {
    clock_.start();
    writer_ = new SnapshotWriter(0, this);
    connect(writer_, &SnapshotWriter::written, this,
            [this](const QString& path) { ended(true, path); });
    connect(writer_, &SnapshotWriter::failed, this,
            [this](const QString& reason) { ended(false, reason); });
    connect(&engine_, &MediaEngine::frameChanged, this, &CaptureService::frameChanged);
}

CaptureService::~CaptureService() {
    // The writer finishes what it can in its own bounded wait; nobody is told any more.
    disconnect(writer_, nullptr, this, nullptr);
}

void CaptureService::setTarget(SnapshotTarget target) {
    target_ = std::move(target);
    takeNextFrame_ = false;
    throttle_.forgetFrames();
}

bool CaptureService::snapshot() {
    if (engine_.Position() < 0)
        return false;
    const VideoFrame frame = engine_.currentFrame();
    if (frame.isNull()) {
        // Asked for right after opening, before the first picture: taken with it, rather
        // than refused with an error the user could not make sense of.
        takeNextFrame_ = true;
        return true;
    }
    take(frame);
    return true;
}

void CaptureService::frameChanged() {
    if (!takeNextFrame_)
        return;
    const VideoFrame frame = engine_.currentFrame();
    if (!frame.isNull())
        take(frame);
    // Taken, or the video went away before it showed a picture (another was opened).
    if (!frame.isNull() || engine_.Position() < 0)
        takeNextFrame_ = false;
}

void CaptureService::take(const VideoFrame& frame) {
    const bool paused = !engine_.Playing();
    if (throttle_.request(frame.serial, paused, clock_.elapsed(), frame.byteSize()) !=
        SnapshotThrottle::Decision::Write)
        return;
    previews_.push_back(target_.preview ? frame : VideoFrame());
    writer_->submit(
        snapshotRequestFor(frame, target_.video, target_.folder, target_.prefix, target_.jpeg));
}

bool CaptureService::waitForDone(int msecs) {
    return writer_->waitForDone(msecs);
}

void CaptureService::ended(bool written, const QString& text) {
    throttle_.finished();
    VideoFrame preview;
    if (!previews_.empty()) {
        preview = std::move(previews_.front());
        previews_.pop_front();
    }
    if (written) {
        if (!preview.isNull())
            Q_EMIT previewReady(preview);
        Q_EMIT this->written(text);
        return;
    }
    // Dropped after an earlier failure, which was reported.
    if (text.isEmpty())
        return;
    // The rest of a backlog would fail the same way (a full disk): one message, and the
    // frames waiting are dropped rather than tried one by one.
    writer_->dropQueued();
    Q_EMIT failed(text);
}
