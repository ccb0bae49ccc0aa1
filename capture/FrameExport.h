#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <thread>

class FrameIndex;
class SnapshotWriter;

// What to export: every frame from the one on screen at fromMs to the one on screen at toMs,
// both included, into folder with the usual naming.
struct ExportJob {
    QString video; // the file
    QString folder;
    QString prefix;
    bool jpeg = false;
    qint64 fromMs = 0;
    qint64 toMs = 0;
    // 16-bit PNG of the video's own signal (its HDR kept) instead of what the screen shows.
    bool keepSignal = false;
    // The file's frame index where the media service has one; else the export reads it.
    std::shared_ptr<const FrameIndex> index = {};
};

// Writes every frame of a stretch of video, each exactly once and in order, as fast as
// decoding and encoding go: frames are decoded on a thread of their own (our own decoder,
// not the player's) and encoded and written by a snapshot writer on every core. Cancel
// stops at once; files being written are finished, nothing half-made remains.
class FrameExport : public QObject {
    Q_OBJECT
public:
    explicit FrameExport(QObject* parent = nullptr);
    // Cancels what runs.
    ~FrameExport() override;

    void start(const ExportJob& job);
    void cancel();
    [[nodiscard]] bool isRunning() const { return running_; }

Q_SIGNALS:
    // total: frames in the range, -1 when the video does not tell its frame rate;
    // msLeft: an estimate, -1 while there is none.
    void progress(int written, int total, qint64 msLeft);
    // The end, always exactly once per start: problem is empty when every frame was
    // written, otherwise why not (a write failed, the video could not be decoded further);
    // cancelled when the user stopped it.
    void finished(int written, const QString& problem, bool cancelled);

private:
    void decodeAll(const ExportJob& job);
    void frameWritten();
    void frameFailed(const QString& reason);
    void decodingEnded(int submitted, const QString& problem);
    void finishIfDone();
    void stop();

    std::unique_ptr<SnapshotWriter> writer_;
    std::thread thread_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
    bool decodingDone_ = false;
    int total_ = -1;
    int submitted_ = 0;
    int written_ = 0;
    int failed_ = 0;
    QString problem_;
    QElapsedTimer clock_;
};
