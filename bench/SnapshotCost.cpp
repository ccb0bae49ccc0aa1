#include "bench/SnapshotCost.h"

#include "bench/BenchWait.h"
#include "bench/ChildProcess.h"
#include "capture/CaptureService.h"
#include "playback/media/MediaService.h"
#include "playback/vlc/VlcEngine.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

constexpr int kWarmUpSnapshots = 2;
constexpr int kDeadlineMs = 30000;

static bool writeRawRgb(const QImage& frame, const QString& path) {
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const char*>(rgb.constScanLine(y));
        if (file.write(line, qint64(rgb.width()) * 3) != qint64(rgb.width()) * 3)
            return false;
    }
    return true;
}

namespace {
struct Shot {
    bool ok = false;
    double wallMs = 0;
    double cpuMs = 0;
    QString path;
};

Shot takeSnapshot(CaptureService& capture) {
    Shot shot;
    QEventLoop loop;
    const auto written =
        QObject::connect(&capture, &CaptureService::written, &loop, [&](const QString& path) {
            shot.path = path;
            shot.ok = true;
            loop.quit();
        });
    const auto failed =
        QObject::connect(&capture, &CaptureService::failed, &loop, [&](const QString& reason) {
            std::fprintf(stderr, "snapshot failed: %s\n", qPrintable(reason));
            loop.quit();
        });
    const double cpu = processCpuMs();
    const qint64 start = monotonicNs();
    if (capture.snapshot())
        loop.exec();
    shot.wallMs = double(monotonicNs() - start) / 1e6;
    shot.cpuMs = processCpuMs() - cpu;
    QObject::disconnect(written);
    QObject::disconnect(failed);
    return shot;
}
} // namespace

int runSnapshotCost(const QString& clip, bool jpeg, int runs, const QString& outDir) {
    QDir().mkpath(outDir);
    MediaService media;
    VlcEngine engine(media, {QStringLiteral("--vout=dummy"), QStringLiteral("--aout=dummy")});
    if (!engine.isReady()) {
        std::fprintf(stderr, "%s\n", qPrintable(engine.errorString()));
        return 1;
    }
    CaptureService capture(engine, media);
    capture.setTarget({outDir, QStringLiteral("IMG_"), jpeg, false});
    engine.load(clip, LoadMode::ReplaceAndPlay);
    // A second and a half in, past the opening frames, then paused.
    if (!waitUntil([&] { return engine.Playing() && engine.framesShown() >= 38; }, kDeadlineMs)) {
        std::fprintf(stderr, "the clip did not play: %s\n", qPrintable(clip));
        return 1;
    }
    engine.pause();
    if (!waitUntil([&] { return !engine.Playing() && engine.Position() >= 0; }, kDeadlineMs))
        return 1;
    waitFor(500);
    const QImage frame = engine.currentFrame().toImage();
    const QString rawPath = QDir(outDir).filePath(QStringLiteral("frame.rgb"));
    if (frame.isNull() || !writeRawRgb(frame, rawPath))
        return 1;

    // CPU of the paused player with nothing asked of it, which every snapshot pays too.
    const double idleCpu = processCpuMs();
    waitFor(1000);
    const double pausedCpuPercent = (processCpuMs() - idleCpu) / 10.0;

    for (int i = 0; i < kWarmUpSnapshots; ++i)
        (void)takeSnapshot(capture);
    QJsonArray wall;
    QJsonArray cpu;
    QJsonArray bytes;
    QString last;
    for (int i = 0; i < runs; ++i) {
        waitFor(150);
        const Shot shot = takeSnapshot(capture);
        if (!shot.ok)
            return 1;
        wall.append(shot.wallMs);
        cpu.append(shot.cpuMs);
        bytes.append(QFileInfo(shot.path).size());
        last = shot.path;
    }
    engine.stop();
    const QJsonObject result{{QStringLiteral("width"), frame.width()},
                             {QStringLiteral("height"), frame.height()},
                             {QStringLiteral("frame"), rawPath},
                             {QStringLiteral("file"), last},
                             {QStringLiteral("pausedCpuPercent"), pausedCpuPercent},
                             {QStringLiteral("wallMs"), wall},
                             {QStringLiteral("cpuMs"), cpu},
                             {QStringLiteral("bytes"), bytes}};
    std::printf("%s\n", QJsonDocument(result).toJson(QJsonDocument::Compact).constData());
    return 0;
}
