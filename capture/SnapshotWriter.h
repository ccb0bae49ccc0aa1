#pragma once

#include <QImage>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <deque>
#include <map>
#include <set>

#include "capture/SnapshotDeflate.h"
#include "capture/SnapshotEncoder.h"
#include "capture/SnapshotNumbering.h"
#include "capture/SnapshotOrigin.h"
#include "playback/media/VideoFrame.h"

// One captured frame to be written: a frame of video, made into an image on the writer's
// thread, or an image as it is. An image must own its pixels or stay untouched until the
// snapshot is reported (the usual rule for a QImage over a foreign buffer); it is only
// read, never copied.
struct SnapshotRequest {
    QImage image;
    QString folder; // created, with every missing level above it, when missing
    QString prefix;
    bool jpeg = false;
    QSize size = {}; // when valid and not the image's, the image is written scaled to it
    SnapshotOrigin origin = {};
    // One of a long run written as fast as the machine goes (Export Frames) rather than
    // along with playback: the usual PNG level whatever waits, standard JPEG Huffman tables.
    bool batch = false;
    // A frame is written as the video's own signal, 16 bits a channel (an HDR still).
    bool keepSignal = false;
    VideoFrame frame = {};
};

// The request for a frame of video (a file name), at the size it is meant to be seen at,
// with the frame's time and number as its origin.
[[nodiscard]] SnapshotRequest snapshotRequestFor(VideoFrame frame, const QString& video,
                                                 const QString& folder, const QString& prefix,
                                                 bool jpeg);

// Names, encodes and writes snapshots on worker threads of its own. Files are named
// prefix + the next free number (00001 on) + ".png"/".jpg", numbered in the order of
// submission even though several are encoded at once, and appear under their final name
// only when complete. Every submission ends in exactly one written() or failed(), delivered
// on the writer's own thread in the order of submission (a result that is ready early
// waits for those before it). submit() may be called from any thread.
class SnapshotWriter : public QObject {
    Q_OBJECT
public:
    explicit SnapshotWriter(int threads = 0 /*0 = number of cores*/, QObject* parent = nullptr);
    // Waits for pending snapshots up to shutdownWait(), then drops those not started yet and
    // lets the running ones (at most one per thread) finish. Their signals are not delivered.
    ~SnapshotWriter() override;

    // Returns at once: no file-system access on the calling thread.
    void submit(SnapshotRequest request);
    // Submitted snapshots whose written() or failed() has not been emitted yet. Nothing is
    // dropped here: a caller producing frames faster than they encode (continuous PNG capture
    // of detailed footage) should skip frames while this is above a few per thread, since
    // every queued frame holds its image in memory.
    [[nodiscard]] int pending() const;
    // Waits for every submitted snapshot to be written or to fail. Called on the writer's
    // thread, it also emits the outstanding signals before returning. False on timeout.
    bool waitForDone(int msecs = -1);

    // Snapshots submitted so far and not started yet are not written: each ends in failed()
    // with an empty reason. After a full disk, the rest of a backlog goes with one message
    // rather than one failure each.
    void dropQueued();

    [[nodiscard]] int shutdownWait() const { return shutdownWait_; }
    void setShutdownWait(int msecs) { shutdownWait_ = msecs; }

Q_SIGNALS:
    void written(const QString& path);
    void failed(const QString& reason);

private:
    struct Naming {
        quint64 ticket = 0;
        QString folder;
        QString prefix;
        bool jpeg = false;
    };

    void write(quint64 ticket, const SnapshotRequest& request);
    void tidyOnce(const QString& folder);
    [[nodiscard]] int takeNumber(quint64 ticket);
    [[nodiscard]] int renumber(const SnapshotRequest& request, int taken);
    void report(quint64 ticket, const QString& path, const QString& reason);
    void deliver(quint64 ticket, const QString& path, const QString& reason);

    QMutex mutex_;
    // Guarded by mutex_: numbers are handed out strictly in ticket order, whichever worker
    // asks first, so the files follow the order of the frames.
    quint64 nextTicket_ = 0;
    std::deque<Naming> unnamed_;
    std::map<quint64, int> named_;
    SnapshotNumbering numbering_;
    std::set<QString> tidiedFolders_; // folders whose leftovers were looked for

    // On the writer's thread only: results waiting for the ones submitted before them.
    struct Result {
        QString path;
        QString reason;
    };
    std::map<quint64, Result> results_;
    quint64 nextReport_ = 0;

    std::atomic<int> pending_{0};
    std::atomic<quint64> dropBefore_{0}; // tickets below it are dropped, not written
    int shutdownWait_ = 3000;
    const SnapshotDeflate deflate_;
    QThreadPool pool_; // last, so that it is gone before anything its jobs use
};
