#include "playback/media/MediaService.h"

#include "playback/media/FrameIndex.h"
#include "playback/media/FrameReader.h"

#include <cmath>
#include <limits>

namespace {
// How far from the player's idea of the time the picture on screen may lie.
constexpr qint64 kSearchMs = 1500;
// Frames looked at after the one identified before, before searching by time instead.
constexpr qint64 kSearchFrames = 120;
// How long the facts may take to read (a file on a stalled network share).
constexpr int kProbeTimeoutMs = 5000;
constexpr int kGrid = 24;
// Pictures of one frame match to rounding (libVLC may have scaled its own); mean luma
// difference on the grid.
constexpr double kSamePicture = 2.0;

// How unlike two pictures are: the mean difference of their luma on a grid over the whole
// picture, whatever the sizes.
double difference(const VideoFrame& a, const VideoFrame& b) {
    if (a.isNull() || b.isNull())
        return std::numeric_limits<double>::max();
    double sum = 0;
    for (int gy = 0; gy < kGrid; ++gy) {
        for (int gx = 0; gx < kGrid; ++gx) {
            const double x = (2 * gx + 1) / (2.0 * kGrid);
            const double y = (2 * gy + 1) / (2.0 * kGrid);
            sum += std::abs(a.lumaAt(x, y) - b.lumaAt(x, y));
        }
    }
    return sum / (kGrid * kGrid);
}
} // namespace

class MediaService::Worker : public QObject {
    Q_OBJECT
public:
    void open(const QString& path, const std::shared_ptr<const FrameIndex>& index) {
        path_ = path;
        index_ = index;
        reader_.reset();
        returned_ = -1;
        found_ = -1;
        clockOffsetMs_ = 0;
    }

    void identify(quint64 id, const VideoFrame& shown, qint64 approxMs, qint64 notBefore) {
        if (!ready()) {
            Q_EMIT identified(id, -1, -1);
            return;
        }
        const FrameIndex& index = reader_->index();
        // After the frame identified before it: the next ones, in order (the frames found
        // meanwhile are behind it too). Otherwise around the player's time, as it counts.
        qint64 from = std::max(notBefore, found_ + 1);
        if (from == 0)
            notBefore = -1; // nothing before it was found: there is no run to follow
        qint64 to = from + kSearchFrames;
        const qint64 centre = approxMs + clockOffsetMs_;
        if (notBefore < 0) {
            from = index.numberAt(centre - kSearchMs).value_or(0);
            to = index.numberAt(centre + kSearchMs).value_or(from + kSearchFrames);
        }
        double best = std::numeric_limits<double>::max();
        qint64 bestNumber = -1;
        qint64 bestTime = -1;
        for (std::optional<VideoFrame> frame = frameAt(from); frame && frame->frameNumber <= to;
             frame = nextFrame()) {
            const double d = difference(shown, *frame);
            // Alike pictures (a still scene) go to the frame nearest the player's time.
            const bool nearer =
                bestNumber < 0 || std::abs(frame->timeMs - centre) < std::abs(bestTime - centre);
            if (d < best || (d == best && nearer)) {
                best = d;
                bestNumber = frame->frameNumber;
                bestTime = frame->timeMs;
            }
            // In a run of pictures the first match is the one: an exact one, or the best
            // close one (a picture libVLC scaled) once the next two are further off.
            if (notBefore >= 0 &&
                (d == 0 || (best < kSamePicture && frame->frameNumber >= bestNumber + 2)))
                break;
            // By the time: past the player's time, an exact match is not bettered.
            if (notBefore < 0 && best == 0 && frame->timeMs >= centre)
                break;
        }
        if (best >= kSamePicture && notBefore >= 0) {
            // Not found in order (a jump meanwhile): by the time.
            identify(id, shown, approxMs, -1);
            return;
        }
        if (best >= kSamePicture && !triedFileClock_ && index.firstMs() != 0) {
            // The player may count the file's own timestamps rather than from its first
            // frame (a file that starts at 10 s).
            triedFileClock_ = true;
            const qint64 offset = clockOffsetMs_;
            clockOffsetMs_ = -index.firstMs();
            identify(id, shown, approxMs, -1);
            if (found_ < 0)
                clockOffsetMs_ = offset;
            return;
        }
        triedFileClock_ = false;
        if (best >= kSamePicture) {
            Q_EMIT identified(id, -1, -1);
            return;
        }
        found_ = bestNumber;
        // Only a frame found by the time says how the player's clock runs: in a run of
        // pictures the clock may already say where a jump goes while the pictures before
        // it still come.
        if (notBefore < 0)
            clockOffsetMs_ = bestTime - approxMs;
        Q_EMIT identified(id, bestNumber, bestTime);
    }

    void step(quint64 id, qint64 from, int direction) {
        const qint64 target = from + direction;
        std::optional<VideoFrame> frame;
        if (ready() && target >= 0)
            frame = frameAt(target);
        if (frame && frame->frameNumber != target)
            frame.reset();
        Q_EMIT stepped(id, frame ? *frame : VideoFrame());
    }

Q_SIGNALS:
    void identified(quint64 id, qint64 number, qint64 timeMs);
    void stepped(quint64 id, const VideoFrame& frame);

private:
    bool ready() {
        if (!reader_ && !path_.isEmpty())
            reader_ = std::make_unique<FrameReader>(path_, index_);
        return reader_ && reader_->isOpen();
    }

    // Frame n: the next one where the reader stands just before it, else after a seek.
    std::optional<VideoFrame> frameAt(qint64 n) {
        if (returned_ < 0 || returned_ >= n || n - returned_ > kSearchFrames) {
            if (!reader_->seekToFrame(n))
                return std::nullopt;
        }
        std::optional<VideoFrame> frame = nextFrame();
        while (frame && frame->frameNumber >= 0 && frame->frameNumber < n)
            frame = nextFrame();
        return frame;
    }

    std::optional<VideoFrame> nextFrame() {
        std::optional<VideoFrame> frame = reader_->next();
        returned_ = frame ? frame->frameNumber : -1;
        return frame;
    }

    QString path_;
    std::shared_ptr<const FrameIndex> index_;
    std::unique_ptr<FrameReader> reader_;
    qint64 returned_ = -1; // the number of the frame the reader returned last
    qint64 found_ = -1;    // the frame identified last
    // Our time minus the player's, learnt from frames found by the time: its clock runs
    // ahead of its pictures, and may count from another start.
    qint64 clockOffsetMs_ = 0;
    bool triedFileClock_ = false;
};

MediaService::MediaService(QObject* parent) : QObject(parent), worker_(new Worker) {
    qRegisterMetaType<VideoFrame>();
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &Worker::identified, this, &MediaService::identified, Qt::QueuedConnection);
    connect(worker_, &Worker::stepped, this, &MediaService::stepped, Qt::QueuedConnection);
    thread_.start();
}

MediaService::~MediaService() {
    retireReading();
    for (Reading& reading : readings_)
        reading.thread.join();
    thread_.quit();
    thread_.wait();
}

void MediaService::retireReading() {
    for (Reading& reading : readings_)
        reading.stop->store(true);
    for (auto it = readings_.begin(); it != readings_.end();) {
        if (it->done->load()) {
            it->thread.join();
            it = readings_.erase(it);
        } else {
            ++it;
        }
    }
}

void MediaService::open(const QString& path) {
    retireReading();
    path_ = path;
    index_ = std::make_shared<FrameIndex>();
    auto facts = std::make_shared<std::promise<MediaFacts>>();
    facts_ = facts->get_future().share();
    // One demuxer reads the facts, then every packet into the index.
    Reading reading;
    reading.thread =
        std::thread([path, facts, index = index_, stop = reading.stop, done = reading.done] {
            readMedia(
                path, kProbeTimeoutMs, [stop] { return stop->load(); },
                [facts](const MediaFacts& f) { facts->set_value(f); }, index);
            done->store(true);
        });
    readings_.push_back(std::move(reading));
    QMetaObject::invokeMethod(
        worker_, [w = worker_, path, index = std::shared_ptr<const FrameIndex>(index_)] {
            w->open(path, index);
        });
}

void MediaService::close() {
    retireReading();
    path_.clear();
    facts_ = {};
    index_.reset();
    QMetaObject::invokeMethod(worker_, [w = worker_] { w->open({}, nullptr); });
}

void MediaService::identify(quint64 id, const VideoFrame& shown, qint64 approxMs,
                            qint64 notBefore) {
    QMetaObject::invokeMethod(worker_, [w = worker_, id, shown, approxMs, notBefore] {
        w->identify(id, shown, approxMs, notBefore);
    });
}

void MediaService::step(quint64 id, qint64 from, int direction) {
    QMetaObject::invokeMethod(worker_,
                              [w = worker_, id, from, direction] { w->step(id, from, direction); });
}

#include "MediaService.moc"
