#include "capture/FrameExport.h"

#include "capture/ContactSheet.h"
#include "capture/SnapshotOrigin.h"
#include "capture/SnapshotWriter.h"
#include "platform/FileNames.h"
#include "playback/media/FrameIndex.h"
#include "playback/media/FrameReader.h"
#include "playback/media/SceneDetector.h"

#include <QFile>
#include <QThread>

#include <chrono>
#include <deque>

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
    sheet_ = job.choice.mode == ExportMode::ContactSheet;
    total_ = -1;
    submitted_ = written_ = failed_ = taken_ = 0;
    writeFailed_ = false;
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
    readerAt_ = first;
    const std::optional<qint64> last = index.numberAt(job.toMs, kIndexWaitMs);
    const ExportChoice& choice = job.choice;
    int submitted = 0;
    QString problem;
    if (choice.mode == ExportMode::EveryFrame) {
        const int total = last ? int(std::max<qint64>(1, *last - first + 1)) : -1;
        QMetaObject::invokeMethod(this, [this, total] { total_ = total; });
        bool beyondIndex = false;
        submitted = writeEveryFrame(reader, job, last.value_or(-1), beyondIndex);
        // Decoding stopped short of the range's last frame, or the file itself ends before
        // what its container promised (an interrupted download): it is damaged there.
        const qint64 lastIndexedMs =
            index.millisecondsOf(index.ptsOf(index.count() - 1).value_or(0));
        if (!cancel_ && beyondIndex)
            problem = tr("The video's timestamps start again after %1: the frames from there on "
                         "cannot be told apart and were not exported.")
                          .arg(formatMediaTime(lastIndexedMs));
        else if (!cancel_ && ((last && submitted < *last - first + 1) ||
                              (index.isTruncated() && job.toMs > lastIndexedMs)))
            problem = tr("The video could not be decoded beyond this point.");
    } else {
        // Where the index ends (timestamps that stop making sense) the range ends too.
        const qint64 end = last.value_or(std::max<qint64>(first, index.count() - 1));
        std::vector<qint64> frames;
        const int cells = choice.columns * choice.rows;
        switch (choice.mode) {
        case ExportMode::Interval:
            frames = intervalFrames(
                [&index](qint64 ms) { return index.numberAt(ms, kIndexWaitMs); }, job.fromMs,
                job.toMs, exportIntervalMs(choice.intervalSeconds).value_or(10000));
            break;
        case ExportMode::Evenly:
            frames = evenlySpreadFrames(first, end, choice.count);
            break;
        case ExportMode::PerScene:
            frames = sceneStarts(reader, job, first, end);
            break;
        case ExportMode::ContactSheet:
            frames = choice.sheetPerScene ? thinOut(sceneStarts(reader, job, first, end), cells)
                                          : evenlySpreadFrames(first, end, cells);
            break;
        case ExportMode::EveryFrame:
            break;
        }
        const int total = int(frames.size());
        QMetaObject::invokeMethod(this, [this, total] { total_ = total; });
        submitted =
            sheet_ ? writeSheet(reader, job, frames, problem) : writeChosen(reader, job, frames);
        if (!cancel_ && !sheet_ && submitted < total)
            problem = tr("%1 of %2 frames could be decoded; the video could not be decoded "
                         "beyond that point.")
                          .arg(submitted)
                          .arg(total);
        if (!cancel_ && sheet_ && submitted == 0 && problem.isEmpty())
            problem = tr("The video could not be decoded.");
    }
    sceneFrames_.clear();
    QMetaObject::invokeMethod(this,
                              [this, submitted, problem] { decodingEnded(submitted, problem); });
}

void FrameExport::waitForWriter() {
    // The decoder waits for the writer rather than fill the memory with pictures.
    while (!cancel_ && writer_->pending() >= aheadBudget())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void FrameExport::submit(VideoFrame frame, const ExportJob& job, const QString& prefix) {
    SnapshotRequest request =
        snapshotRequestFor(std::move(frame), fileNameOf(job.video), job.folder, prefix, job.jpeg);
    request.batch = true;
    request.keepSignal = job.keepSignal;
    writer_->submit(std::move(request));
}

int FrameExport::writeEveryFrame(FrameReader& reader, const ExportJob& job, qint64 last,
                                 bool& beyondIndex) {
    int submitted = 0;
    while (!cancel_) {
        waitForWriter();
        std::optional<VideoFrame> frame = reader.next();
        // Past the range, or where the index knows no more.
        beyondIndex = frame && frame->frameNumber < 0 && last < 0;
        if (!frame || frame->frameNumber < 0 || (last >= 0 && frame->frameNumber > last) || cancel_)
            break;
        submit(std::move(*frame), job, job.prefix);
        ++submitted;
    }
    return submitted;
}

namespace {
// The frame numbered wanted: decoded on from where the reader is when it is near, found by
// a seek when it lies further ahead than a seek costs (a group of pictures or so) or behind.
std::optional<VideoFrame> frameNumbered(FrameReader& reader, qint64 wanted, qint64& at) {
    const double fps = reader.framesPerSecond();
    const qint64 seekBeyond = std::max<qint64>(12, qint64(2 * (fps > 0 ? fps : 25)));
    if (at < 0 || wanted < at || wanted - at > seekBeyond) {
        if (!reader.seekToFrame(wanted))
            return std::nullopt;
        at = wanted;
    }
    while (std::optional<VideoFrame> frame = reader.next()) {
        if (frame->frameNumber < 0)
            return std::nullopt; // beyond what the index knows
        at = frame->frameNumber + 1;
        if (frame->frameNumber >= wanted)
            return frame;
    }
    return std::nullopt;
}
} // namespace

int FrameExport::writeChosen(FrameReader& reader, const ExportJob& job,
                             const std::vector<qint64>& frames) {
    int submitted = 0;
    for (const qint64 wanted : frames) {
        waitForWriter();
        if (cancel_)
            break;
        std::optional<VideoFrame> frame = frameFor(reader, wanted);
        if (!frame)
            break;
        submit(std::move(*frame), job, job.prefix);
        ++submitted;
    }
    return submitted;
}

std::vector<qint64> FrameExport::sceneStarts(FrameReader& reader, const ExportJob& job,
                                             qint64 first, qint64 last) {
    // A scene's first frame is known a few frames after it (a cut once it lasts): the last
    // few are kept, so that most scene frames need not be decoded a second time. What is
    // kept for later stays within a memory budget; the rest is found again by seeking.
    constexpr size_t kRecent = 4;
    constexpr qsizetype kKeptBytes = qsizetype(256) << 20;
    std::deque<VideoFrame> recent;
    qsizetype keptBytes = 0;
    const auto keep = [&](qint64 number) {
        for (const VideoFrame& frame : recent) {
            if (frame.frameNumber == number && keptBytes + frame.byteSize() <= kKeptBytes) {
                keptBytes += frame.byteSize();
                sceneFrames_[number] = frame;
            }
        }
    };
    sceneFrames_.clear();
    std::vector<qint64> starts{first};
    const int total = int(last - first + 1);
    if (!reader.seekToFrame(first))
        return starts;
    readerAt_ = first;
    SceneDetector detector(job.choice.sensitivity, reader.framesPerSecond());
    int looked = 0;
    while (!cancel_) {
        std::optional<VideoFrame> frame = reader.next();
        if (!frame || frame->frameNumber < 0 || frame->frameNumber > last)
            break;
        readerAt_ = frame->frameNumber + 1;
        const std::optional<qint64> start =
            detector.add(frame->frameNumber, sceneFeaturesOf(*frame));
        recent.push_back(std::move(*frame));
        if (recent.size() > kRecent)
            recent.pop_front();
        if (looked == 0)
            keep(first);
        if (start) {
            starts.push_back(*start);
            keep(*start);
        }
        if (++looked % 25 == 0)
            QMetaObject::invokeMethod(this,
                                      [this, looked, total] { Q_EMIT analysing(looked, total); });
    }
    if (const std::optional<qint64> start = detector.finish()) {
        starts.push_back(*start);
        keep(*start);
    }
    return starts;
}

std::optional<VideoFrame> FrameExport::frameFor(FrameReader& reader, qint64 wanted) {
    if (const auto kept = sceneFrames_.find(wanted); kept != sceneFrames_.end()) {
        VideoFrame frame = std::move(kept->second);
        sceneFrames_.erase(kept);
        return frame;
    }
    return frameNumbered(reader, wanted, readerAt_);
}

int FrameExport::writeSheet(FrameReader& reader, const ExportJob& job,
                            const std::vector<qint64>& frames, QString& problem) {
    const ExportChoice& choice = job.choice;
    std::vector<SheetThumbnail> thumbnails;
    QSize shown;
    SheetLayout layout;
    for (const qint64 wanted : frames) {
        if (cancel_)
            return 0;
        std::optional<VideoFrame> frame = frameFor(reader, wanted);
        if (!frame)
            break;
        if (shown.isEmpty()) {
            shown = frame->displaySize();
            layout = sheetLayoutFor(shown, choice.columns, choice.rows, choice.thumbnailWidth);
            problem = sheetSizeProblem(layout, job.jpeg);
            if (!problem.isEmpty())
                return 0;
        }
        thumbnails.push_back({frame->toImage(layout.thumbnail), frame->frameNumber, frame->timeMs});
        const int taken = int(thumbnails.size());
        QMetaObject::invokeMethod(this, [this, taken] {
            taken_ = taken;
            Q_EMIT progress(taken_, total_, -1);
        });
    }
    if (thumbnails.empty() || cancel_)
        return 0;
    const SheetHeader header{fileNameOf(job.video), reader.durationMs(), shown, reader.codecName()};
    SnapshotRequest request;
    request.image = composeSheet(layout, header, thumbnails);
    request.folder = job.folder;
    request.prefix = job.prefix + QStringLiteral("sheet_");
    request.jpeg = job.jpeg;
    request.batch = true;
    request.origin = {fileNameOf(job.video), -1, -1, QDateTime::currentDateTime(),
                      thumbnailFields(thumbnails)};
    writer_->submit(std::move(request));
    return 1;
}

void FrameExport::frameWritten(const QString& path) {
    if (writeFailed_) {
        // Written after a frame before it failed (the writers work side by side): kept, it
        // would leave a hole in the frames on disk, so the export ends where it failed.
        QFile::remove(path);
        ++failed_;
        finishIfDone();
        return;
    }
    ++written_;
    if (sheet_) {
        Q_EMIT progress(taken_, total_, 0);
    } else {
        const int remaining = total_ >= 0 ? std::max(0, total_ - written_) : -1;
        const qint64 left = remaining >= 0 ? clock_.elapsed() * remaining / written_ : -1;
        Q_EMIT progress(written_, total_, left);
    }
    finishIfDone();
}

void FrameExport::frameFailed(const QString& reason) {
    // A full disk or a folder gone: nothing after this can be written either.
    if (!reason.isEmpty() && !writeFailed_) {
        writeFailed_ = true;
        problem_ = reason;
        writer_->dropQueued();
    }
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
