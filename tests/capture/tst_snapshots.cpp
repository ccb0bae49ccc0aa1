// Snapshots of the real engine's pictures: exactly the frame on screen, in its true colours,
// written in order without blocking the caller.
#include "capture/CaptureService.h"
#include "capture/FrameExport.h"
#include "capture/SheetLayout.h"
#include "capture/SnapshotNaming.h"
#include "playback/media/FrameReader.h"
#include "support/EngineTestSupport.h"
#include "support/ImagePixels.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

class TstSnapshots : public QObject {
    Q_OBJECT

    QTemporaryDir clips_;
    std::unique_ptr<QTemporaryDir> shots_;
    MediaService media_;
    std::unique_ptr<VlcEngine> engine_;
    std::unique_ptr<CaptureService> capture_;

    // Plays the clip with snapshots going to the folder; false when it does not play.
    [[nodiscard]] bool start(const QString& clip, const QString& folder, bool jpeg = false) {
        capture_->setTarget({folder, QStringLiteral("IMG_"), jpeg, false, clip});
        return startPlaying(*engine_, clips_.filePath(clip));
    }
    // Asks for one snapshot and waits for it; the image written, null on failure.
    [[nodiscard]] QImage shoot() {
        QSignalSpy written(capture_.get(), &CaptureService::written);
        if (!capture_->snapshot() || !written.wait(kDeadline))
            return {};
        return QImage(written.at(0).at(0).toString());
    }

    // Exports the job and waits for it to end: what it said (files written, problem), or
    // nothing when it did not end in time.
    struct Exported {
        int written = 0;
        QString problem;
    };
    [[nodiscard]] static std::optional<Exported> exportFrames(const ExportJob& job,
                                                              int waitMs = kDeadline * 3) {
        FrameExport exporter;
        QSignalSpy finished(&exporter, &FrameExport::finished);
        exporter.start(job);
        if (finished.isEmpty() && !finished.wait(waitMs))
            return std::nullopt;
        return Exported{finished.at(0).at(0).toInt(), finished.at(0).at(1).toString()};
    }

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is not installed");
        const QStringList clips{
            "play.mp4",         "play.mpg",          "wide.vob",         "bars709.mp4",
            "bars601.mp4",      "bars-untagged.mp4", "bars709full.mp4",  "bars709-10bit.mp4",
            "bars2020.mp4",     "barspq.mp4",        "barshlg.mp4",      "rampq.mp4",
            "counter.mp4",      "counter2997.mp4",   "cut.mp4",          "scenes.mp4",
            "counter-ts.ts",    "counter-wrap.ts",   "counter-late.mkv", "counter-negative.mkv",
            "counter23976.mp4", "counter-vfr.mkv",   "counter-1.mp4",    "counter-2.avi",
            "counter-long.avi", "counter-noise.mp4", "counter-joined.ts"};
        const QString error = makeTestClips(clips_.path(), clips);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    void init() {
        shots_ = std::make_unique<QTemporaryDir>();
        engine_ = headlessEngine(media_);
        capture_ = std::make_unique<CaptureService>(*engine_, media_);
    }
    void cleanup() {
        capture_.reset();
        engine_.reset();
        shots_.reset();
    }

    // Playing, then paused: each snapshot is the frame on screen when it was asked for.
    void frameOnScreen() {
        QVERIFY(start("play.mp4", shots_->filePath("play.mp4 Images")));
        // The first picture may still be being identified when other options take over: it
        // goes where it was taken for.
        QSignalSpy written(capture_.get(), &CaptureService::written);
        QVERIFY(capture_->snapshot());
        capture_->setTarget({shots_->filePath("elsewhere"), QStringLiteral("NEW_"), true});
        QVERIFY(written.wait(kDeadline));
        QCOMPARE(written.at(0).at(0).toString(), shots_->filePath("play.mp4 Images/IMG_00001.png"));
        capture_->setTarget({shots_->filePath("play.mp4 Images"), QStringLiteral("IMG_")});
        QCOMPARE(shoot().size(), QSize(320, 240));
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing(), kDeadline);
        // The paused picture is found in the file, so that its image says which frame it is.
        QTRY_VERIFY_WITH_TIMEOUT(engine_->currentFrame().frameNumber >= 0, kDeadline);
        const VideoFrame onScreen = engine_->currentFrame();
        const QImage image = shoot();
        QCOMPARE(rgbPixels(image), rgbPixels(onScreen.toImage()));
        QCOMPARE(image.text(QStringLiteral("Frame Number")).toLongLong(), onScreen.frameNumber);
        QVERIFY(QFileInfo::exists(shots_->filePath("play.mp4 Images/IMG_00003.png")));
    }

    // Requests every 10 ms while playing, as continuous capture makes them (or every
    // 300 ms, as timed capture), after a jump or at 1.5 times the speed: each frame shown is
    // written once, and each image says exactly which frame it is (frame n is grey level n)
    // and when that frame starts.
    void frameIdentity_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<double>("fps");
        QTest::addColumn<int>("everyMs");
        QTest::addColumn<float>("jumpTo"); // a position, or negative
        QTest::addColumn<float>("rate");
        QTest::newRow("continuous") << "counter.mp4" << 25.0 << 10 << -1.0f << 1.0f;
        QTest::newRow("30000/1001 fps")
            << "counter2997.mp4" << 30000 / 1001.0 << 10 << -1.0f << 1.0f;
        QTest::newRow("timed") << "counter.mp4" << 25.0 << 300 << -1.0f << 1.0f;
        QTest::newRow("after a jump") << "counter.mp4" << 25.0 << 10 << 0.6f << 1.0f;
        QTest::newRow("1.5 times the speed") << "counter.mp4" << 25.0 << 10 << -1.0f << 1.5f;
    }
    void frameIdentity() {
        QFETCH(QString, clip);
        QFETCH(double, fps);
        QFETCH(int, everyMs);
        QFETCH(float, jumpTo);
        QFETCH(float, rate);
        QVERIFY(start(clip, shots_->path()));
        engine_->setRate(rate);
        if (jumpTo >= 0) {
            engine_->setPosition(jumpTo);
            QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 5, kDeadline);
        }
        QSignalSpy written(capture_.get(), &CaptureService::written);
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 2000 && engine_->Playing()) {
            QVERIFY(capture_->snapshot());
            QTest::qWait(everyMs);
        }
        QVERIFY(capture_->waitForDone(kDeadline * 3));
        QTRY_COMPARE_WITH_TIMEOUT(capture_->pending(), 0, kDeadline);
        QVERIFY(written.size() >= (everyMs > 100 ? 5 : 20));
        // A number is never wrong; on a starved machine (a sanitizer build) an image may
        // rarely have none, when its frame could not be identified in time.
        QSet<int> frames;
        int unnumbered = 0;
        for (const QList<QVariant>& signal : written) {
            const QImage image(signal.at(0).toString());
            const int frame = image.text(QStringLiteral("Frame Number")).toInt();
            if (image.text(QStringLiteral("Frame Number")).isEmpty()) {
                QVERIFY(image.text(QStringLiteral("Media Time ms")).isEmpty());
                ++unnumbered;
                continue;
            }
            QCOMPARE(frame % 256, qGray(image.pixel(160, 120)));
            const qint64 start = std::llround(frame * 1000.0 / fps);
            QVERIFY(qAbs(image.text(QStringLiteral("Media Time ms")).toLongLong() - start) <= 1);
            frames.insert(frame);
        }
        QVERIFY2(unnumbered * 10 <= written.size(), qPrintable(QString::number(unnumbered)));
        QCOMPARE(frames.size(), written.size() - unnumbered);
    }

    // An export onto a disk that fills up (files may grow to 64 KB: the counter's flat
    // frames fit, two noisy ones do not): the frames before the failure are all there, in
    // order, none after it (though later ones would fit again), and the message names the
    // file that could not be written.
    void exportOntoAFullDisk() {
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 64 * 1024;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const std::optional<Exported> exported = exportFrames(
            {clips_.filePath("counter-noise.mp4"), shots_->path(), "IMG_", false, 0, 600000});
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(exported);
        const QString message = exported->problem;
        QVERIFY2(message.contains("IMG_00026.png") && message.contains(qt_error_string(EFBIG)),
                 qPrintable(message));
        const QStringList files = QDir(shots_->path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), 25);
        for (int i = 0; i < 25; ++i) {
            QCOMPARE(files[i], QStringLiteral("IMG_%1.png").arg(i + 1, 5, 10, QLatin1Char('0')));
            const QImage image(shots_->filePath(files[i]));
            QCOMPARE(image.text(QStringLiteral("Frame Number")).toInt(), i);
        }
    }

    // Two MPEG streams joined, the clock starting again in the middle (frame n grey level
    // n): an export of all of it writes the first stream's frames, numbered, and says why
    // it stops; continuous capture goes on to the end, and no image carries a number that
    // is not its frame's (the second stream's frames repeat the first's timestamps).
    void joinedStreams() {
        const std::optional<Exported> exported = exportFrames(
            {clips_.filePath("counter-joined.ts"), shots_->path(), "IMG_", false, 0, 600000});
        QVERIFY(exported);
        QVERIFY2(exported->problem.contains("start again"), qPrintable(exported->problem));
        const QStringList files = QDir(shots_->path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), 100);
        for (int i = 0; i < files.size(); ++i) {
            const QImage image(shots_->filePath(files[i]));
            QCOMPARE(image.text(QStringLiteral("Frame Number")).toInt(), i);
            QVERIFY(qAbs(qGray(image.pixel(160, 120)) - i) <= 2);
        }
        const QString captured = shots_->filePath(QStringLiteral("captured"));
        capture_->setTarget({captured, QStringLiteral("IMG_"), false, false, "joined"});
        QVERIFY(startPlaying(*engine_, clips_.filePath("counter-joined.ts")));
        QSignalSpy written(capture_.get(), &CaptureService::written);
        while (engine_->Playing()) {
            (void)capture_->snapshot();
            QTest::qWait(10);
        }
        QVERIFY(capture_->waitForDone(kDeadline * 3));
        int numbered = 0;
        int second = 0;
        for (const QList<QVariant>& signal : written) {
            const QImage image(signal.at(0).toString());
            const int grey = qGray(image.pixel(160, 120));
            second += grey > 110;
            if (image.text(QStringLiteral("Frame Number")).isEmpty())
                continue;
            ++numbered;
            QVERIFY2(qAbs(image.text(QStringLiteral("Frame Number")).toInt() - grey) <= 2,
                     qPrintable(signal.at(0).toString()));
        }
        QVERIFY(numbered > 0);
        QVERIFY(second > 25);
    }

    // An MPEG program stream tells its shape only once decoding has begun: its first
    // pictures are real pictures all the same, and later ones come at 16:9.
    void programStream() {
        QVERIFY(start("wide.vob", shots_->path()));
        const QImage first = shoot();
        QSet<QRgb> colours;
        for (int y = 0; y < first.height(); y += 16)
            for (int x = 0; x < first.width(); x += 16)
                colours.insert(first.pixel(x, y));
        QVERIFY2(colours.size() > 8, "a flat picture");
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
        QCOMPARE(shoot().size(), QSize(512, 288));
        // Its picture is taken at its own size (320x240), not stretched into the decoder's
        // padded one (320x256) and squeezed back: the image is the decoded frame's pixels.
        QVERIFY(start("play.mpg", shots_->path()));
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing() && engine_->currentFrame().frameNumber >= 0,
                                 kDeadline);
        const QImage shot = rgbPixels(shoot());
        FrameReader reader(clips_.filePath("play.mpg"));
        QVERIFY(reader.seekToFrame(shot.text("Frame Number").toLongLong()));
        const QImage decoded = rgbPixels(reader.next()->toImage());
        QCOMPARE(shot.size(), decoded.size());
        double difference = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                difference += std::abs(qGray(shot.pixel(x, y)) - qGray(decoded.pixel(x, y)));
        difference /= double(shot.width()) * shot.height();
        QVERIFY2(difference < 0.1, qPrintable(QString::number(difference)));
    }

    // Paused, five steps on and one back, each captured: frame n shows grey level n, and
    // the number written into each image is the frame's. (Which frame the first step
    // starts from while a picture is still on its way from the decoder as playback pauses
    // is not defined closely enough to test; the steps start from a settled pause.)
    void frameExactSteps() {
        QVERIFY(start("counter.mp4", shots_->path()));
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing() && engine_->currentFrame().frameNumber >= 0,
                                 kDeadline);
        QList<QImage> images;
        for (int step = 0; step < 6; ++step) {
            const quint64 before = engine_->currentFrame().serial;
            step < 5 ? engine_->nextFrame() : engine_->previousFrame();
            // A picture still on its way when playback paused is not the step's: that one
            // comes with its frame number.
            QTRY_VERIFY_WITH_TIMEOUT(engine_->currentFrame().serial != before &&
                                         engine_->currentFrame().frameNumber >= 0,
                                     kDeadline);
            images << shoot();
        }
        for (int i = 0; i < 6; ++i) {
            const int frame = images[i].text(QStringLiteral("Frame Number")).toInt();
            QCOMPARE(qGray(images[i].pixel(160, 120)), frame);
            QCOMPARE(frame,
                     images[0].text(QStringLiteral("Frame Number")).toInt() + (i < 5 ? i : 3));
        }
        QCOMPARE(images[5], images[3]);
        QCOMPARE(images[5].text(QStringLiteral("Video")), QStringLiteral("counter.mp4"));
    }

    // Every frame of a range, once and in order, from the frame on screen at the start to
    // the one at the end: frame n is grey level n and says it is frame n. A range past the
    // end stops at the last frame; a video that breaks off, or a folder that cannot be
    // written, ends the export with a problem, and the frames before it are all there.
    void exportEveryFrame_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QString>("folder"); // empty: a fresh temporary one
        QTest::addColumn<qint64>("fromMs");
        QTest::addColumn<qint64>("toMs");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count"); // -1: some, short of the range
        QTest::addColumn<bool>("problem");
        QTest::newRow("frames 50 to 99") << "counter.mp4"
                                         << "" << 2000LL << 3960LL << 50 << 50 << false;
        QTest::newRow("between frames") << "counter.mp4"
                                        << "" << 2010LL << 2050LL << 50 << 2 << false;
        QTest::newRow("past the end") << "counter.mp4"
                                      << "" << 9000LL << 60000LL << 225 << 25 << false;
        QTest::newRow("broken off") << "cut.mp4"
                                    << "" << 0LL << 9960LL << 0 << -1 << true;
        QTest::newRow("unwritable") << "counter.mp4"
                                    << "/dev/null/shots" << 0LL << 9960LL << 0 << 0 << true;
    }
    void exportEveryFrame() {
        QFETCH(QString, clip);
        QFETCH(QString, folder);
        QFETCH(qint64, fromMs);
        QFETCH(qint64, toMs);
        QFETCH(int, first);
        QFETCH(int, count);
        if (folder.isEmpty())
            folder = shots_->path();
        const std::optional<Exported> exported =
            exportFrames({clips_.filePath(clip), folder, "IMG_", false, fromMs, toMs});
        QVERIFY(exported);
        const int written = exported->written;
        QTEST(!exported->problem.isEmpty(), "problem");
        if (count >= 0)
            QCOMPARE(written, count);
        else
            QVERIFY2(written > 25 && written < 240, qPrintable(QString::number(written)));
        const QStringList files = QDir(folder).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), written);
        for (int i = 0; i < written; ++i) {
            const QImage image(QDir(folder).filePath(files[i]));
            QCOMPARE(image.text(QStringLiteral("Frame Number")).toInt(), first + i);
            QVERIFY(qAbs(qGray(image.pixel(160, 120)) - (first + i)) <= 1);
        }
    }

    // Two exports into one folder at once (as from two windows): neither stops at a name
    // the other took; between them every number is used once.
    void exportsSharingAFolder() {
        FrameExport one, two;
        QSignalSpy oneFinished(&one, &FrameExport::finished);
        QSignalSpy twoFinished(&two, &FrameExport::finished);
        one.start({clips_.filePath("counter.mp4"), shots_->path(), "IMG_", false, 0, 3960});
        two.start({clips_.filePath("counter.mp4"), shots_->path(), "IMG_", false, 0, 3960});
        QTRY_VERIFY_WITH_TIMEOUT(oneFinished.size() == 1 && twoFinished.size() == 1, kDeadline * 3);
        QCOMPARE(oneFinished.at(0).at(1).toString() + twoFinished.at(0).at(1).toString(),
                 QString());
        QStringList expected;
        for (int n = 1; n <= 200; ++n)
            expected << snapshotFileName("IMG_", n, false);
        QCOMPARE(QDir(shots_->path()).entryList(QDir::Files, QDir::Name), expected);
    }

    // Awkward timestamps: a video that does not start at 0, crosses
    // its clock's wrap, runs at 24000/1001 or at a varying rate, or has one or two frames.
    // Exported, every frame comes once and in order, numbered by its place (frame n is grey
    // level n); paused, steps on and back go one frame at a time, each captured with its
    // own number.
    void awkwardTimestamps_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<int>("frames");
        for (const char* clip : {"counter-ts.ts", "counter-wrap.ts", "counter-late.mkv",
                                 "counter-negative.mkv", "counter23976.mp4", "counter-vfr.mkv"})
            QTest::newRow(clip) << clip << 100;
        QTest::newRow("one frame") << "counter-1.mp4" << 1;
        QTest::newRow("two frames") << "counter-2.avi" << 2;
        QTest::newRow("AVI: B-frames, a header claiming 57211 s") << "counter-long.avi" << 100;
    }
    void awkwardTimestamps() {
        QFETCH(QString, clip);
        QFETCH(int, frames);
        const std::optional<Exported> exported =
            exportFrames({clips_.filePath(clip), shots_->path(), "IMG_", false, 0, 600000});
        QVERIFY(exported);
        QCOMPARE(exported->problem, QString());
        const QStringList files = QDir(shots_->path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files.size(), frames);
        qint64 lastMs = -1;
        for (int i = 0; i < frames; ++i) {
            const QImage image(shots_->filePath(files[i]));
            QCOMPARE(image.text(QStringLiteral("Frame Number")).toInt(), i);
            QVERIFY(qAbs(qGray(image.pixel(160, 120)) - i) <= 1);
            const qint64 ms = image.text(QStringLiteral("Media Time ms")).toLongLong();
            QVERIFY2(ms > lastMs && ms < 600000, qPrintable(QString::number(ms)));
            lastMs = ms;
        }
        // A video of a frame or two may end before it could be paused.
        capture_->setTarget({shots_->filePath(QStringLiteral("steps")), QStringLiteral("IMG_"),
                             false, false, clip});
        engine_->load(clips_.filePath(clip), LoadMode::ReplaceAndPlay);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->currentFrame().isNull(), kDeadline);
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing() && engine_->currentFrame().frameNumber >= 0,
                                 kDeadline);
        QList<int> numbers{int(engine_->currentFrame().frameNumber)};
        for (const int step : {1, 1, -1}) {
            step > 0 ? engine_->nextFrame() : engine_->previousFrame();
            const int expected = std::clamp(numbers.last() + step, 0, frames - 1);
            QTRY_COMPARE_WITH_TIMEOUT(engine_->currentFrame().frameNumber, qint64(expected),
                                      kDeadline);
            const QImage image = shoot();
            QCOMPARE(image.text(QStringLiteral("Frame Number")).toInt(), expected);
            QVERIFY(qAbs(qGray(image.pixel(160, 120)) - expected) <= 1);
            numbers << expected;
        }
    }

    // The frames each choice picks are the ones written, found by seeking where that is
    // quicker (frame n of the counter clip is grey level n; 25 frames a second); a sheet
    // is as large as asked and keeps where each thumbnail comes from.
    void exportChosenFrames_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("setting"); // seconds, or a number of frames
        QTest::addColumn<qint64>("fromMs");
        QTest::addColumn<qint64>("toMs");
        QTest::addColumn<QList<qint64>>("frames");
        QTest::addColumn<QString>("clip");
        using Frames = QList<qint64>;
        const int interval = int(ExportMode::Interval), evenly = int(ExportMode::Evenly);
        QTest::newRow("every second")
            << interval << 1.0 << 0LL << 4000LL << Frames{0, 25, 50, 75, 100} << "counter.mp4";
        QTest::newRow("every half second, between frames")
            << interval << 0.5 << 2010LL << 3000LL << Frames{50, 62} << "counter.mp4";
        QTest::newRow("range shorter than the interval")
            << interval << 60.0 << 1000LL << 3000LL << Frames{25} << "counter.mp4";
        QTest::newRow("seven spread evenly")
            << evenly << 7.0 << 0LL << 9960LL << Frames{17, 53, 89, 125, 160, 196, 232}
            << "counter.mp4";
        QTest::newRow("more than there are")
            << evenly << 10.0 << 2000LL << 2120LL << Frames{50, 51, 52, 53} << "counter.mp4";
        QTest::newRow("contact sheet") << int(ExportMode::ContactSheet) << 6.0 << 0LL << 9960LL
                                       << Frames{20, 62, 104, 145, 187, 229} << "counter.mp4";
        QTest::newRow("one per scene") << int(ExportMode::PerScene) << 0.0 << 0LL << 7000LL
                                       << Frames{0, 50, 90, 150} << "scenes.mp4";
    }
    void exportChosenFrames() {
        QFETCH(int, mode);
        QFETCH(double, setting);
        QFETCH(QList<qint64>, frames);
        QFETCH(QString, clip);
        ExportJob job{clips_.filePath(clip), shots_->path(), "IMG_", false};
        QFETCH(qint64, fromMs);
        QFETCH(qint64, toMs);
        job.fromMs = fromMs;
        job.toMs = toMs;
        job.choice.mode = ExportMode(mode);
        job.choice.intervalSeconds = setting;
        job.choice.count = int(setting);
        job.choice.columns = 3;
        job.choice.rows = 2;
        job.choice.thumbnailWidth = 160;
        const std::optional<Exported> exported = exportFrames(job);
        QVERIFY(exported);
        QCOMPARE(exported->problem, QString());
        const QStringList files = QDir(shots_->path()).entryList(QDir::Files, QDir::Name);
        if (job.choice.mode == ExportMode::ContactSheet) {
            QCOMPARE(files, QStringList{QStringLiteral("IMG_sheet_00001.png")});
            const QImage sheet(shots_->filePath(files.first()));
            QCOMPARE(sheet.size(), sheetLayoutFor(QSize(320, 240), 3, 2, 160).size);
            for (int i = 0; i < frames.size(); ++i) {
                const QString cell = QStringLiteral("Thumbnail %1 ").arg(i + 1);
                QCOMPARE(sheet.text(cell + QStringLiteral("Frame Number")).toLongLong(), frames[i]);
                QCOMPARE(sheet.text(cell + QStringLiteral("Media Time ms")).toLongLong(),
                         frames[i] * 40);
            }
            return;
        }
        QCOMPARE(files.size(), frames.size());
        for (int i = 0; i < frames.size(); ++i) {
            const QImage image(shots_->filePath(files[i]));
            QCOMPARE(image.text(QStringLiteral("Frame Number")).toLongLong(), frames[i]);
            if (clip == QLatin1String("counter.mp4"))
                QVERIFY(qAbs(qGray(image.pixel(160, 120)) - int(frames[i])) <= 1);
        }
    }

    // Colour bars coded with each matrix, range and depth, and placed in BT.2020 with its
    // SDR, PQ and HLG transfers, come out in their true colours: the centre of each 75 %
    // bar within 3 levels of 191 or 0 per channel. In BT.2020 a dark channel of BT.709's
    // saturated colours is a difference of large numbers, which 10 bits code only to about
    // 1/800 of white: there it is within 1/400 of white in linear light (at most 21 levels
    // above 0, not a visible difference).
    void trueColours_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<double>("darkLight");
        QTest::newRow("BT.709") << "bars709.mp4" << 0.0;
        QTest::newRow("BT.601") << "bars601.mp4" << 0.0;
        QTest::newRow("untagged HD") << "bars-untagged.mp4" << 0.0;
        QTest::newRow("BT.709 full range") << "bars709full.mp4" << 0.0;
        QTest::newRow("BT.709 10 bits") << "bars709-10bit.mp4" << 0.0;
        QTest::newRow("BT.2020 SDR") << "bars2020.mp4" << 0.0025;
        QTest::newRow("PQ") << "barspq.mp4" << 0.0025;
        QTest::newRow("HLG") << "barshlg.mp4" << 0.0025;
    }
    void trueColours() {
        QFETCH(QString, clip);
        QFETCH(double, darkLight);
        QVERIFY(start(clip, shots_->path()));
        const QImage image = shoot();
        // Gray, yellow, cyan, green, magenta, red, blue: which channels are lit.
        constexpr int kLit[7][3] = {{1, 1, 1}, {1, 1, 0}, {0, 1, 1}, {0, 1, 0},
                                    {1, 0, 1}, {1, 0, 0}, {0, 0, 1}};
        for (int bar = 0; bar < 7; ++bar) {
            const QRgb pixel = image.pixel((2 * bar + 1) * image.width() / 14, image.height() / 2);
            const int channels[3] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
            for (int c = 0; c < 3; ++c)
                QVERIFY2(qAbs(channels[c] - 191 * kLit[bar][c]) <= 3 ||
                             (!kLit[bar][c] && std::pow(channels[c] / 255.0, 2.4) <= darkLight),
                         qPrintable(QStringLiteral("bar %1: %2,%3,%4")
                                        .arg(bar)
                                        .arg(channels[0])
                                        .arg(channels[1])
                                        .arg(channels[2])));
        }
    }

    // Exported as 16-bit PNG of its own signal, a PQ video keeps its HDR: the file says
    // BT.2020 and PQ (cICP) and the grey bar holds PQ's code for 101 nits (75 % grey at
    // 203-nit white), not the screen's.
    void hdrExport() {
        ExportJob job{clips_.filePath("barspq.mp4"), shots_->path(), "IMG_", false, 0, 0};
        job.keepSignal = true;
        const std::optional<Exported> exported = exportFrames(job, kDeadline);
        QVERIFY(exported);
        QCOMPARE(exported->written, 1);
        QFile file(shots_->filePath("IMG_00001.png"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains(QByteArray("cICP\x09\x10\x00\x01", 8)));
        const QImage image(file.fileName());
        QCOMPARE(image.depth(), 64);
        const QRgba64 grey = image.pixelColor(image.width() / 14, image.height() / 2).rgba64();
        QVERIFY2(qAbs(grey.green() / 65535.0 - 0.5091) < 0.002,
                 qPrintable(QString::number(grey.green())));
    }

    // A PQ grey ramp from 0 to 1,000 nits, on screen and in the snapshot: rising left to
    // right, its highlights (200 nits on) rolled off over many levels rather than clipped.
    void hdrHighlights() {
        QVERIFY(start("rampq.mp4", shots_->path()));
        const QImage image = shoot();
        QSet<int> highlights;
        int previous = 0;
        for (int x = 0; x < image.width(); ++x) {
            const int level = qGray(image.pixel(x, image.height() / 2));
            QVERIFY2(level >= previous, qPrintable(QStringLiteral("at %1").arg(x)));
            previous = level;
            if (x >= image.width() / 5)
                highlights.insert(level);
        }
        QVERIFY2(highlights.size() >= 20, qPrintable(QString::number(highlights.size())));
    }
};

QTEST_MAIN(TstSnapshots)
#include "tst_snapshots.moc"
