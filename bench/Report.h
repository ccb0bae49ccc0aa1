#pragma once

#include <QJsonObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <map>

#include "bench/Ffmpeg.h"

struct ReportOptions {
    QString clips;       // folder of clip-<W>x<H>.mp4
    QStringList sizes;   // "1280x720", ...
    int runs = 5;        // medians over this many runs
    double seconds = 10; // of continuous capture per run
    QString work;        // scratch folder; results.md and results.json end up here
    QString framora;     // the program's executable
    // snapshot, colour, continuous, export, modes, idle, startup, peers; empty = all but
    // peers and modes
    QStringList parts;
    QString modeClips; // folder of long-1080p.mp4, long-1080p-2h.mp4 and scenes.mp4
};

// The whole benchmark: every measurement in a process of its own, ffmpeg beside ours,
// and the tables (Markdown) with the targets met or missed.
class Report {
public:
    static constexpr double kFps = 25;
    static constexpr double kSnapshotRatioTarget = 1.5;
    static constexpr double kCompletenessTarget = 0.95;
    static constexpr double kPngRateTarget = 0.9;
    static constexpr double kStallTargetMs = 16;
    static constexpr double kIdleTargetPercent = 2;
    static constexpr double kStartupTargetMs = 500;
    static constexpr double kExportTimeTarget = 1.0; // ours ÷ ffmpeg's

    explicit Report(ReportOptions options);

    // Exit status: 0 when everything ran (whatever the verdicts).
    [[nodiscard]] int run();

private:
    [[nodiscard]] bool wants(const char* part) const {
        // The peers need other players installed, the modes long clips: only when asked for.
        if (o_.parts.isEmpty())
            return QLatin1String(part) != QLatin1String("peers") &&
                   QLatin1String(part) != QLatin1String("modes");
        return o_.parts.contains(QLatin1String(part));
    }
    [[nodiscard]] QString clip(const QString& size) const;
    // The colour matrix the clip of that size was made and tagged with (tools/bench.sh).
    [[nodiscard]] static QString clipMatrix(const QString& size);
    [[nodiscard]] QString work(const QString& name) const;
    [[nodiscard]] QStringList childEnvironment() const;
    // Runs this program with arguments and returns the JSON object it printed last.
    [[nodiscard]] QJsonObject self(const QStringList& arguments) const;
    void line(const QString& text);
    void target(const QString& what, bool met, const QString& figures);

    void machine();
    void snapshotCosts();
    void continuousCapture();
    [[nodiscard]] double ffmpegPngRate(const QString& raw, QSize size, int frames) const;
    void frameExport();
    void exportModes();
    void colours();
    void peers();
    void idleAndPlaying();
    void playingBesideVlc();
    // CPU (% of one core) of a program running measureMs after settleMs; negative when it
    // did not run that long. peakKiB, when given, gets its peak memory.
    [[nodiscard]] double cpuWhileRunning(const QStringList& argv, const QStringList& env,
                                         int settleMs, int measureMs, qint64* peakKiB,
                                         const QString& log) const;
    void startup();

    ReportOptions o_;
    Ffmpeg ffmpeg_;
    QTemporaryDir runtime_;
    QStringList lines_;
    QStringList targets_;
    QJsonObject results_;
    std::map<QString, double> capturePeakMiB_;
    bool failed_ = false;
};
