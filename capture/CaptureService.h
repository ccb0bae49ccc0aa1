#pragma once

#include "capture/SnapshotTarget.h"
#include "capture/SnapshotThrottle.h"
#include "playback/media/VideoFrame.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QString>

#include <deque>

class MediaEngine;
class MediaService;
class SnapshotWriter;

// Snapshots of the picture on screen: takes frames from the engine, decides which to
// write (requests every few milliseconds never pile up more than a memory budget of work:
// see SnapshotThrottle), has each one's frame found exactly where the engine does not
// know it yet (the media service; in a run of pictures from the one found before), and
// has them named, encoded and written, folder included, off the user-interface thread.
// An image records the frame's number and time only when they are known exactly.
// Every accepted snapshot ends in one written() or failed(), in the order asked for.
class CaptureService : public QObject {
    Q_OBJECT
public:
    CaptureService(MediaEngine& engine, MediaService& media, QObject* parent = nullptr);
    // Waits a bounded time for snapshots still being written.
    ~CaptureService() override;

    // For the video loaded now; frame numbers start again.
    void setTarget(SnapshotTarget target);
    [[nodiscard]] const SnapshotTarget& target() const { return target_; }

    // A snapshot of the picture on screen; asked for before the first picture of a
    // video, it is taken with that picture. False when there is nothing to take: no
    // video is loaded.
    [[nodiscard]] bool snapshot();
    // Snapshots accepted and not yet written or failed.
    [[nodiscard]] int pending() const { return throttle_.outstanding(); }
    // Frames not captured because those waiting to be written filled the memory budget.
    [[nodiscard]] int skipped() const { return throttle_.skipped(); }
    void resetSkipped() { throttle_.resetSkipped(); }
    // Blocks until every accepted snapshot is written or failed; false on timeout.
    bool waitForDone(int msecs = -1);
    // Images waiting to be written are not written (those being written still are).
    void dropWaiting();

Q_SIGNALS:
    void written(const QString& path);
    void failed(const QString& reason);
    // The picture just written, for a moment's preview (when the target asks for one).
    void previewReady(const VideoFrame& frame);

private:
    // A snapshot whose frame is being identified, or waits for those before it.
    struct Taken {
        VideoFrame frame;
        quint64 request = 0; // 0: identified (or not to be) already
        // Where it goes is settled when it is taken: a new video or new options while it is
        // identified do not move it.
        SnapshotTarget target;
    };

    void frameChanged();
    void take(const VideoFrame& frame);
    void identified(quint64 request, qint64 number, qint64 timeMs);
    void submitIdentified();
    void ended(bool written, const QString& text);

    MediaEngine& engine_;
    MediaService& media_;
    std::deque<Taken> taken_;
    quint64 nextRequest_ = 0;
    // The last frame found, for the next picture of the same run.
    quint64 lastSerial_ = 0;
    qint64 lastNumber_ = -1;
    SnapshotTarget target_;
    SnapshotWriter* writer_ = nullptr;
    SnapshotThrottle throttle_;
    QElapsedTimer clock_; // for the throttle's still-frame rule
    bool takeNextFrame_ = false;
    // One entry per snapshot in progress, in the order given to the writer: the frame
    // to preview once it is written, null when no preview was asked for.
    std::deque<VideoFrame> previews_;
};
