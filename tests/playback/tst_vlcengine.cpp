// The libVLC adapter driven through real clips: what the main window relies on when it
// reads Position, Playing, Time and Length, and the transport calls it makes.
#include "EngineTestSupport.h"
#include "TestClips.h"
#include "playback/VideoSurface.h"
#include "playback/vlc/VlcEngine.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

class TstVlcEngine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void nothingLoaded();
    void loadWithoutStarting();
    void playingReportsProgress();
    void positionNegativeOnceTheMediaIsGone_data();
    void positionNegativeOnceTheMediaIsGone();
    void playAfterStopOrEndStartsAgain_data();
    void playAfterStopOrEndStartsAgain();
    void pauseKeepsPosition();
    void pauseWhileOpeningPausesOnceItPlays();
    void shuttleMovesTime();
    void rateSteps_data();
    void rateSteps();
    void volumeIsRememberedAcrossPlayback();
    void muteIsRemembered();
    void snapshotRefusedWithoutVideo();
    void otherVariablesAreAccepted();
    void framesReachTheSurface();
    void fullscreenTogglesTheSurface();
    void screenSaverFollowsPlayback();
    void engineThatCannotStart();
    void blockingOfTransportCalls();

private:
    void startPlaying(const QString& clip, const QStringList& options = {});

    std::unique_ptr<TestClips> clips_;
    std::unique_ptr<VlcEngine> engine_;
};

void TstVlcEngine::initTestCase() {
    clips_ = std::make_unique<TestClips>(QStringList{
        QStringLiteral("play.mp4"), QStringLiteral("hd.mp4"), QStringLiteral("broken.avi")});
    if (!clips_->ffmpegFound())
        QSKIP("ffmpeg is not installed");
    QVERIFY2(clips_->error().isEmpty(), qPrintable(clips_->error()));
}

void TstVlcEngine::init() {
    engine_ = std::make_unique<VlcEngine>(headlessEngineArguments());
    QVERIFY2(engine_->isReady(), qPrintable(engine_->errorString()));
}

void TstVlcEngine::cleanup() {
    engine_.reset();
}

void TstVlcEngine::startPlaying(const QString& clip, const QStringList& options) {
    engine_->addTarget(clips_->path(clip), options, kReplaceAndGo, 0);
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
}

void TstVlcEngine::nothingLoaded() {
    QCOMPARE(engine_->Position(), -1.0f);
    QVERIFY(!engine_->Playing());
    QCOMPARE(engine_->PlaylistCount(), 0);
    QCOMPARE(engine_->Time(), 0);
    QCOMPARE(engine_->Length(), 0);
    QCOMPARE(engine_->Volume(), 50);
    // Play with an empty playlist does nothing.
    engine_->play();
    QCOMPARE(engine_->Position(), -1.0f);
}

void TstVlcEngine::loadWithoutStarting() {
    engine_->addTarget(clips_->path(QStringLiteral("play.mp4")), {}, kReplace, 0);
    QCOMPARE(engine_->PlaylistCount(), 1);
    QVERIFY(!engine_->Playing());
    QCOMPARE(engine_->Position(), -1.0f);
    engine_->play();
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
    engine_->playlistClear();
    QCOMPARE(engine_->PlaylistCount(), 0);
    QCOMPARE(engine_->Position(), -1.0f);
    QVERIFY(!engine_->Playing());
}

void TstVlcEngine::playingReportsProgress() {
    engine_->addTarget(clips_->path(QStringLiteral("play.mp4")), {}, kReplaceAndGo, 0);
    QCOMPARE(engine_->PlaylistCount(), 1);
    // Right after the hand-over the item already counts as loaded (opening).
    QVERIFY(engine_->Position() >= 0.0f);
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
    const float start = engine_->Position();
    QVERIFY(start >= 0.0f && start <= 1.0f);
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > start + 0.1f, kDeadline);
    QVERIFY(engine_->Position() <= 1.0f);
    // The clip lasts 5 s; lengths are whole seconds.
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(engine_->Length() - 5) <= 1, kDeadline);
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
    QVERIFY(engine_->Time() <= engine_->Length());
}

enum class Gone { Stop, EndOfFile, FailedOpen, PlaylistClear };
Q_DECLARE_METATYPE(Gone)

void TstVlcEngine::positionNegativeOnceTheMediaIsGone_data() {
    QTest::addColumn<Gone>("how");
    QTest::newRow("stop") << Gone::Stop;
    QTest::newRow("end of file") << Gone::EndOfFile;
    QTest::newRow("failed open") << Gone::FailedOpen;
    QTest::newRow("playlist cleared") << Gone::PlaylistClear;
}

void TstVlcEngine::positionNegativeOnceTheMediaIsGone() {
    QFETCH(Gone, how);
    QSignalSpy failures(engine_.get(), &MediaEngine::playbackFailed);
    switch (how) {
    case Gone::Stop:
        startPlaying(QStringLiteral("play.mp4"));
        engine_->stop();
        // At once: the main window reads Position right after stop.
        QCOMPARE(engine_->Position(), -1.0f);
        QCOMPARE(engine_->PlaylistCount(), 1);
        break;
    case Gone::EndOfFile:
        startPlaying(QStringLiteral("play.mp4"));
        engine_->setPosition(0.9f);
        QTRY_COMPARE_WITH_TIMEOUT(engine_->Position(), -1.0f, kDeadline);
        QCOMPARE(engine_->PlaylistCount(), 1);
        break;
    case Gone::FailedOpen:
        engine_->addTarget(clips_->path(QStringLiteral("broken.avi")), {}, kReplaceAndGo, 0);
        QTRY_COMPARE_WITH_TIMEOUT(engine_->Position(), -1.0f, kDeadline);
        // The user is told: the file was no video at all.
        QTRY_COMPARE_WITH_TIMEOUT(failures.size(), 1, kDeadline);
        QCOMPARE(failures.first().first().toString(), clips_->path(QStringLiteral("broken.avi")));
        return;
    case Gone::PlaylistClear:
        startPlaying(QStringLiteral("play.mp4"));
        engine_->playlistClear();
        QCOMPARE(engine_->Position(), -1.0f);
        break;
    }
    QVERIFY(!engine_->Playing());
    // A video that played and ended, or was stopped, is no failure.
    QVERIFY(failures.isEmpty());
}

void TstVlcEngine::playAfterStopOrEndStartsAgain_data() {
    QTest::addColumn<bool>("stopFirst");
    QTest::newRow("after stop") << true;
    QTest::newRow("after the end") << false;
}

void TstVlcEngine::playAfterStopOrEndStartsAgain() {
    QFETCH(bool, stopFirst);
    startPlaying(QStringLiteral("play.mp4"));
    if (stopFirst) {
        engine_->stop();
    } else {
        engine_->setPosition(0.9f);
        QTRY_COMPARE_WITH_TIMEOUT(engine_->Position(), -1.0f, kDeadline);
    }
    engine_->play();
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
    // From the beginning again.
    QVERIFY(engine_->Position() < 0.5f);
    const float start = engine_->Position();
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > start, kDeadline);
}

void TstVlcEngine::pauseKeepsPosition() {
    startPlaying(QStringLiteral("play.mp4"));
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > 0.1f, kDeadline);
    engine_->pause();
    QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing(), kDeadline);
    QTest::qWait(200); // the input's last position update before it came to rest
    const float paused = engine_->Position();
    QVERIFY(paused > 0.0f);
    // A paused player stays where it is; a short look is enough to see it moving if it did.
    QTest::qWait(300);
    QCOMPARE(engine_->Position(), paused);
    QVERIFY(!engine_->Playing());
    engine_->play();
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > paused, kDeadline);
}

void TstVlcEngine::pauseWhileOpeningPausesOnceItPlays() {
    engine_->addTarget(clips_->path(QStringLiteral("play.mp4")), {}, kReplaceAndGo, 0);
    engine_->pause();
    // Paused with its first frame, not stopped.
    QTRY_VERIFY_WITH_TIMEOUT(!engine_->currentFrame().isNull(), kDeadline);
    QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing(), kDeadline);
    QVERIFY(engine_->Position() >= 0.0f);
    engine_->play();
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > 0.05f, kDeadline);
}

void TstVlcEngine::shuttleMovesTime() {
    startPlaying(QStringLiteral("play.mp4"));
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
    engine_->pause();
    QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing(), kDeadline);
    const int before = engine_->Time();
    engine_->shuttle(1);
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= before + 1, kDeadline);
    QVERIFY(engine_->Time() <= before + 2);
    engine_->shuttle(-1);
    engine_->shuttle(-1);
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() < before, kDeadline);
}

void TstVlcEngine::rateSteps_data() {
    QTest::addColumn<QString>("presses"); // f = faster, s = slower
    QTest::addColumn<float>("rate");
    QTest::newRow("normal") << QString() << 1.0f;
    QTest::newRow("faster") << QStringLiteral("f") << 1.5f;
    QTest::newRow("slower") << QStringLiteral("s") << 0.75f;
    QTest::newRow("faster then slower is normal") << QStringLiteral("fs") << 1.0f;
    QTest::newRow("slower then faster is normal") << QStringLiteral("sf") << 1.0f;
    QTest::newRow("slower, faster twice") << QStringLiteral("sff") << 1.5f;
    QTest::newRow("faster, slower twice") << QStringLiteral("fss") << 0.75f;
}

void TstVlcEngine::rateSteps() {
    QFETCH(QString, presses);
    QFETCH(float, rate);
    startPlaying(QStringLiteral("play.mp4"));
    for (const QChar press : presses) {
        if (press == QLatin1Char('f'))
            engine_->playFaster();
        else
            engine_->playSlower();
    }
    QCOMPARE(engine_->rate(), rate);
    // A new item plays at normal speed.
    engine_->addTarget(clips_->path(QStringLiteral("play.mp4")), {}, kReplaceAndGo, 0);
    QCOMPARE(engine_->rate(), 1.0f);
}

void TstVlcEngine::volumeIsRememberedAcrossPlayback() {
    engine_->setVolume(30);
    QCOMPARE(engine_->Volume(), 30);
    startPlaying(QStringLiteral("play.mp4"));
    QCOMPARE(engine_->Volume(), 30);
    engine_->setVolume(70);
    QCOMPARE(engine_->Volume(), 70);
    engine_->stop();
    QCOMPARE(engine_->Volume(), 70);
    engine_->setVolume(150);
    QCOMPARE(engine_->Volume(), 100);
}

void TstVlcEngine::muteIsRemembered() {
    QVERIFY(!engine_->isMuted());
    // No guard: mute is toggled with nothing loaded too.
    engine_->toggleMute();
    QVERIFY(engine_->isMuted());
    startPlaying(QStringLiteral("play.mp4"));
    QVERIFY(engine_->isMuted());
    engine_->toggleMute();
    QVERIFY(!engine_->isMuted());
}

void TstVlcEngine::snapshotRefusedWithoutVideo() {
    QVERIFY(engine_->setVariable(QStringLiteral("key-snapshot"), 83));
    QVERIFY(!engine_->setVariable(QStringLiteral("key-pressed"), 83));
    engine_->addTarget(clips_->path(QStringLiteral("play.mp4")), {}, kReplace, 0);
    QVERIFY(!engine_->setVariable(QStringLiteral("key-pressed"), 83));
    engine_->play();
    QTRY_VERIFY_WITH_TIMEOUT(!engine_->currentFrame().isNull(), kDeadline);
    engine_->stop();
    QVERIFY(!engine_->setVariable(QStringLiteral("key-pressed"), 83));
    QCOMPARE(engine_->pendingSnapshots(), 0);
}

void TstVlcEngine::otherVariablesAreAccepted() {
    QVERIFY(engine_->setVariable(QStringLiteral("some-variable"), 1));
    // A key press that is not the snapshot key is no snapshot request.
    QVERIFY(engine_->setVariable(QStringLiteral("key-snapshot"), 83));
    QVERIFY(engine_->setVariable(QStringLiteral("key-pressed"), 84));
}

void TstVlcEngine::framesReachTheSurface() {
    VideoSurface surface;
    surface.resize(200, 100);
    engine_->attachSurface(&surface);
    startPlaying(QStringLiteral("play.mp4"));
    QTRY_VERIFY_WITH_TIMEOUT(!surface.frame().isNull(), kDeadline);
    // The clip's own size, not the decoder's padded buffer.
    QCOMPARE(surface.frame().size(), QSize(320, 240));
    const QImage first = surface.frame();
    QTRY_VERIFY_WITH_TIMEOUT(surface.frame() != first, kDeadline);
    engine_->stop();
    QVERIFY(surface.frame().isNull());
    engine_->attachSurface(nullptr);
}

void TstVlcEngine::fullscreenTogglesTheSurface() {
    QWidget window;
    auto* surface = new VideoSurface(&window);
    surface->setGeometry(10, 10, 160, 120);
    window.show();
    engine_->attachSurface(surface);
    startPlaying(QStringLiteral("play.mp4"));
    engine_->fullscreen();
    QVERIFY(surface->isFullScreen());
    QCOMPARE(surface->parentWidget(), &window);
    QCOMPARE(surface->geometry(), QRect(10, 10, 160, 120));
    engine_->fullscreen();
    QVERIFY(!surface->isFullScreen());
}

void TstVlcEngine::screenSaverFollowsPlayback() {
    const QString folder = clips_->folder();
    startPlaying(QStringLiteral("play.mp4"), itemOptions(folder, {}, false, false, true));
    QTRY_VERIFY_WITH_TIMEOUT(engine_->isScreenSaverInhibited(), kDeadline);
    engine_->pause();
    QTRY_VERIFY_WITH_TIMEOUT(!engine_->isScreenSaverInhibited(), kDeadline);
    engine_->play();
    QTRY_VERIFY_WITH_TIMEOUT(engine_->isScreenSaverInhibited(), kDeadline);
    engine_->stop();
    QVERIFY(!engine_->isScreenSaverInhibited());

    startPlaying(QStringLiteral("play.mp4"), itemOptions(folder, {}, false, false, true));
    QTRY_VERIFY_WITH_TIMEOUT(engine_->isScreenSaverInhibited(), kDeadline);
    // Another item that does not ask for it.
    startPlaying(QStringLiteral("play.mp4"), itemOptions(folder));
    QVERIFY(!engine_->isScreenSaverInhibited());
}

void TstVlcEngine::engineThatCannotStart() {
    VlcEngine broken({QStringLiteral("--no-such-option-anywhere")});
    QVERIFY(!broken.isReady());
    QVERIFY(!broken.errorString().isEmpty());
    broken.addTarget(clips_->path(QStringLiteral("play.mp4")), {}, kReplaceAndGo, 0);
    broken.play();
    broken.pause();
    broken.shuttle(1);
    broken.playFaster();
    broken.fullscreen();
    broken.toggleMute();
    broken.setPosition(0.5f);
    broken.stop();
    broken.playlistClear();
    QCOMPARE(broken.Position(), -1.0f);
    QVERIFY(!broken.Playing());
    QCOMPARE(broken.Time(), 0);
    QCOMPARE(broken.Length(), 0);
    QVERIFY(broken.setVariable(QStringLiteral("key-snapshot"), 83));
    QVERIFY(!broken.setVariable(QStringLiteral("key-pressed"), 83));
}

// Not a pass/fail test of speed: it records how long the calls that make libVLC join its
// threads keep the user-interface thread, which the player-per-start design keeps short.
void TstVlcEngine::blockingOfTransportCalls() {
    QElapsedTimer timer;
    qint64 worstStop = 0;
    qint64 worstReplace = 0;
    for (int round = 0; round < 3; ++round) {
        startPlaying(QStringLiteral("hd.mp4"));
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
        timer.start();
        engine_->stop();
        worstStop = qMax(worstStop, timer.nsecsElapsed());
        QCOMPARE(engine_->Position(), -1.0f);

        startPlaying(QStringLiteral("hd.mp4"));
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
        timer.start();
        engine_->addTarget(clips_->path(QStringLiteral("hd.mp4")), {}, kReplaceAndGo, 0);
        worstReplace = qMax(worstReplace, timer.nsecsElapsed());
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
    }
    QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
    timer.start();
    engine_.reset();
    const qint64 destroy = timer.nsecsElapsed();
    qInfo("720p playing: stop kept the UI thread %.2f ms, addTarget over a playing item %.2f ms "
          "(worst of 3); destroying the engine while playing %.2f ms",
          worstStop / 1e6, worstReplace / 1e6, destroy / 1e6);
}

QTEST_MAIN(TstVlcEngine)
#include "tst_vlcengine.moc"
