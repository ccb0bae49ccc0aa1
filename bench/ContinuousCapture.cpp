#include "bench/ContinuousCapture.h"

#include "bench/BenchAppFolder.h"
#include "bench/BenchApplication.h"
#include "bench/BenchPlatform.h"
#include "bench/BenchStats.h"
#include "bench/BenchWait.h"
#include "bench/ChildProcess.h"
#include "bench/ImageCount.h"
#include "capture/CaptureService.h"
#include "playback/media/MediaService.h"
#include "playback/vlc/VlcEngine.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "shell/MainForm.h"

#include <QDir>
#include <QEventLoop>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWindow>

#include <cstdio>

constexpr int kDeadlineMs = 30000;
// A burst at 4K leaves a backlog that is written while the clip plays on, then at full
// speed: completeness counts it once it is drained.
constexpr int kDrainMs = 180000;
// Frames shown before the measurement starts: playback has settled by then.
constexpr quint64 kSettleFrames = 10;

int runContinuousCapture(BenchApplication& app, const QString& clip, const QString& format,
                         double seconds, double fps, const QString& outDir) {
    const bool capture = format != QLatin1String("none");
    Settings wanted;
    wanted.imageFormat = format == QLatin1String("jpg") ? 1 : 0;
    wanted.snapshotFolder = outDir;
    QDir().mkpath(outDir);
    const BenchAppFolder folder(QCoreApplication::applicationDirPath(), wanted);
    if (!folder.isValid())
        return 1;

    BenchPlatform platform(folder.path());
    Settings settings;
    MediaService media;
    VlcEngine engine(media, {QStringLiteral("--aout=dummy")});
    if (!engine.isReady()) {
        std::fprintf(stderr, "%s\n", qPrintable(engine.errorString()));
        return 1;
    }
    int result = 1;
    {
        CaptureService captureService(engine, media);
        MainForm form(settings, engine, captureService, media, platform,
                      SettingsLocation{folder.path(), false});
        form.Form_Load();
        form.show();
        (void)waitUntil([&] { return form.windowHandle() && form.windowHandle()->isExposed(); },
                        kDeadlineMs);
        if (!form.openFromCommandLine(clip) ||
            !waitUntil([&] { return engine.Playing() && engine.framesShown() >= kSettleFrames; },
                       kDeadlineMs)) {
            std::fprintf(stderr, "the clip did not play: %s\n", qPrintable(clip));
            return 1;
        }
        auto* movieTimer = form.findChild<QTimer*>(QStringLiteral("movieTimer"));

        // The six reads of a playing tick, many times over: what one read costs.
        constexpr int kReads = 2000;
        const qint64 readStart = monotonicNs();
        for (int i = 0; i < kReads; ++i) {
            (void)engine.Playing();
            (void)engine.Position();
            (void)engine.Time();
            (void)engine.Length();
            (void)engine.Time();
            (void)engine.Length();
        }
        const double readUs = double(monotonicNs() - readStart) / 1e3 / (kReads * 6);

        bool inWindow = true;
        int writtenInWindow = 0;
        QObject::connect(&captureService, &CaptureService::written, &form, [&] {
            if (inWindow)
                ++writtenInWindow;
        });
        const quint64 frames = engine.framesShown();
        const double cpu = processCpuMs();
        const qint64 start = monotonicNs();
        app.startRecording(movieTimer);
        if (capture)
            form.player().toggleContinuous();
        waitFor(int(seconds * 1000));
        const bool endedEarly = capture && !form.player().modes().continuous();
        if (capture && form.player().modes().continuous())
            form.player().toggleContinuous();
        const double elapsed = double(monotonicNs() - start) / 1e9;
        const quint64 shown = engine.framesShown() - frames;
        const double cpuPercent = (processCpuMs() - cpu) / elapsed / 10.0;
        app.stopRecording();
        inWindow = false;

        const qint64 drainStart = monotonicNs();
        (void)captureService.waitForDone(kDrainMs);
        const double drainSeconds = double(monotonicNs() - drainStart) / 1e9;
        waitFor(100);
        form.player().stop();

        const ImageCount images = countImages(outDir);
        const double expected = fps * elapsed;
        const QJsonObject json{
            {QStringLiteral("format"), format},
            {QStringLiteral("seconds"), elapsed},
            {QStringLiteral("framesExpected"), expected},
            {QStringLiteral("framesShown"), double(shown)},
            {QStringLiteral("files"), images.files},
            {QStringLiteral("distinct"), images.distinct},
            {QStringLiteral("duplicates"), images.files - images.distinct - images.unreadable},
            {QStringLiteral("unreadable"), images.unreadable},
            {QStringLiteral("drainSeconds"), drainSeconds},
            {QStringLiteral("skipped"), captureService.skipped()},
            {QStringLiteral("bytesPerImage"),
             images.files > 0 ? double(images.bytes) / images.files : 0.0},
            {QStringLiteral("completeness"), expected > 0 ? images.distinct / expected : 0},
            {QStringLiteral("imagesPerSecond"), writtenInWindow / elapsed},
            {QStringLiteral("endedEarly"), endedEarly},
            {QStringLiteral("cpuPercent"), cpuPercent},
            {QStringLiteral("engineReadUs"), readUs},
            {QStringLiteral("tickMedianMs"), median(app.tickMs())},
            {QStringLiteral("tickP99Ms"), percentile(app.tickMs(), 99)},
            {QStringLiteral("tickMaxMs"), largest(app.tickMs())},
            {QStringLiteral("ticks"), double(app.tickMs().size())},
            {QStringLiteral("handlerP99Ms"), percentile(app.handlerMs(), 99)},
            {QStringLiteral("handlerMaxMs"), largest(app.handlerMs())},
            {QStringLiteral("paintMedianMs"), median(app.paintMs())},
            {QStringLiteral("paintP99Ms"), percentile(app.paintMs(), 99)},
            {QStringLiteral("paintMaxMs"), largest(app.paintMs())},
            {QStringLiteral("probeP99Ms"), percentile(app.probeLatenessMs(), 99)},
            {QStringLiteral("probeMaxMs"), largest(app.probeLatenessMs())},
            {QStringLiteral("slowest"), app.slowestHandler()},
            {QStringLiteral("peakMemoryKiB"),
             double(peakMemoryKiBFrom(QStringLiteral("/proc/self/status")))},
            {QStringLiteral("messages"), platform.messages}};
        std::printf("%s\n", QJsonDocument(json).toJson(QJsonDocument::Compact).constData());
        result = platform.messages == 0 ? 0 : 1;
    }
    return result;
}
