#include "capture/SnapshotWriter.h"

#include "capture/SnapshotEncoder.h"
#include "capture/SnapshotFiles.h"
#include "capture/SnapshotNaming.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QPointer>
#include <QThread>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

// Encoding gives way to playback and the window whenever they want a core: a frame shown
// late is seen, an image written later is not (the backlog waits in memory). At 4K,
// where decoding alone takes most of two cores, anything less made playback drop four
// frames in five, and with them the frames to capture.
static void yieldToPlayback() {
#ifdef __linux__
    constexpr int kNice = 19;
    static thread_local const bool lowered = setpriority(PRIO_PROCESS, id_t(gettid()), kNice) == 0;
    (void)lowered;
#endif
}

SnapshotRequest snapshotRequestFor(VideoFrame frame, const QString& video, const QString& folder,
                                   const QString& prefix, bool jpeg) {
    SnapshotRequest request;
    request.origin = {video, frame.timeMs, frame.frameNumber, QDateTime::currentDateTime()};
    request.frame = std::move(frame);
    request.folder = folder;
    request.prefix = prefix;
    request.jpeg = jpeg;
    return request;
}

SnapshotWriter::SnapshotWriter(int threads, QObject* parent) : QObject(parent) {
    pool_.setMaxThreadCount(threads > 0 ? threads : QThread::idealThreadCount());
}

SnapshotWriter::~SnapshotWriter() {
    if (!pool_.waitForDone(shutdownWait_)) {
        pool_.clear();
        pool_.waitForDone();
    }
}

void SnapshotWriter::submit(SnapshotRequest request) {
    pending_.fetch_add(1);
    QString problem = snapshotNamingProblem(request.folder, request.prefix);
    if (problem.isEmpty() && request.image.isNull() && request.frame.isNull())
        problem = QStringLiteral("Cannot write the snapshot: the captured frame is empty");
    quint64 ticket = 0;
    {
        const QMutexLocker lock(&mutex_);
        ticket = nextTicket_++;
        if (problem.isEmpty())
            unnamed_.push_back({ticket, request.folder, request.prefix, request.jpeg});
    }
    if (!problem.isEmpty()) {
        report(ticket, {}, problem);
        return;
    }
    pool_.start([this, ticket, request = std::move(request)] {
        yieldToPlayback();
        write(ticket, request);
    });
}

int SnapshotWriter::pending() const {
    return pending_.load();
}

bool SnapshotWriter::waitForDone(int msecs) {
    const bool done = pool_.waitForDone(msecs);
    if (QThread::currentThread() == thread())
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    return done;
}

int SnapshotWriter::takeNumber(quint64 ticket) {
    const QMutexLocker lock(&mutex_);
    while (!unnamed_.empty() && unnamed_.front().ticket <= ticket) {
        const Naming& n = unnamed_.front();
        named_[n.ticket] = numbering_.reserve(n.folder, n.prefix, n.jpeg);
        unnamed_.pop_front();
    }
    const auto it = named_.find(ticket);
    const int number = it == named_.end() ? 0 : it->second;
    if (it != named_.end())
        named_.erase(it);
    return number;
}

int SnapshotWriter::renumber(const SnapshotRequest& request, int taken) {
    const QMutexLocker lock(&mutex_);
    numbering_.settle(request.folder, request.prefix, request.jpeg, taken);
    return numbering_.reserve(request.folder, request.prefix, request.jpeg);
}

void SnapshotWriter::dropQueued() {
    const QMutexLocker lock(&mutex_);
    dropBefore_ = nextTicket_;
}

void SnapshotWriter::write(quint64 ticket, const SnapshotRequest& r) {
    if (ticket < dropBefore_.load()) {
        // Its number is given back, so that the next snapshot leaves no gap.
        if (const int number = takeNumber(ticket); number > 0) {
            const QMutexLocker lock(&mutex_);
            numbering_.release(r.folder, r.prefix, r.jpeg, number);
        }
        report(ticket, {}, {});
        return;
    }
    // A frame becomes an image here, off the user-interface thread and off libVLC's.
    const bool signal = r.keepSignal && !r.jpeg && !r.frame.isNull();
    const PngColours colours = signal ? r.frame.signalCodes() : std::nullopt;
    QImage image;
    if (signal && colours)
        image = r.frame.toSignalImage();
    else if (!r.frame.isNull())
        image = r.frame.toImage();
    else if (r.size.isValid() && r.size != r.image.size())
        image = r.image.scaled(r.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    else
        image = r.image;
    EncodeChoices choices;
    if (r.batch)
        choices.jpegCoding = JpegCoding::Standard;
    else
        choices.pngLevel = pngLevelFor(qint64(image.width()) * image.height(), pending_ - 1,
                                       pool_.maxThreadCount());
    const EncodedSnapshot encoded =
        encodeSnapshot(image, r.jpeg, deflate_, r.origin, choices, colours);
    // Numbered only now, so that a name is held no longer than needed.
    const int number = takeNumber(ticket);
    if (number <= 0) {
        report(ticket, {},
               QStringLiteral("Cannot write a snapshot into %1: no free file number is left")
                   .arg(QDir::toNativeSeparators(snapshotFolderKey(r.folder))));
        return;
    }
    SnapshotCommit commit;
    // The folder is made here, off the user-interface thread: a snapshot folder that does
    // not exist yet (a fresh Pictures folder) should not make every snapshot fail.
    if (!QFileInfo(r.folder).isDir() && !QDir().mkpath(r.folder)) {
        commit = {{},
                  QStringLiteral("Cannot create the folder %1")
                      .arg(QDir::toNativeSeparators(snapshotFolderKey(r.folder))),
                  number};
    } else if (encoded.bytes.isEmpty()) {
        const QString path = snapshotFilePath(r.folder, r.prefix, number, r.jpeg);
        commit = {{},
                  QStringLiteral("Cannot encode %1: %2")
                      .arg(QDir::toNativeSeparators(path), encoded.error),
                  number};
    } else {
        tidyOnce(r.folder);
        commit = commitSnapshotFile(
            encoded.bytes, number,
            [&r](int n) { return snapshotFilePath(r.folder, r.prefix, n, r.jpeg); },
            [this, &r](int taken) { return renumber(r, taken); });
    }
    if (commit.number > 0) {
        const QMutexLocker lock(&mutex_);
        if (commit.path.isEmpty())
            numbering_.release(r.folder, r.prefix, r.jpeg, commit.number);
        else
            numbering_.settle(r.folder, r.prefix, r.jpeg, commit.number);
    }
    report(ticket, commit.path, commit.error);
}

// The first write into a folder removes what a crash left there half-written, older than a
// minute (a snapshot takes well under that, so nothing in progress is touched).
void SnapshotWriter::tidyOnce(const QString& folder) {
    constexpr int kStaleSeconds = 60;
    bool first = false;
    {
        const QMutexLocker lock(&mutex_);
        first = tidiedFolders_.insert(snapshotFolderKey(folder)).second;
    }
    if (first)
        removeStalePartFiles(folder, kStaleSeconds);
}

void SnapshotWriter::report(quint64 ticket, const QString& path, const QString& reason) {
    QMetaObject::invokeMethod(
        this, [this, ticket, path, reason] { deliver(ticket, path, reason); },
        Qt::QueuedConnection);
}

void SnapshotWriter::deliver(quint64 ticket, const QString& path, const QString& reason) {
    results_.emplace(ticket, Result{path, reason});
    // Taken out before emitting: a slot may wait for the writer and so deliver more, or,
    // told of the last image it waited for, delete the writer.
    const QPointer<SnapshotWriter> alive(this);
    while (alive && !results_.empty() && results_.begin()->first == nextReport_) {
        const Result result = std::move(results_.begin()->second);
        results_.erase(results_.begin());
        ++nextReport_;
        pending_.fetch_sub(1);
        if (!result.path.isEmpty())
            Q_EMIT written(result.path);
        else
            Q_EMIT failed(result.reason);
    }
}
