#include "capture/SnapshotWriter.h"

#include "capture/SnapshotEncoder.h"
#include "capture/SnapshotFiles.h"
#include "capture/SnapshotNaming.h"

#include <QCoreApplication>
#include <QDir>
#include <QMutexLocker>
#include <QThread>

SnapshotWriter::SnapshotWriter(int threads, QObject* parent) : QObject(parent) {
    m_pool.setMaxThreadCount(threads > 0 ? threads : QThread::idealThreadCount());
}

SnapshotWriter::~SnapshotWriter() {
    if (!m_pool.waitForDone(m_shutdownWait)) {
        m_pool.clear();
        m_pool.waitForDone();
    }
}

void SnapshotWriter::submit(SnapshotRequest request) {
    m_pending.fetch_add(1);
    QString problem = snapshotNamingProblem(request.folder, request.prefix);
    if (problem.isEmpty() && request.image.isNull())
        problem = QStringLiteral("Cannot write the snapshot: the captured frame is empty");
    quint64 ticket = 0;
    {
        const QMutexLocker lock(&m_mutex);
        ticket = m_nextTicket++;
        if (problem.isEmpty())
            m_unnamed.push_back({ticket, request.folder, request.prefix, request.jpeg});
    }
    if (!problem.isEmpty()) {
        report(ticket, {}, problem);
        return;
    }
    m_pool.start([this, ticket, request = std::move(request)] { write(ticket, request); });
}

int SnapshotWriter::pending() const {
    return m_pending.load();
}

bool SnapshotWriter::waitForDone(int msecs) {
    const bool done = m_pool.waitForDone(msecs);
    if (QThread::currentThread() == thread())
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    return done;
}

int SnapshotWriter::takeNumber(quint64 ticket) {
    const QMutexLocker lock(&m_mutex);
    while (!m_unnamed.empty() && m_unnamed.front().ticket <= ticket) {
        const Naming& n = m_unnamed.front();
        m_named[n.ticket] = m_numbering.reserve(n.folder, n.prefix, n.jpeg);
        m_unnamed.pop_front();
    }
    const auto it = m_named.find(ticket);
    const int number = it == m_named.end() ? 0 : it->second;
    if (it != m_named.end())
        m_named.erase(it);
    return number;
}

int SnapshotWriter::renumber(const SnapshotRequest& request, int taken) {
    const QMutexLocker lock(&m_mutex);
    m_numbering.settle(request.folder, request.prefix, request.jpeg, taken);
    return m_numbering.reserve(request.folder, request.prefix, request.jpeg);
}

void SnapshotWriter::write(quint64 ticket, const SnapshotRequest& r) {
    const bool scale = r.size.isValid() && !r.image.isNull() && r.size != r.image.size();
    const QImage image =
        scale ? r.image.scaled(r.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation) : r.image;
    const EncodedSnapshot encoded = encodeSnapshot(image, r.jpeg, m_deflate);
    // Numbered only now, so that a name is held no longer than needed.
    const int number = takeNumber(ticket);
    if (number <= 0) {
        report(ticket, {},
               QStringLiteral("Cannot write a snapshot into %1: no free file number is left")
                   .arg(QDir::toNativeSeparators(snapshotFolderKey(r.folder))));
        return;
    }
    SnapshotCommit commit;
    if (encoded.bytes.isEmpty()) {
        const QString path = snapshotFilePath(r.folder, r.prefix, number, r.jpeg);
        commit = {{},
                  QStringLiteral("Cannot encode %1: %2")
                      .arg(QDir::toNativeSeparators(path), encoded.error),
                  number};
    } else {
        commit = commitSnapshotFile(
            encoded.bytes, number,
            [&r](int n) { return snapshotFilePath(r.folder, r.prefix, n, r.jpeg); },
            [this, &r](int taken) { return renumber(r, taken); });
    }
    if (commit.number > 0) {
        const QMutexLocker lock(&m_mutex);
        if (commit.path.isEmpty())
            m_numbering.release(r.folder, r.prefix, r.jpeg, commit.number);
        else
            m_numbering.settle(r.folder, r.prefix, r.jpeg, commit.number);
    }
    report(ticket, commit.path, commit.error);
}

void SnapshotWriter::report(quint64 ticket, const QString& path, const QString& reason) {
    QMetaObject::invokeMethod(
        this, [this, ticket, path, reason] { deliver(ticket, path, reason); },
        Qt::QueuedConnection);
}

void SnapshotWriter::deliver(quint64 ticket, const QString& path, const QString& reason) {
    m_results.emplace(ticket, Result{path, reason});
    // Taken out before emitting: a slot may wait for the writer and so deliver more.
    while (!m_results.empty() && m_results.begin()->first == m_nextReport) {
        const Result result = std::move(m_results.begin()->second);
        m_results.erase(m_results.begin());
        ++m_nextReport;
        m_pending.fetch_sub(1);
        if (result.reason.isEmpty())
            Q_EMIT written(result.path);
        else
            Q_EMIT failed(result.reason);
    }
}
