#include "playback/ScreenConverter.h"

ScreenConverter::ScreenConverter(QObject* parent) : QObject(parent), thread_([this] { run(); }) {}

ScreenConverter::~ScreenConverter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void ScreenConverter::request(Kind kind, const VideoFrame& frame, QSize size) {
    {
        const std::lock_guard lock(mutex_);
        pending_[int(kind)] = Job{frame, size};
    }
    wake_.notify_one();
}

void ScreenConverter::run() {
    for (;;) {
        Kind kind = Kind::Picture;
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || pending_[0] || pending_[1]; });
            if (stopping_)
                return;
            // The picture before its preview: it is what the eye follows.
            kind = pending_[0] ? Kind::Picture : Kind::Preview;
            job = std::move(*pending_[int(kind)]);
            pending_[int(kind)].reset();
        }
        const QImage image = job.frame.toImage(job.size, &scalers_[int(kind)]);
        const quint64 serial = job.frame.serial;
        job = {}; // the frame's pixels go back to their owner now, not at the next request
        QMetaObject::invokeMethod(
            this, [this, kind, serial, image] { Q_EMIT converted(kind, serial, image); },
            Qt::QueuedConnection);
    }
}
