#pragma once

#include "playback/media/MediaProbe.h"
#include "playback/media/VideoFrame.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <future>
#include <memory>
#include <thread>
#include <vector>

class FrameIndex;

// What we know of the open file beyond what a player tells, from our own demuxer and
// decoder: its facts (colours, HDR levels), its frame index, and exact frames. Which frame
// a picture on screen is (libVLC 3 does not say): the decoded frame with the same
// pixels, searched near where the player says it is, or from the frame identified before
// it; the frames before and after one. Everything is read and decoded on threads of its
// own; answers come as signals, on the thread that owns the service, in the order asked.
// A request for another file makes the older answers stale, which their ids tell.
class MediaService : public QObject {
    Q_OBJECT
public:
    explicit MediaService(QObject* parent = nullptr);
    ~MediaService() override;

    // The file frames are asked of from now on; its facts and index are read at once.
    void open(const QString& path);
    void close();
    [[nodiscard]] const QString& path() const { return path_; }
    // Empty before the first open.
    [[nodiscard]] std::shared_future<MediaFacts> facts() const { return facts_; }
    [[nodiscard]] std::shared_ptr<const FrameIndex> index() const { return index_; }

    // Which frame `shown` is: a picture of the open file shown about approxMs in (libVLC's
    // clock, which runs tens of milliseconds ahead), and not before frame `notBefore` (-1
    // when it need not follow another; 0 or more: it comes after the picture asked about
    // before it in the same run, identified or still waiting, and after this frame).
    // Answered by identified(); number -1 when it cannot be told (pixels found nowhere
    // near, a file our decoder cannot read, or frames without timestamps).
    void identify(quint64 id, const VideoFrame& shown, qint64 approxMs, qint64 notBefore);
    // The frame direction frames (1 or -1) from frame number `from`; answered by stepped()
    // with a null frame where there is none (before the first, after the last).
    void step(quint64 id, qint64 from, int direction);

Q_SIGNALS:
    void identified(quint64 id, qint64 number, qint64 timeMs);
    void stepped(quint64 id, const VideoFrame& frame);

private:
    class Worker;
    // A file being read (facts, then index) on a thread of its own. Told to stop, it ends
    // at its next read; it is joined once it has, never waited for on this thread.
    struct Reading {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> stop = std::make_shared<std::atomic<bool>>(false);
        std::shared_ptr<std::atomic<bool>> done = std::make_shared<std::atomic<bool>>(false);
    };
    void retireReading();

    QString path_;
    std::shared_future<MediaFacts> facts_;
    std::shared_ptr<FrameIndex> index_;
    std::vector<Reading> readings_; // the current one last
    QThread thread_;
    Worker* worker_ = nullptr;
};
