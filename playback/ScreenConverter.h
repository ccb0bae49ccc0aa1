#pragma once

#include "playback/media/PlaneScaler.h"
#include "playback/media/VideoFrame.h"

#include <QImage>
#include <QObject>
#include <QSize>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

// Makes the images the screen shows from frames, on a thread of its own, each at the size
// it is painted at (a video area of a few hundred pixels needs a few hundred pixels
// converted, not the whole frame), so that the user-interface thread only draws them.
// Requests of one kind replace each other while waiting: a slow conversion never queues
// frames, the newest is shown next.
class ScreenConverter : public QObject {
    Q_OBJECT
public:
    enum class Kind { Picture, Preview };

    explicit ScreenConverter(QObject* parent = nullptr);
    ~ScreenConverter() override;

    void request(Kind kind, const VideoFrame& frame, QSize size);

Q_SIGNALS:
    // On the thread that owns the converter.
    void converted(ScreenConverter::Kind kind, quint64 serial, const QImage& image);

private:
    struct Job {
        VideoFrame frame;
        QSize size;
    };
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_[2];
    bool stopping_ = false;
    YuvScaler scalers_[2]; // the worker's own, one a kind

    std::thread thread_; // last: it starts once everything above is there
};
