#pragma once

#include "media/VideoFrame.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <memory>

class FrameReader;

// Finds frames exactly, on a thread of its own: which frame a picture on screen is (libVLC
// does not say), and the frame after or before it. Answers come as frameFound, on the
// thread that owns the stepper, in the order asked; a request for another file or a newer
// request of the same kind makes older answers stale, which their numbers tell.
class FrameStepper : public QObject {
    Q_OBJECT
public:
    explicit FrameStepper(QObject* parent = nullptr);
    ~FrameStepper() override;

    // The file to step in; nothing is read until the first request.
    void open(const QString& path);

    // Identifies shown (a picture of the open file, shown near approxMs), then moves
    // direction frames from it (0: none). known, when its time is valid, is the frame
    // already identified, which saves the search.
    void request(quint64 id, const VideoFrame& shown, qint64 approxMs, int direction,
                 const VideoFrame& known);

Q_SIGNALS:
    // exact: the frame is known for certain (its time and number are exact). A null image:
    // there is no such frame (before the first, after the last, or the file cannot be read).
    void frameFound(quint64 id, const VideoFrame& frame, bool exact);

private:
    class Worker;
    QThread thread_;
    Worker* worker_ = nullptr;
};
