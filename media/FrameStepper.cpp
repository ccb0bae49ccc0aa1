#include "media/FrameStepper.h"

#include "media/FrameReader.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
// How far from libVLC's idea of the time the picture on screen may lie.
constexpr qint64 kSearchMs = 1500;
constexpr int kGrid = 24;

// How unlike two pictures of one frame are: the mean difference of their luma on a grid
// over the whole picture, whatever the sizes (libVLC may have scaled its picture).
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

class FrameStepper::Worker : public QObject {
    Q_OBJECT
public:
    void open(const QString& path) {
        path_ = path;
        reader_.reset();
        current_ = {};
    }

    void request(quint64 id, const VideoFrame& shown, qint64 approxMs, int direction,
                 const VideoFrame& known) {
        if (!reader_)
            reader_ = std::make_unique<FrameReader>(path_);
        if (!reader_->isOpen()) {
            Q_EMIT found(id, {}, false);
            return;
        }
        bool exact = true;
        if (known.timeMs >= 0 && known.frameNumber >= 0) {
            if (known.timeMs != current_.timeMs)
                position(known.timeMs);
        } else {
            exact = locate(shown, approxMs);
        }
        if (direction == 0) {
            Q_EMIT found(id, current_, exact);
            return;
        }
        const std::optional<VideoFrame> next = direction > 0 ? reader_->next() : previous();
        if (!next || next->timeMs == current_.timeMs) {
            Q_EMIT found(id, {}, false);
            return;
        }
        current_ = *next;
        Q_EMIT found(id, current_, true);
    }

Q_SIGNALS:
    void found(quint64 id, const VideoFrame& frame, bool exact);

private:
    // The reader stands right after the frame at timeMs, which becomes current.
    void position(qint64 timeMs) {
        reader_->seek(timeMs);
        if (const std::optional<VideoFrame> frame = reader_->next())
            current_ = *frame;
    }

    // The decoded frame most like shown near approxMs becomes current; true when it is
    // the same picture.
    bool locate(const VideoFrame& shown, qint64 approxMs) {
        reader_->seek(std::max<qint64>(0, approxMs - kSearchMs));
        double best = std::numeric_limits<double>::max();
        qint64 bestTime = 0;
        while (const std::optional<VideoFrame> frame = reader_->next()) {
            const double d = difference(shown, *frame);
            if (d < best) {
                best = d;
                bestTime = frame->timeMs;
            }
            if (frame->timeMs > approxMs + kSearchMs || d == 0)
                break;
        }
        position(bestTime);
        // Pictures of one frame match to rounding (libVLC may have scaled its own).
        return best < 2.0;
    }

    // The frame whose start lies one frame before the current one's.
    std::optional<VideoFrame> previous() {
        const double fps = reader_->framesPerSecond();
        const qint64 step = fps > 0 ? qint64(std::ceil(1000.0 / fps)) : 1;
        if (current_.timeMs <= 0)
            return std::nullopt;
        reader_->seek(current_.timeMs - step);
        return reader_->next();
    }

    QString path_;
    std::unique_ptr<FrameReader> reader_;
    VideoFrame current_;
};

FrameStepper::FrameStepper(QObject* parent) : QObject(parent), worker_(new Worker) {
    qRegisterMetaType<VideoFrame>();
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &Worker::found, this, &FrameStepper::frameFound, Qt::QueuedConnection);
    thread_.start();
}

FrameStepper::~FrameStepper() {
    thread_.quit();
    thread_.wait();
}

void FrameStepper::open(const QString& path) {
    QMetaObject::invokeMethod(worker_, [w = worker_, path] { w->open(path); });
}

void FrameStepper::request(quint64 id, const VideoFrame& shown, qint64 approxMs, int direction,
                           const VideoFrame& known) {
    QMetaObject::invokeMethod(worker_, [w = worker_, id, shown, approxMs, direction, known] {
        w->request(id, shown, approxMs, direction, known);
    });
}

#include "FrameStepper.moc"
