#include "capture/CaptureService.h"

#include "capture/SnapshotWriter.h"
#include "platform/MemorySize.h"
#include "playback/MediaEngine.h"
#include "playback/media/MediaService.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <algorithm>
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

CaptureService::CaptureService(MediaEngine& engine, MediaService& media, QObject* parent)
    : QObject(parent), engine_(engine), media_(media), throttle_(backlogBudget()) {
    clock_.start();
    writer_ = new SnapshotWriter(0, this);
    connect(writer_, &SnapshotWriter::written, this,
            [this](const QString& path) { ended(true, path); });
    connect(writer_, &SnapshotWriter::failed, this,
            [this](const QString& reason) { ended(false, reason); });
    connect(&engine_, &MediaEngine::frameChanged, this, &CaptureService::frameChanged);
    connect(&media_, &MediaService::identified, this, &CaptureService::identified);
}

CaptureService::~CaptureService() {
    // The writer finishes what it can in its own bounded wait; nobody is told any more.
    disconnect(writer_, nullptr, this, nullptr);
}

void CaptureService::setTarget(SnapshotTarget target) {
    target_ = std::move(target);
    takeNextFrame_ = false;
    throttle_.forgetFrames();
    lastSerial_ = 0;
    lastNumber_ = -1;
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
    Taken taken{frame, 0, target_};
    if (frame.frameNumber < 0) {
        // A picture of a run (continuous capture) comes after the one found before it, or
        // after the one still being looked for (answers come later than the next picture).
        const bool waiting = std::any_of(taken_.cbegin(), taken_.cend(),
                                         [](const Taken& t) { return t.request != 0; });
        const bool sameRun = (lastNumber_ >= 0 || waiting) && frame.serial > lastSerial_;
        taken.request = ++nextRequest_;
        media_.identify(taken.request, frame, frame.approxMs, sameRun ? lastNumber_ + 1 : -1);
    }
    taken_.push_back(std::move(taken));
    submitIdentified();
}

void CaptureService::identified(quint64 request, qint64 number, qint64 timeMs) {
    for (Taken& taken : taken_) {
        if (taken.request != request)
            continue;
        taken.request = 0;
        // Unknown stays unknown: no number and no time rather than a wrong one.
        taken.frame.frameNumber = number;
        taken.frame.timeMs = number >= 0 ? timeMs : -1;
        if (number >= 0) {
            lastSerial_ = taken.frame.serial;
            lastNumber_ = number;
        }
        break;
    }
    submitIdentified();
}

// In the order taken, so that files are numbered in the order of the frames.
void CaptureService::submitIdentified() {
    while (!taken_.empty() && taken_.front().request == 0) {
        const VideoFrame frame = std::move(taken_.front().frame);
        const SnapshotTarget target = std::move(taken_.front().target);
        taken_.pop_front();
        if (frame.frameNumber >= 0) {
            lastSerial_ = std::max(lastSerial_, frame.serial);
            lastNumber_ = std::max(lastNumber_, frame.frameNumber);
        }
        writer_->submit(
            snapshotRequestFor(frame, target.video, target.folder, target.prefix, target.jpeg));
    }
}

bool CaptureService::waitForDone(int msecs) {
    // Frames still being identified are handed to the writer as their answers come.
    QDeadlineTimer deadline(msecs < 0 ? QDeadlineTimer::Forever : QDeadlineTimer(msecs));
    while (!taken_.empty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const int left = msecs < 0 ? -1 : int(std::max<qint64>(0, deadline.remainingTime()));
    return taken_.empty() && writer_->waitForDone(left);
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

void CaptureService::dropWaiting() {
    writer_->dropQueued();
}
