#pragma once

#include "capture/ExportSelection.h"
#include "playback/media/VideoFrame.h"

#include <QElapsedTimer>
#include <QObject>
#include <QSize>
#include <QString>

#include <atomic>
#include <map>
#include <memory>
#include <thread>

class FrameIndex;
class FrameReader;
class SnapshotWriter;
struct VideoFrame;

// What to export: frames from the one on screen at fromMs to the one on screen at toMs,
// both included (every one, or those the choice picks; or a contact sheet of them), into
// folder with the usual naming.
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
    ExportChoice choice = {};
    // The video's pictures as seen (for a contact sheet's size before any is decoded).
    QSize shown = {};
};

// Writes the frames of a stretch of video, each exactly once and in order, as fast as
// decoding and encoding go: frames are decoded on a thread of their own (our own decoder,
// not the player's) and encoded and written by a snapshot writer on every core. Frames far
// apart are reached by seeking rather than decoding all between; one frame per scene first
// looks at every frame for the cuts. Cancel stops at once; files being written are
// finished, nothing half-made remains.
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
    // total: frames to write (thumbnails for a sheet), -1 when the video does not tell;
    // msLeft: an estimate, -1 while there is none.
    void progress(int written, int total, qint64 msLeft);
    // Looking for scenes: frames looked at so far, of total.
    void analysing(int frames, int total);
    // The end, always exactly once per start: problem is empty when every frame was
    // written, otherwise why not (a write failed, the video could not be decoded further);
    // cancelled when the user stopped it.
    void finished(int written, const QString& problem, bool cancelled);

private:
    void decodeAll(const ExportJob& job);
    // On the decoding thread: every frame from first to last; the chosen ones; the frames
    // that begin scenes; a contact sheet. Each returns the number of files submitted.
    // beyondIndex: it stopped at a frame the index does not know (where the timestamps
    // started again), not at the range's end.
    int writeEveryFrame(FrameReader& reader, const ExportJob& job, qint64 last, bool& beyondIndex);
    int writeChosen(FrameReader& reader, const ExportJob& job, const std::vector<qint64>& frames);
    [[nodiscard]] std::vector<qint64> sceneStarts(FrameReader& reader, const ExportJob& job,
                                                  qint64 first, qint64 last);
    // Frame wanted: kept from the scene analysis, or decoded (after a seek where that is
    // quicker).
    [[nodiscard]] std::optional<VideoFrame> frameFor(FrameReader& reader, qint64 wanted);
    int writeSheet(FrameReader& reader, const ExportJob& job, const std::vector<qint64>& frames,
                   QString& problem);
    void submit(VideoFrame frame, const ExportJob& job, const QString& prefix);
    void waitForWriter();
    void frameWritten(const QString& path);
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
    // The sheet's thumbnails count towards progress as they are taken; files as written.
    int taken_ = 0;
    bool sheet_ = false;
    // Where the reader stands: the number of the frame next() gives (or -1 when not known).
    qint64 readerAt_ = -1;
    // Scene frames kept from the analysis, by number (on the decoding thread).
    std::map<qint64, VideoFrame> sceneFrames_;
    int submitted_ = 0;
    int written_ = 0;
    int failed_ = 0;
    bool writeFailed_ = false; // a frame could not be written: the export ends there
    QString problem_;
    QElapsedTimer clock_;
};
