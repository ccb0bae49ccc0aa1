// Snapshots through the libVLC adapter: the exact frame on screen, written with the
// item's folder, prefix and format, numbered in order, never blocking the caller.
#include "EngineTestSupport.h"
#include "TestClips.h"
#include "playback/VideoSurface.h"
#include "playback/vlc/VlcEngine.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

#include <memory>

class TstVlcSnapshots : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void writesTheFrameOnScreen_data();
    void writesTheFrameOnScreen();
    void repeatedRequestsForOneFrameWriteItOnce();
    void continuousCaptureKeepsUp_data();
    void continuousCaptureKeepsUp();
    void previewFollowsTheItem_data();
    void previewFollowsTheItem();
    void failureIsReported();

private:
    [[nodiscard]] bool requestSnapshot();
    void startPlaying(const QStringList& options, const QString& clip = QStringLiteral("play.mp4"));

    std::unique_ptr<TestClips> clips_;
    std::unique_ptr<QTemporaryDir> shots_;
    std::unique_ptr<VlcEngine> engine_;
};

void TstVlcSnapshots::initTestCase() {
    clips_ = std::make_unique<TestClips>(
        QStringList{QStringLiteral("play.mp4"), QStringLiteral("hd.mp4")});
    if (!clips_->ffmpegFound())
        QSKIP("ffmpeg is not installed");
    QVERIFY2(clips_->error().isEmpty(), qPrintable(clips_->error()));
}

void TstVlcSnapshots::init() {
    shots_ = std::make_unique<QTemporaryDir>();
    QVERIFY(shots_->isValid());
    engine_ = std::make_unique<VlcEngine>(headlessEngineArguments());
    QVERIFY2(engine_->isReady(), qPrintable(engine_->errorString()));
}

void TstVlcSnapshots::cleanup() {
    engine_.reset();
    shots_.reset();
}

bool TstVlcSnapshots::requestSnapshot() {
    return engine_->setVariable(QStringLiteral("key-snapshot"), 83) &&
           engine_->setVariable(QStringLiteral("key-pressed"), 83);
}

void TstVlcSnapshots::startPlaying(const QStringList& options, const QString& clip) {
    engine_->addTarget(clips_->path(clip), options, kReplaceAndGo, 0);
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing() && !engine_->currentFrame().isNull(), kDeadline);
}

void TstVlcSnapshots::writesTheFrameOnScreen_data() {
    QTest::addColumn<bool>("jpeg");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QByteArray>("magic");
    QTest::newRow("PNG") << false << QStringLiteral(".png") << QByteArray("\x89PNG\r\n\x1a\n", 8);
    QTest::newRow("JPG") << true << QStringLiteral(".jpg") << QByteArray("\xff\xd8\xff", 3);
}

void TstVlcSnapshots::writesTheFrameOnScreen() {
    QFETCH(bool, jpeg);
    QFETCH(QString, suffix);
    QFETCH(QByteArray, magic);
    const QDir folder(shots_->path());
    startPlaying(itemOptions(folder.path(), QStringLiteral("IMG_"), jpeg));
    QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);

    // While playing.
    QVERIFY(requestSnapshot());
    QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, kDeadline);
    const QString first = folder.filePath(QStringLiteral("IMG_00001") + suffix);
    QCOMPARE(written.at(0).at(0).toString(), first);

    // While paused, every request writes the frame on screen again.
    engine_->pause();
    QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing(), kDeadline);
    QImage onScreen;
    for (int n = 2; n <= 3; ++n) {
        onScreen = engine_->currentFrame();
        QVERIFY(requestSnapshot());
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), n, kDeadline);
    }
    const QString third = folder.filePath(QStringLiteral("IMG_00003") + suffix);
    const QString second = folder.filePath(QStringLiteral("IMG_00002") + suffix);
    QCOMPARE(written.at(1).at(0).toString(), second);
    QCOMPARE(written.at(2).at(0).toString(), third);

    for (const QString& path : {first, second, third}) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(magic.size()), magic);
        const QImage image(path);
        QCOMPARE(image.size(), QSize(320, 240));
    }
    if (!jpeg) {
        // Lossless: the snapshot is exactly the frame on screen when it was asked for.
        const QImage shot = QImage(third).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot, onScreen.convertToFormat(QImage::Format_RGB32));
    }
}

void TstVlcSnapshots::repeatedRequestsForOneFrameWriteItOnce() {
    startPlaying(itemOptions(shots_->path()));
    engine_->pause();
    QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing(), kDeadline);
    QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
    // Asked again before the first is written: folded into it.
    QVERIFY(requestSnapshot());
    QVERIFY(requestSnapshot());
    QVERIFY(requestSnapshot());
    QVERIFY(engine_->waitForSnapshots(kDeadline));
    QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, kDeadline);
    QCOMPARE(engine_->pendingSnapshots(), 0);
}

void TstVlcSnapshots::continuousCaptureKeepsUp_data() {
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("keepsUp"); // small frames: every frame played is written
    QTest::newRow("320x240 PNG") << QStringLiteral("play.mp4") << QSize(320, 240) << true;
    // Encoding may fall behind here; the work waiting must still stay bounded.
    QTest::newRow("1280x720 PNG") << QStringLiteral("hd.mp4") << QSize(1280, 720) << false;
}

// A request every 10 ms for about two seconds of a 25 fps clip, as continuous capture
// makes them: each frame shown is written at most once, small frames at the frame rate,
// no request keeps the caller waiting and the work waiting stays bounded.
void TstVlcSnapshots::continuousCaptureKeepsUp() {
    QFETCH(QString, clip);
    QFETCH(QSize, size);
    QFETCH(bool, keepsUp);
    startPlaying(itemOptions(shots_->path()), clip);
    int mostPending = 0;
    QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
    int requests = 0;
    int refused = 0;
    qint64 slowest = 0;
    QElapsedTimer clock;
    QTimer tick;
    tick.setInterval(10);
    connect(&tick, &QTimer::timeout, this, [&] {
        if (!engine_->Playing() || engine_->Time() >= 4)
            return;
        QElapsedTimer call;
        call.start();
        if (!requestSnapshot())
            ++refused;
        slowest = qMax(slowest, call.nsecsElapsed());
        mostPending = qMax(mostPending, engine_->pendingSnapshots());
        ++requests;
    });
    const float startPosition = engine_->Position();
    clock.start();
    tick.start();
    QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() >= 2000 || !engine_->Playing(), kDeadline);
    tick.stop();
    const qint64 captured = clock.elapsed();
    const float playedSeconds = (engine_->Position() - startPosition) * 5.0f;
    QVERIFY(engine_->waitForSnapshots(kDeadline));
    QTRY_COMPARE_WITH_TIMEOUT(engine_->pendingSnapshots(), 0, kDeadline);

    QSet<QByteArray> hashes;
    for (const QList<QVariant>& signal : written) {
        const QImage image(signal.at(0).toString());
        QCOMPARE(image.size(), size);
        const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
        hashes.insert(QCryptographicHash::hash(
            QByteArrayView(pixels.constBits(), pixels.sizeInBytes()), QCryptographicHash::Sha1));
    }
    // Frames played by the clip's own clock, and at most as many as real time allows.
    const double framesPlayed = playedSeconds * 25.0;
    const double framesByWallClock = captured * 25.0 / 1000.0;
    qInfo("%d requests in %lld ms (%d refused): %lld images written, %lld distinct, for about "
          "%.0f frames played; slowest request %.3f ms; at most %d waiting",
          requests, captured, refused, qint64(written.size()), qint64(hashes.size()), framesPlayed,
          slowest / 1e6, mostPending);
    QCOMPARE(refused, 0);
    QCOMPARE(hashes.size(), written.size());
    if (keepsUp)
        QVERIFY2(written.size() >= int(framesPlayed * 0.6), "far fewer images than frames played");
    QVERIFY(written.size() > 0);
    QVERIFY(mostPending <= 2 * QThread::idealThreadCount());
    QVERIFY2(written.size() <= int(framesByWallClock) + 3, "more images than frames shown");
    QVERIFY2(slowest < 50'000'000, "a request kept the caller waiting");
}

void TstVlcSnapshots::previewFollowsTheItem_data() {
    QTest::addColumn<bool>("preview");
    QTest::newRow("snapshot-preview") << true;
    QTest::newRow("no-snapshot-preview") << false;
}

void TstVlcSnapshots::previewFollowsTheItem() {
    QFETCH(bool, preview);
    VideoSurface surface;
    surface.resize(320, 240);
    engine_->attachSurface(&surface);
    startPlaying(itemOptions(shots_->path(), QStringLiteral("P"), false, preview));
    QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
    QVERIFY(!surface.isPreviewShown());
    QVERIFY(requestSnapshot());
    QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, kDeadline);
    QCOMPARE(surface.isPreviewShown(), preview);
    if (preview)
        QTRY_VERIFY_WITH_TIMEOUT(!surface.isPreviewShown(), kDeadline);
    engine_->attachSurface(nullptr);
}

void TstVlcSnapshots::failureIsReported() {
    startPlaying(itemOptions(QDir(shots_->path()).filePath(QStringLiteral("missing/folder"))));
    QSignalSpy failed(engine_.get(), &MediaEngine::snapshotFailed);
    QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
    QVERIFY(requestSnapshot());
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, kDeadline);
    QVERIFY(!failed.at(0).at(0).toString().isEmpty());
    QCOMPARE(written.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(engine_->pendingSnapshots(), 0, kDeadline);
}

QTEST_MAIN(TstVlcSnapshots)
#include "tst_vlcsnapshots.moc"
