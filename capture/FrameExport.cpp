#include "capture/FrameExport.h"

#include "capture/SnapshotWriter.h"
#include "platform/FileNames.h"
#include "playback/media/FrameIndex.h"
#include "playback/media/FrameReader.h"

#include <QThread>

#include <chrono>

// How long the export waits for the file's index to have read as far as the range.
constexpr int kIndexWaitMs = 60000;

// Frames decoded ahead of the writer: enough to keep every core encoding, few enough that
// the pictures they hold stay a small amount of memory.
static int aheadBudget() {
    return 2 * std::max(1, QThread::idealThreadCount());
}

FrameExport::FrameExport(QObject* parent) : QObject(parent) {}

FrameExport::~FrameExport() {
    stop();
}

// Ends the decoding thread and the writer: pictures waiting to be encoded are dropped,
// those being encoded are finished, so that no file is left half-written.
void FrameExport::stop() {
    cancel_ = true;
    if (thread_.joinable())
        thread_.join();
    if (writer_)
        writer_->setShutdownWait(0);
    writer_.reset();
    running_ = false;
}

void FrameExport::start(const ExportJob& job) {
    if (running_)
        return;
    stop();
    writer_ = std::make_unique<SnapshotWriter>();
    connect(writer_.get(), &SnapshotWriter::written, this, &FrameExport::frameWritten);
    connect(writer_.get(), &SnapshotWriter::failed, this, &FrameExport::frameFailed);
    cancel_ = false;
    running_ = true;
    decodingDone_ = false;
    total_ = -1;
    submitted_ = written_ = failed_ = 0;
    problem_.clear();
    clock_.start();
    thread_ = std::thread([this, job] { decodeAll(job); });
}

void FrameExport::cancel() {
    if (!running_)
        return;
    stop();
    Q_EMIT finished(written_, QString(), true);
}

// On the export's own thread; everything it tells the object goes through its event queue.
void FrameExport::decodeAll(const ExportJob& job) {
    FrameReader reader(job.video, job.index, 0);
    if (!reader.isOpen() || !reader.seek(job.fromMs)) {
        QMetaObject::invokeMethod(this,
                                  [this] { decodingEnded(0, tr("The video cannot be read.")); });
        return;
    }
    // The frames of the range, from the file's own index: the range may reach past the
    // end of the video, whose last frame then ends it.
    const FrameIndex& index = reader.index();
    const qint64 first = index.numberAt(job.fromMs, kIndexWaitMs).value_or(0);
    const std::optional<qint64> last = index.numberAt(job.toMs, kIndexWaitMs);
    const int total = last ? int(std::max<qint64>(1, *last - first + 1)) : -1;
    QMetaObject::invokeMethod(this, [this, total] { total_ = total; });
    const QString video = fileNameOf(job.video);
    int submitted = 0;
    qint64 lastWritten = first - 1;
    while (!cancel_) {
        // The decoder waits for the writer rather than fill the memory with pictures.
        while (!cancel_ && writer_->pending() >= aheadBudget())
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::optional<VideoFrame> frame = reader.next();
        // Past the range, or where the index knows no more.
        if (!frame || frame->frameNumber < 0 || (last && frame->frameNumber > *last))
            break;
        if (cancel_)
            break;
        lastWritten = frame->frameNumber;
        SnapshotRequest request =
            snapshotRequestFor(std::move(*frame), video, job.folder, job.prefix, job.jpeg);
        request.batch = true;
        request.keepSignal = job.keepSignal;
        writer_->submit(std::move(request));
        ++submitted;
    }
    // Decoding stopped short of the range's last frame, or the file itself ends before
    // what its container promised (an interrupted download): it is damaged there.
    QString problem;
    if (!cancel_ && ((last && lastWritten < *last) ||
                     (index.isTruncated() &&
                      job.toMs > index.millisecondsOf(index.ptsOf(index.count() - 1).value_or(0)))))
        problem = tr("The video could not be decoded beyond this point.");
    QMetaObject::invokeMethod(this,
                              [this, submitted, problem] { decodingEnded(submitted, problem); });
}

void FrameExport::frameWritten() {
    ++written_;
    const int remaining = total_ >= 0 ? std::max(0, total_ - written_) : -1;
    const qint64 left = remaining >= 0 ? clock_.elapsed() * remaining / written_ : -1;
    Q_EMIT progress(written_, total_, left);
    finishIfDone();
}

void FrameExport::frameFailed(const QString& reason) {
    // A full disk or a folder gone: nothing after this can be written either.
    if (problem_.isEmpty())
        problem_ = reason;
    cancel_ = true;
    ++failed_;
    finishIfDone();
}

void FrameExport::decodingEnded(int submitted, const QString& problem) {
    decodingDone_ = true;
    submitted_ = submitted;
    if (problem_.isEmpty())
        problem_ = problem;
    finishIfDone();
}

void FrameExport::finishIfDone() {
    if (!running_ || !decodingDone_ || written_ + failed_ < submitted_)
        return;
    stop();
    Q_EMIT finished(written_, problem_, false);
}
