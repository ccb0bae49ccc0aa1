#include "bench/Report.h"

#include "bench/BenchAppFolder.h"
#include "bench/BenchStats.h"
#include "bench/ChildProcess.h"
#include "bench/Ffmpeg.h"
#include "capture/SnapshotEncoder.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <unistd.h>

namespace {
constexpr double kFps = 25;
constexpr double kSnapshotRatioTarget = 1.5;
constexpr double kCompletenessTarget = 0.95;
constexpr double kPngRateTarget = 0.9;
constexpr double kStallTargetMs = 16;
constexpr double kIdleTargetPercent = 2;
constexpr double kStartupTargetMs = 500;
constexpr int kThroughputFrames = 50;

QSize parseSize(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('x'));
    return parts.size() == 2 ? QSize(parts[0].toInt(), parts[1].toInt()) : QSize();
}

QString fixed(double value, int decimals = 1) {
    return QString::number(value, 'f', decimals);
}

std::vector<double> numbers(const QJsonArray& array) {
    std::vector<double> values;
    for (const QJsonValue& v : array)
        values.push_back(v.toDouble());
    return values;
}

std::vector<double> field(const std::vector<QJsonObject>& runs, const char* name) {
    std::vector<double> values;
    for (const QJsonObject& run : runs)
        values.push_back(run.value(QLatin1String(name)).toDouble());
    return values;
}

QString cpuModel() {
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (line.startsWith("model name"))
            return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    }
    return {};
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).section(QLatin1Char(' '), 0, 2)
               : QString();
}

class Report {
public:
    explicit Report(ReportOptions options)
        : o_(std::move(options)), ffmpeg_(QDir(o_.work).filePath(QStringLiteral("ffmpeg.log"))) {}

    int run();

private:
    [[nodiscard]] bool wants(const char* part) const {
        return o_.parts.isEmpty() || o_.parts.contains(QLatin1String(part));
    }
    [[nodiscard]] QString clip(const QString& size) const {
        return QDir(o_.clips).filePath(QStringLiteral("clip-%1.mp4").arg(size));
    }
    [[nodiscard]] QString work(const QString& name) const { return QDir(o_.work).filePath(name); }
    [[nodiscard]] QStringList childEnvironment() const {
        return {QStringLiteral("XDG_RUNTIME_DIR=") + runtime_.path(),
                QStringLiteral("FRAMORA_VLC_ARGS=--aout=dummy")};
    }
    // Runs this program with arguments and returns the JSON object it printed last.
    [[nodiscard]] QJsonObject self(const QStringList& arguments) const;
    void line(const QString& text) {
        lines_ << text;
        std::printf("%s\n", qPrintable(text));
        std::fflush(stdout);
    }
    void target(const QString& what, bool met, const QString& figures) {
        targets_ << QStringLiteral("| %1 | %2 | %3 |")
                        .arg(what, met ? QStringLiteral("met") : QStringLiteral("**missed**"),
                             figures);
    }

    void machine();
    void snapshotCosts();
    void continuousCapture();
    void idleAndPlaying();
    void startup();

    ReportOptions o_;
    Ffmpeg ffmpeg_;
    QTemporaryDir runtime_;
    QStringList lines_;
    QStringList targets_;
    QJsonObject results_;
    bool failed_ = false;
};

QJsonObject Report::self(const QStringList& arguments) const {
    const ChildResult child =
        runChild(QStringList{QCoreApplication::applicationFilePath()} + arguments,
                 childEnvironment(), true, work(QStringLiteral("children.log")));
    const QList<QByteArray> lines = child.output.trimmed().split('\n');
    const QJsonObject json = QJsonDocument::fromJson(lines.last()).object();
    if (!child.exited || json.isEmpty())
        std::fprintf(stderr, "framora_bench %s: failed (see %s)\n",
                     qPrintable(arguments.join(QLatin1Char(' '))),
                     qPrintable(work(QStringLiteral("children.log"))));
    return child.exited ? json : QJsonObject();
}

int Report::run() {
    QDir().mkpath(o_.work);
    machine();
    if (wants("snapshot"))
        snapshotCosts();
    if (wants("continuous"))
        continuousCapture();
    if (wants("idle"))
        idleAndPlaying();
    if (wants("startup"))
        startup();
    line(QString());
    line(QStringLiteral("### Targets"));
    line(QString());
    line(QStringLiteral("| Target | Verdict | Figures |"));
    line(QStringLiteral("|---|---|---|"));
    for (const QString& t : targets_)
        line(t);
    results_.insert(QStringLiteral("loadAverageAfter"), loadAverage());
    line(QString());
    line(QStringLiteral("Load average (1, 5, 15 min) after the run: %1").arg(loadAverage()));

    QFile md(work(QStringLiteral("results.md")));
    if (md.open(QIODevice::WriteOnly))
        md.write(lines_.join(QLatin1Char('\n')).toUtf8() + '\n');
    QFile json(work(QStringLiteral("results.json")));
    if (json.open(QIODevice::WriteOnly))
        json.write(QJsonDocument(results_).toJson());
    return failed_ ? 1 : 0;
}

void Report::machine() {
    const QString cpu = cpuModel();
    const QString load = loadAverage();
    line(QStringLiteral("## Capture benchmark"));
    line(QString());
    line(QStringLiteral("Machine: %1 cores (nproc), %2, %3; %4. Load average before the run: %5.")
             .arg(QThread::idealThreadCount())
             .arg(cpu, QSysInfo::prettyProductName(), ffmpeg_.version(), load));
    line(QStringLiteral("Medians over %1 runs; clips: testsrc2 with temporal noise, H.264, 25 fps, "
                        "12 s. Our PNG: deflate level %2, no row filter; our JPG: quality %3.")
             .arg(o_.runs)
             .arg(kSnapshotPngLevel)
             .arg(kSnapshotJpegQuality));
    results_.insert(QStringLiteral("cpu"), cpu);
    results_.insert(QStringLiteral("cores"), QThread::idealThreadCount());
    results_.insert(QStringLiteral("loadAverageBefore"), load);
}

void Report::snapshotCosts() {
    line(QString());
    line(QStringLiteral("### Cost per snapshot, paused"));
    line(QString());
    line(QStringLiteral("Ours: request to file complete (wall) and CPU of the whole process "
                        "meanwhile. ffmpeg: the same frame from raw RGB24 on disk, minus "
                        "ffmpeg's start-up on a null output. Ratio = ours / ffmpeg."));
    line(QString());
    line(QStringLiteral(
        "| Size | Format | Ours wall ms | Ours CPU ms | ffmpeg setting | ffmpeg wall ms "
        "| ffmpeg CPU ms | Ratio wall | Ratio CPU | Ours bytes | ffmpeg bytes | "
        "PSNR ours / ffmpeg dB |"));
    line(QStringLiteral("|---|---|---|---|---|---|---|---|---|---|---|---|"));
    QJsonArray all;
    for (const QString& sizeText : o_.sizes) {
        for (const bool jpeg : {false, true}) {
            const QString format = jpeg ? QStringLiteral("jpg") : QStringLiteral("png");
            const QString out = work(QStringLiteral("snapshot-%1-%2").arg(sizeText, format));
            QDir(out).removeRecursively();
            const QJsonObject ours = self({QStringLiteral("snapshot"), clip(sizeText), format,
                                           QString::number(o_.runs), out});
            if (ours.isEmpty()) {
                failed_ = true;
                continue;
            }
            const QSize size(ours.value(QStringLiteral("width")).toInt(),
                             ours.value(QStringLiteral("height")).toInt());
            const QString raw = ours.value(QStringLiteral("frame")).toString();
            const double oursWall = median(numbers(ours.value(QStringLiteral("wallMs")).toArray()));
            const double oursCpu = median(numbers(ours.value(QStringLiteral("cpuMs")).toArray()));
            const double oursBytes = median(numbers(ours.value(QStringLiteral("bytes")).toArray()));
            const double oursPsnr =
                ffmpeg_.psnr(raw, size, ours.value(QStringLiteral("file")).toString());

            struct Variant {
                QString name;
                QStringList options;
                bool target;
            };
            std::vector<Variant> variants;
            if (jpeg) {
                variants = {{QStringLiteral("default"), {}, true},
                            {QStringLiteral("-q:v 2"),
                             {QStringLiteral("-q:v"), QStringLiteral("2")},
                             false}};
            } else {
                variants = {
                    {QStringLiteral("default"), {}, true},
                    {QStringLiteral("-compression_level %1").arg(kSnapshotPngLevel),
                     {QStringLiteral("-compression_level"), QString::number(kSnapshotPngLevel)},
                     false}};
            }
            std::vector<double> nullWall;
            std::vector<double> nullCpu;
            std::vector<std::vector<double>> wall(variants.size());
            std::vector<std::vector<double>> cpu(variants.size());
            for (int i = 0; i < o_.runs; ++i) {
                const Ffmpeg::Cost null = ffmpeg_.encodeFrame(raw, size, {}, {});
                nullWall.push_back(null.wallMs);
                nullCpu.push_back(null.cpuMs);
                for (std::size_t v = 0; v < variants.size(); ++v) {
                    const Ffmpeg::Cost c = ffmpeg_.encodeFrame(
                        raw, size, variants[v].options,
                        QDir(out).filePath(QStringLiteral("ffmpeg-%1.%2").arg(v).arg(format)));
                    wall[v].push_back(c.wallMs);
                    cpu[v].push_back(c.cpuMs);
                }
            }
            QJsonObject entry{{QStringLiteral("size"), sizeText},
                              {QStringLiteral("format"), format},
                              {QStringLiteral("ours"), ours},
                              {QStringLiteral("oursPsnr"), oursPsnr},
                              {QStringLiteral("ffmpegNullWallMs"), median(nullWall)},
                              {QStringLiteral("ffmpegNullCpuMs"), median(nullCpu)}};
            for (std::size_t v = 0; v < variants.size(); ++v) {
                const QString file =
                    QDir(out).filePath(QStringLiteral("ffmpeg-%1.%2").arg(v).arg(format));
                const double fWall = std::max(0.1, median(wall[v]) - median(nullWall));
                const double fCpu = std::max(0.1, median(cpu[v]) - median(nullCpu));
                const double fPsnr = ffmpeg_.psnr(raw, size, file);
                const double bytes = double(QFileInfo(file).size());
                const auto psnrText = [](double p) {
                    return p < 0       ? QStringLiteral("?")
                           : p >= 1000 ? QStringLiteral("lossless")
                                       : fixed(p, 2);
                };
                line(QStringLiteral(
                         "| %1 | %2 | %3 | %4 | %5 | %6 | %7 | %8 | %9 | %10 | %11 | %12 |")
                         .arg(sizeText, format.toUpper(), fixed(oursWall), fixed(oursCpu),
                              variants[v].name +
                                  (variants[v].target ? QStringLiteral(" (target)") : QString()),
                              fixed(fWall), fixed(fCpu), fixed(oursWall / fWall, 2),
                              fixed(oursCpu / fCpu, 2))
                         .arg(qint64(oursBytes))
                         .arg(qint64(bytes))
                         .arg(psnrText(oursPsnr) + QStringLiteral(" / ") + psnrText(fPsnr)));
                entry.insert(QStringLiteral("ffmpeg %1 wallMs").arg(variants[v].name), fWall);
                entry.insert(QStringLiteral("ffmpeg %1 cpuMs").arg(variants[v].name), fCpu);
                entry.insert(QStringLiteral("ffmpeg %1 bytes").arg(variants[v].name), bytes);
                entry.insert(QStringLiteral("ffmpeg %1 psnr").arg(variants[v].name), fPsnr);
                if (variants[v].target)
                    target(QStringLiteral("%1 snapshot at %2 ≤ %3× ffmpeg default (wall)")
                               .arg(format.toUpper(), sizeText)
                               .arg(kSnapshotRatioTarget),
                           oursWall / fWall <= kSnapshotRatioTarget,
                           QStringLiteral("%1 ms vs %2 ms = %3× (CPU %4×)")
                               .arg(fixed(oursWall), fixed(fWall), fixed(oursWall / fWall, 2),
                                    fixed(oursCpu / fCpu, 2)));
            }
            if (!jpeg && oursPsnr < 1000) {
                line(QStringLiteral("| %1 | PNG | **not lossless: PSNR %2** | | | | | | | | | |")
                         .arg(sizeText, fixed(oursPsnr, 2)));
                failed_ = true;
            }
            all.append(entry);
        }
    }
    results_.insert(QStringLiteral("snapshot"), all);
}

void Report::continuousCapture() {
    line(QString());
    line(QStringLiteral("### Continuous capture, %1 s of playback at normal speed, real main "
                        "window, 10 ms timer")
             .arg(o_.seconds));
    line(QString());
    line(
        QStringLiteral("Completeness = distinct images (pixel hashes) ÷ frames of the clip in that "
                       "time (25 fps × time). ffmpeg PNG = images/s of `ffmpeg -threads 2 -c:v "
                       "png -compression_level %1` on the same frames (raw RGB24 on disk), minus "
                       "start-up.")
            .arg(kSnapshotPngLevel));
    line(QString());
    line(QStringLiteral("| Size | Format | Images/s | Completeness | Frames shown / clip frames | "
                        "Duplicates (max) | Files | ffmpeg PNG images/s | Ours ÷ ffmpeg | "
                        "Process CPU % |"));
    line(QStringLiteral("|---|---|---|---|---|---|---|---|---|---|"));
    QStringList stallLines;
    QJsonArray all;
    for (const QString& sizeText : o_.sizes) {
        const QSize size = parseSize(sizeText);
        for (const QString& format :
             {QStringLiteral("none"), QStringLiteral("jpg"), QStringLiteral("png")}) {
            std::vector<QJsonObject> runs;
            QString keep;
            const int count = format == QLatin1String("none") ? std::max(1, o_.runs / 2) : o_.runs;
            for (int i = 0; i < count; ++i) {
                const QString out =
                    work(QStringLiteral("continuous-%1-%2-%3").arg(sizeText, format).arg(i));
                QDir(out).removeRecursively();
                const QJsonObject r =
                    self({QStringLiteral("continuous"), clip(sizeText), format,
                          QString::number(o_.seconds), QString::number(kFps), out});
                if (r.isEmpty()) {
                    failed_ = true;
                    continue;
                }
                runs.push_back(r);
                if (!keep.isEmpty())
                    QDir(keep).removeRecursively();
                keep = out;
            }
            if (runs.empty())
                continue;
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
            const double cpu = median(field(runs, "cpuPercent"));
            const double tickP99 = median(field(runs, "tickP99Ms"));
            const double tickMax = largest(field(runs, "tickMaxMs"));
            const double handlerP99 = median(field(runs, "handlerP99Ms"));
            const double handlerMax = largest(field(runs, "handlerMaxMs"));
            const double probeP99 = median(field(runs, "probeP99Ms"));
            const double probeMax = largest(field(runs, "probeMaxMs"));
            QString slowest;
            double slowestMs = -1;
            for (const QJsonObject& r : runs) {
                if (r.value(QStringLiteral("handlerMaxMs")).toDouble() > slowestMs) {
                    slowestMs = r.value(QStringLiteral("handlerMaxMs")).toDouble();
                    slowest = r.value(QStringLiteral("slowest")).toString();
                }
            }
            stallLines << QStringLiteral("| %1 | %2 | %3 / %4 | %5 / %6 | %7 / %8 | %9 |")
                              .arg(sizeText,
                                   format == QLatin1String("none")
                                       ? QStringLiteral("playing, no capture")
                                       : format.toUpper(),
                                   fixed(tickP99, 2), fixed(tickMax), fixed(handlerP99, 2),
                                   fixed(handlerMax), fixed(probeP99, 2), fixed(probeMax))
                              .arg(slowest);
            const double worstP99 = std::max({tickP99, handlerP99, probeP99});
            target(QStringLiteral("UI stall p99 < %1 ms, %2 %3")
                       .arg(kStallTargetMs)
                       .arg(sizeText, format == QLatin1String("none")
                                          ? QStringLiteral("playing")
                                          : format.toUpper() + QStringLiteral(" capture")),
                   worstP99 < kStallTargetMs,
                   QStringLiteral("tick %1, handler %2, probe lateness %3 ms (max %4)")
                       .arg(fixed(tickP99, 2), fixed(handlerP99, 2), fixed(probeP99, 2),
                            fixed(std::max({tickMax, handlerMax, probeMax}))));

            QString ffmpegRate = QStringLiteral("–");
            QString ratio = QStringLiteral("–");
            if (format == QLatin1String("png")) {
                // ffmpeg encodes the very frames we wrote, from raw RGB24 on disk.
                const QString raw = work(QStringLiteral("frames-%1.rgb").arg(sizeText));
                QString first;
                const QFileInfoList dirs =
                    QDir(keep).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot);
                if (!dirs.isEmpty())
                    first = dirs.first().absoluteFilePath() + QStringLiteral("/IMG_%05d.png");
                if (!first.isEmpty() && ffmpeg_.toRawRgb(first, raw, kThroughputFrames)) {
                    const int frames =
                        int(QFileInfo(raw).size() / (qint64(size.width()) * size.height() * 3));
                    const QString outDir = work(QStringLiteral("ffmpeg-png-%1").arg(sizeText));
                    std::vector<double> nullWall;
                    std::vector<double> pngWall;
                    for (int i = 0; i < o_.runs; ++i) {
                        QDir(outDir).removeRecursively();
                        QDir().mkpath(outDir);
                        nullWall.push_back(ffmpeg_.encodeFrames(raw, size, {}, {}).wallMs);
                        pngWall.push_back(
                            ffmpeg_
                                .encodeFrames(raw, size,
                                              {QStringLiteral("-threads"), QStringLiteral("2"),
                                               QStringLiteral("-c:v"), QStringLiteral("png"),
                                               QStringLiteral("-compression_level"),
                                               QString::number(kSnapshotPngLevel)},
                                              QDir(outDir).filePath(QStringLiteral("%05d.png")))
                                .wallMs);
                    }
                    QDir(outDir).removeRecursively();
                    QFile::remove(raw);
                    const double seconds =
                        std::max(1.0, median(pngWall) - median(nullWall)) / 1000.0;
                    const double ffRate = frames / seconds;
                    ffmpegRate = fixed(ffRate);
                    ratio = fixed(rate / ffRate, 2);
                    entry.insert(QStringLiteral("ffmpegImagesPerSecond"), ffRate);
                    entry.insert(QStringLiteral("ffmpegFrames"), frames);
                    target(QStringLiteral("PNG images/s at %1 ≥ %2× ffmpeg (2 threads, level %3)")
                               .arg(sizeText)
                               .arg(kPngRateTarget)
                               .arg(kSnapshotPngLevel),
                           rate >= kPngRateTarget * ffRate,
                           QStringLiteral("%1 vs %2 images/s = %3×")
                               .arg(fixed(rate), fixed(ffRate), ratio));
                }
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
            if (!keep.isEmpty())
                QDir(keep).removeRecursively();
            if (format == QLatin1String("none")) {
                line(QStringLiteral(
                         "| %1 | playing, no capture | – | – | %2 / %3 | – | – | – | – | %4 |")
                         .arg(sizeText, fixed(shown, 0), fixed(expected, 0), fixed(cpu)));
            } else {
                line(QStringLiteral("| %1 | %2 | %3 | %4 | %5 / %6 | %7 | %8 | %9 | %10 | %11 |")
                         .arg(sizeText, format.toUpper(), fixed(rate), fixed(completeness, 3),
                              fixed(shown, 0), fixed(expected, 0), fixed(duplicates, 0),
                              fixed(files, 0), ffmpegRate)
                         .arg(ratio, fixed(cpu)));
            }
            all.append(entry);
        }
    }
    line(QString());
    line(QStringLiteral("### User-interface thread during continuous capture"));
    line(QString());
    line(QStringLiteral("Time spent in one movieTimer tick, in any one event delivered on the UI "
                        "thread, and the lateness of a 1 ms probe timer; p99 (median over runs) / "
                        "max (over all runs), ms."));
    line(QString());
    line(QStringLiteral("| Size | Mode | movieTimer tick p99 / max | Any event p99 / max | Probe "
                        "lateness p99 / max | Longest event |"));
    line(QStringLiteral("|---|---|---|---|---|---|"));
    for (const QString& s : stallLines)
        line(s);
    results_.insert(QStringLiteral("continuous"), all);
}

void Report::idleAndPlaying() {
    line(QString());
    line(QStringLiteral(
        "### The program itself (real executable under Xvfb, FRAMORA_VLC_ARGS=--aout=dummy)"));
    line(QString());
    Settings settings;
    settings.snapshotFolder = work(QStringLiteral("shots"));
    const BenchAppFolder folder(QFileInfo(o_.framora).absolutePath(), settings);
    const QString exe = folder.isValid() ? folder.addExecutable(o_.framora) : QString();
    if (exe.isEmpty()) {
        failed_ = true;
        return;
    }
    const QString log = work(QStringLiteral("framora.log"));
    const auto cpuPercent = [&](const QStringList& argv, int settleMs, int measureMs,
                                qint64* peakKiB) {
        RunningChild child(argv, childEnvironment(), log);
        if (!child.started())
            return -1.0;
        QThread::msleep(settleMs);
        const double cpu0 = child.cpuMs();
        const qint64 t0 = monotonicNs();
        QThread::msleep(measureMs);
        const double cpu1 = child.cpuMs();
        const double elapsedMs = double(monotonicNs() - t0) / 1e6;
        if (peakKiB)
            *peakKiB = child.peakMemoryKiB();
        if (!child.running())
            return -1.0;
        return (cpu1 - cpu0) / elapsedMs * 100.0;
    };
    std::vector<double> idle;
    std::vector<double> play720;
    std::vector<double> play1080;
    std::vector<double> peak1080;
    for (int i = 0; i < o_.runs; ++i) {
        idle.push_back(cpuPercent({exe}, 3000, 10000, nullptr));
        play720.push_back(
            cpuPercent({exe, clip(QStringLiteral("1280x720"))}, 1200, 10000, nullptr));
        qint64 peak = 0;
        play1080.push_back(
            cpuPercent({exe, clip(QStringLiteral("1920x1080"))}, 1200, 10000, &peak));
        peak1080.push_back(double(peak) / 1024.0);
    }
    line(QStringLiteral("| Measure | Median | Runs |"));
    line(QStringLiteral("|---|---|---|"));
    const auto runsText = [](const std::vector<double>& v, int decimals) {
        QStringList parts;
        for (double x : v)
            parts << fixed(x, decimals);
        return parts.join(QStringLiteral(", "));
    };
    line(QStringLiteral("| CPU, no video (10 ms timer ticking), %, 10 s | %1 | %2 |")
             .arg(fixed(median(idle), 2), runsText(idle, 2)));
    line(QStringLiteral("| CPU, playing 720p25, no capture, % of one core, 10 s | %1 | %2 |")
             .arg(fixed(median(play720)), runsText(play720, 1)));
    line(QStringLiteral("| CPU, playing 1080p25, no capture, % of one core, 10 s | %1 | %2 |")
             .arg(fixed(median(play1080)), runsText(play1080, 1)));
    line(QStringLiteral("| Peak memory (VmHWM) playing 1080p, MiB | %1 | %2 |")
             .arg(fixed(median(peak1080)), runsText(peak1080, 0)));
    target(QStringLiteral("Idle CPU < %1 % (no video)").arg(kIdleTargetPercent),
           median(idle) < kIdleTargetPercent, QStringLiteral("%1 %").arg(fixed(median(idle), 2)));
    results_.insert(QStringLiteral("idleCpuPercent"), median(idle));
    results_.insert(QStringLiteral("playing720CpuPercent"), median(play720));
    results_.insert(QStringLiteral("playing1080CpuPercent"), median(play1080));
    results_.insert(QStringLiteral("playing1080PeakMiB"), median(peak1080));
}

void Report::startup() {
    line(QString());
    line(QStringLiteral("### Start-up: process start to the main window's first expose"));
    line(QString());
    line(QStringLiteral("The start-up of app/main.cpp step by step inside the benchmark program "
                        "(same libraries, same objects), started afresh each run under Xvfb; the "
                        "first run warms the page cache and is left out."));
    line(QString());
    Settings settings;
    settings.snapshotFolder = work(QStringLiteral("shots"));
    const BenchAppFolder folder(QCoreApplication::applicationDirPath(), settings);
    const QString exe = folder.isValid()
                            ? folder.addExecutable(QCoreApplication::applicationFilePath())
                            : QString();
    if (exe.isEmpty()) {
        failed_ = true;
        return;
    }
    std::vector<double> total;
    std::map<QString, std::vector<double>> steps;
    const QStringList names = {QStringLiteral("applicationMs"), QStringLiteral("engineMs"),
                               QStringLiteral("windowMs"),      QStringLiteral("loadMs"),
                               QStringLiteral("showMs"),        QStringLiteral("exposedMs"),
                               QStringLiteral("paintedMs")};
    for (int i = 0; i <= o_.runs; ++i) {
        const qint64 spawned = monotonicNs();
        const ChildResult child =
            runChild({exe, QStringLiteral("startup-probe")}, childEnvironment(), true,
                     work(QStringLiteral("children.log")));
        const QJsonObject json =
            QJsonDocument::fromJson(child.output.trimmed().split('\n').last()).object();
        if (!child.exited || json.isEmpty()) {
            failed_ = true;
            continue;
        }
        if (i == 0)
            continue;
        const double execMs =
            (json.value(QStringLiteral("mainNs")).toDouble() - double(spawned)) / 1e6;
        steps[QStringLiteral("main")].push_back(execMs);
        for (const QString& name : names)
            steps[name].push_back(execMs + json.value(name).toDouble());
        total.push_back(execMs + json.value(QStringLiteral("exposedMs")).toDouble());
    }
    line(QStringLiteral(
        "| Step (ms since process start, medians) | main() | QApplication | engine (libVLC) | "
        "MainForm built | Form_Load done | show() | first expose | first paint |"));
    line(QStringLiteral("|---|---|---|---|---|---|---|---|---|"));
    QStringList cells;
    cells << fixed(median(steps[QStringLiteral("main")]));
    for (const QString& name : names)
        cells << fixed(median(steps[name]));
    line(QStringLiteral("| | ") + cells.join(QStringLiteral(" | ")) + QStringLiteral(" |"));
    target(QStringLiteral("Start-up < %1 ms to the shown window").arg(kStartupTargetMs),
           !total.empty() && median(total) < kStartupTargetMs,
           QStringLiteral("%1 ms (slowest run %2 ms)")
               .arg(fixed(median(total)), fixed(largest(total))));
    results_.insert(QStringLiteral("startupMs"), median(total));
}
} // namespace

int runReport(const ReportOptions& options) {
    Report report(options);
    return report.run();
}
