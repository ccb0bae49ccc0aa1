#include "bench/Report.h"

#include "bench/BenchStats.h"
#include "bench/ReportText.h"
#include "capture/SnapshotEncoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

// Frames ffmpeg encodes for its images per second.
constexpr int kThroughputFrames = 50;

// ffmpeg's PNG encoder with two threads at our level on frames we wrote, from raw RGB24 on
// disk: images per second, start-up (a null output of the same input) taken off.
double Report::ffmpegPngRate(const QString& raw, QSize size, int frames) const {
    const QString outDir = work(QStringLiteral("ffmpeg-png"));
    QDir(outDir).removeRecursively();
    QDir().mkpath(outDir);
    const double nullMs = ffmpeg_.encodeFrames(raw, size, {}, {}).wallMs;
    const Ffmpeg::Cost png = ffmpeg_.encodeFrames(
        raw, size,
        {QStringLiteral("-threads"), QStringLiteral("2"), QStringLiteral("-c:v"),
         QStringLiteral("png"), QStringLiteral("-compression_level"),
         QString::number(kSnapshotPngLevel)},
        QDir(outDir).filePath(QStringLiteral("%05d.png")));
    QDir(outDir).removeRecursively();
    if (!png.ok)
        return 0;
    return frames / (std::max(1.0, png.wallMs - nullMs) / 1000.0);
}

void Report::continuousCapture() {
    line(QString());
    line(QStringLiteral("### Continuous capture, %1 s of playback at normal speed, real main "
                        "window, 10 ms timer")
             .arg(o_.seconds));
    line(QString());
    line(QStringLiteral(
             "Completeness = distinct images (pixel hashes) ÷ frames of the clip in that time "
             "(25 fps × time). ffmpeg PNG = images/s of `ffmpeg -threads 2 -c:v png "
             "-compression_level %1` on %2 of the frames we wrote (raw RGB24 on disk), minus "
             "start-up, run after each of our runs. Since no frame is written twice, ours can "
             "at most reach the frame rate: the ratio is taken against the smaller of ffmpeg's "
             "rate and 25. Images are counted once the backlog left when capture stops is "
             "written (Drain s: how long that took); Skipped: frames the throttle skipped for "
             "want of memory; Peak MiB: the process's VmHWM.")
             .arg(kSnapshotPngLevel)
             .arg(kThroughputFrames));
    line(QString());
    line(QStringLiteral("| Size | Format | Images/s | Completeness | Frames shown / clip frames | "
                        "Duplicates (max) | Files | ffmpeg PNG images/s | Ours ÷ min(ffmpeg, 25) "
                        "| Process CPU % | MB per image | Skipped (max) | Drain s | Peak MiB |"));
    line(QStringLiteral("|---|---|---|---|---|---|---|---|---|---|---|---|---|---|"));
    QStringList stallLines;
    QJsonArray all;
    for (const QString& sizeText : o_.sizes) {
        const QSize size = parseSize(sizeText);
        for (const QString& format :
             {QStringLiteral("none"), QStringLiteral("jpg"), QStringLiteral("png")}) {
            const bool none = format == QLatin1String("none");
            const bool png = format == QLatin1String("png");
            const QString raw = work(QStringLiteral("frames-%1.rgb").arg(sizeText));
            int rawFrames = 0;
            std::vector<QJsonObject> runs;
            std::vector<double> ffmpegRates;
            const int count = none ? std::max(1, o_.runs / 2) : o_.runs;
            for (int i = 0; i < count; ++i) {
                const QString out = work(QStringLiteral("continuous-%1-%2").arg(sizeText, format));
                QDir(out).removeRecursively();
                const QJsonObject r =
                    self({QStringLiteral("continuous"), clip(sizeText), format,
                          QString::number(o_.seconds), QString::number(kFps), out});
                if (r.isEmpty()) {
                    failed_ = true;
                    continue;
                }
                runs.push_back(r);
                if (png && rawFrames == 0) {
                    const QFileInfoList folders =
                        QDir(out).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
                    if (!folders.isEmpty() && ffmpeg_.toRawRgb(folders.first().absoluteFilePath() +
                                                                   QStringLiteral("/IMG_%05d.png"),
                                                               raw, kThroughputFrames))
                        rawFrames =
                            int(QFileInfo(raw).size() / (qint64(size.width()) * size.height() * 3));
                }
                QDir(out).removeRecursively();
                if (rawFrames > 0)
                    ffmpegRates.push_back(ffmpegPngRate(raw, size, rawFrames));
            }
            QFile::remove(raw);
            if (runs.empty())
                continue;
            if (png)
                capturePeakMiB_[sizeText] = median(field(runs, "peakMemoryKiB")) / 1024.0;
            QJsonArray runArray;
            for (const QJsonObject& r : runs)
                runArray.append(r);
            QJsonObject entry{{QStringLiteral("size"), sizeText},
                              {QStringLiteral("format"), format},
                              {QStringLiteral("runs"), runArray}};
            const double rate = median(field(runs, "imagesPerSecond"));
            const double completeness = median(field(runs, "completeness"));
            const double shown = median(field(runs, "framesShown"));
            const double expected = median(field(runs, "framesExpected"));
            const double duplicates = largest(field(runs, "duplicates"));
            const double files = median(field(runs, "files"));
            const double bytes = median(field(runs, "bytesPerImage"));
            const double cpu = median(field(runs, "cpuPercent"));
            const double tickMedian = median(field(runs, "tickMedianMs"));
            const double tickP99 = median(field(runs, "tickP99Ms"));
            const double tickMax = largest(field(runs, "tickMaxMs"));
            const double handlerP99 = median(field(runs, "handlerP99Ms"));
            const double handlerMax = largest(field(runs, "handlerMaxMs"));
            const double paintMedian = median(field(runs, "paintMedianMs"));
            const double paintP99 = median(field(runs, "paintP99Ms"));
            const double probeP99 = median(field(runs, "probeP99Ms"));
            const double probeMax = largest(field(runs, "probeMaxMs"));
            const double readUs = median(field(runs, "engineReadUs"));
            QString slowest;
            double slowestMs = -1;
            for (const QJsonObject& r : runs) {
                if (r.value(QStringLiteral("handlerMaxMs")).toDouble() > slowestMs) {
                    slowestMs = r.value(QStringLiteral("handlerMaxMs")).toDouble();
                    slowest = r.value(QStringLiteral("slowest")).toString();
                }
            }
            const QString mode = none ? QStringLiteral("playing, no capture") : format.toUpper();
            stallLines << QStringLiteral("| %1 | %2 | %3 / %4 / %5 | %6 / %7 | %8 / %9 | %10 / %11 "
                                         "| %12 | %13 |")
                              .arg(sizeText, mode, fixed(tickMedian, 2), fixed(tickP99, 2),
                                   fixed(tickMax), fixed(handlerP99, 2), fixed(handlerMax),
                                   fixed(paintMedian, 2), fixed(paintP99, 2))
                              .arg(fixed(probeP99, 2), fixed(probeMax), fixed(readUs, 2), slowest);
            const double worstP99 = std::max({tickP99, handlerP99, probeP99});
            target(QStringLiteral("UI stall p99 < %1 ms, %2 %3")
                       .arg(kStallTargetMs)
                       .arg(sizeText, none ? QStringLiteral("playing")
                                           : format.toUpper() + QStringLiteral(" capture")),
                   worstP99 < kStallTargetMs,
                   QStringLiteral("tick %1, any event %2, probe lateness %3 ms (max %4)")
                       .arg(fixed(tickP99, 2), fixed(handlerP99, 2), fixed(probeP99, 2),
                            fixed(std::max({tickMax, handlerMax, probeMax}))));

            QString ffmpegRate = QStringLiteral("–");
            QString ratio = QStringLiteral("–");
            if (png && !ffmpegRates.empty()) {
                const double ffRate = median(ffmpegRates);
                const double reachable = std::min(ffRate, kFps);
                ffmpegRate = fixed(ffRate);
                ratio = fixed(rate / reachable, 2);
                entry.insert(QStringLiteral("ffmpegImagesPerSecond"), ffRate);
                target(QStringLiteral("PNG images/s at %1 ≥ %2× ffmpeg (2 threads, level %3)")
                           .arg(sizeText)
                           .arg(kPngRateTarget)
                           .arg(kSnapshotPngLevel),
                       rate >= kPngRateTarget * reachable,
                       QStringLiteral("%1 vs %2 images/s%3 = %4×")
                           .arg(fixed(rate), fixed(ffRate),
                                ffRate > kFps
                                    ? QStringLiteral(" (capped at the 25 fps of the clip)")
                                    : QString(),
                                ratio));
            }
            if (format == QLatin1String("jpg")) {
                target(QStringLiteral("JPG completeness at %1 ≥ %2, no duplicates")
                           .arg(sizeText)
                           .arg(kCompletenessTarget),
                       completeness >= kCompletenessTarget && duplicates == 0,
                       QStringLiteral("%1, %2 duplicates")
                           .arg(fixed(completeness, 3))
                           .arg(duplicates));
            }
            if (none) {
                line(QStringLiteral("| %1 | playing, no capture | – | – | %2 / %3 | – | – | – | – "
                                    "| %4 | – | – | – "
                                    "| – |")
                         .arg(sizeText, fixed(shown, 0), fixed(expected, 0), fixed(cpu)));
            } else {
                line(QStringLiteral(
                         "| %1 | %2 | %3 | %4 | %5 / %6 | %7 | %8 | %9 | %10 | %11 | %12 |")
                         .arg(sizeText, format.toUpper(), fixed(rate), fixed(completeness, 3),
                              fixed(shown, 0), fixed(expected, 0), fixed(duplicates, 0),
                              fixed(files, 0), ffmpegRate)
                         .arg(ratio, fixed(cpu), fixed(bytes / 1e6, 2)) +
                     QStringLiteral(" %1 | %2 | %3 |")
                         .arg(fixed(largest(field(runs, "skipped")), 0),
                              fixed(median(field(runs, "drainSeconds"))),
                              fixed(median(field(runs, "peakMemoryKiB")) / 1024.0, 0)));
            }
            all.append(entry);
        }
    }
    line(QString());
    line(QStringLiteral("### User-interface thread during continuous capture"));
    line(QString());
    line(QStringLiteral(
        "Milliseconds in one movieTimer tick, in any one event delivered on the UI thread, in "
        "one repaint of the window, and the lateness of a 1 ms probe timer (which shows any "
        "stall, whatever its cause, including waiting for a core); median or p99 over the "
        "runs' medians and p99s, max over all runs. Engine read: one Playing/Position/Time/"
        "Length call while playing, µs."));
    line(QString());
    line(QStringLiteral("| Size | Mode | Tick median / p99 / max | Any event p99 / max | Repaint "
                        "median / p99 | Probe lateness p99 / max | Engine read µs | Longest "
                        "event |"));
    line(QStringLiteral("|---|---|---|---|---|---|---|---|"));
    for (const QString& s : stallLines)
        line(s);
    results_.insert(QStringLiteral("continuous"), all);
}
