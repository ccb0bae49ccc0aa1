// The libVLC adapter driven through real clips: what the main window relies on when it
// reads Position, Playing, Time and Length, and the transport calls it makes.
#include "EngineTestSupport.h"
#include "playback/MediaTypes.h"
#include "playback/VideoSurface.h"

#include <QSignalSpy>
#include <QtTest>

enum class Gone { NothingLoaded, NotStarted, Stopped, Ended, FailedOpen };
Q_DECLARE_METATYPE(Gone)

class TstVlcEngine : public QObject {
    Q_OBJECT

    QTemporaryDir clips_;
    std::unique_ptr<VlcEngine> engine_;
    QString play_;   // 5 s, 320x240
    QString broken_; // a text file named .avi

    [[nodiscard]] bool start(const QStringList& options = {}) {
        return startPlaying(*engine_, play_, options);
    }

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is not installed");
        QStringList names{QStringLiteral("play.mp4"), QStringLiteral("broken.avi"),
                          QStringLiteral("rotated.mp4"), QStringLiteral("wide.mp4")};
        for (const QString& extension : supportedExtensionList())
            names << QStringLiteral("clip.") + extension;
        const QString error = makeTestClips(clips_.path(), names);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        play_ = clips_.filePath(QStringLiteral("play.mp4"));
        broken_ = clips_.filePath(QStringLiteral("broken.avi"));
    }
    void init() {
        engine_ = headlessEngine();
        QVERIFY2(engine_->isReady(), qPrintable(engine_->errorString()));
    }
    void cleanup() { engine_.reset(); }

    // Frames of the clip's own size (not the decoder's padded buffer) reach the surface
    // until stop; full screen is the surface's.
    void playingReportsProgress() {
        VideoSurface surface;
        engine_->attachSurface(&surface);
        engine_->addTarget(play_, {}, kReplaceAndGo, 0);
        QCOMPARE(engine_->PlaylistCount(), 1);
        // Right after the hand-over the item already counts as loaded (opening).
        QVERIFY(engine_->Position() >= 0.0f);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing() && !surface.frame().isNull(), kDeadline);
        QCOMPARE(surface.frame().size(), QSize(320, 240));
        const QImage first = surface.frame();
        const float start = engine_->Position();
        QVERIFY(start >= 0.0f && start <= 1.0f);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > start + 0.1f, kDeadline);
        QVERIFY(engine_->Position() <= 1.0f);
        QVERIFY(surface.frame() != first);
        // Whole seconds.
        QTRY_VERIFY_WITH_TIMEOUT(qAbs(engine_->Length() - 5) <= 1, kDeadline);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
        QVERIFY(engine_->Time() <= engine_->Length());
        engine_->fullscreen();
        QVERIFY(surface.isFullScreen());
        engine_->fullscreen();
        QVERIFY(!surface.isFullScreen());
        engine_->stop();
        QVERIFY(surface.frame().isNull());
        engine_->attachSurface(nullptr);
    }

    // A clip in each supported container (what each holds: tools/make-test-clips.sh).
    void containers_data() {
        QTest::addColumn<QString>("extension");
        for (const QString& extension : supportedExtensionList())
            QTest::newRow(qPrintable(extension)) << extension;
    }
    void containers() {
        QFETCH(QString, extension);
        QVERIFY(startPlaying(*engine_, clips_.filePath(QStringLiteral("clip.") + extension)));
        // MPEG program streams tell the size only a moment after the first pictures.
        QTRY_COMPARE_WITH_TIMEOUT(engine_->shownFrameSize(), QSize(176, 144), kDeadline);
        // Every clip lasts 4 s.
        QTRY_VERIFY2_WITH_TIMEOUT(qAbs(engine_->Length() - 4) <= 1,
                                  qPrintable(QString::number(engine_->Length())), kDeadline);
        const float start = engine_->Position();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > start + 0.05f, kDeadline);
    }

    // The picture as it is meant to be seen: turned upright, with square pixels.
    void pictureSize_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("stored a quarter turn round") << "rotated.mp4" << QSize(240, 320);
        QTest::newRow("pixels twice as wide") << "wide.mp4" << QSize(640, 240);
    }
    void pictureSize() {
        QFETCH(QString, clip);
        QVERIFY(startPlaying(*engine_, clips_.filePath(clip)));
        QTEST(engine_->shownFrameSize(), "shown");
    }

    // The main window switches its controls off when Position turns negative.
    void positionNegativeWithoutMedia_data() {
        QTest::addColumn<Gone>("how");
        QTest::newRow("nothing loaded") << Gone::NothingLoaded;
        QTest::newRow("loaded without starting") << Gone::NotStarted;
        QTest::newRow("stopped") << Gone::Stopped;
        QTest::newRow("after the end") << Gone::Ended;
        QTest::newRow("failed open") << Gone::FailedOpen;
    }
    void positionNegativeWithoutMedia() {
        QFETCH(Gone, how);
        QSignalSpy failures(engine_.get(), &MediaEngine::playbackFailed);
        switch (how) {
        case Gone::NothingLoaded:
            break;
        case Gone::NotStarted:
            engine_->addTarget(play_, {}, kReplace, 0);
            break;
        case Gone::Stopped:
            QVERIFY(start());
            engine_->stop();
            break;
        case Gone::Ended:
            QVERIFY(start());
            engine_->setPosition(0.9f);
            QTRY_COMPARE_WITH_TIMEOUT(engine_->Position(), -1.0f, kDeadline);
            break;
        case Gone::FailedOpen:
            engine_->addTarget(broken_, {}, kReplaceAndGo, 0);
            // The user is told: the file was no video at all.
            QTRY_COMPARE_WITH_TIMEOUT(failures.size(), 1, kDeadline);
            QCOMPARE(failures.first().first().toString(), broken_);
            QTRY_COMPARE_WITH_TIMEOUT(engine_->Position(), -1.0f, kDeadline);
            break;
        }
        // At once: the main window reads Position right after stop.
        QCOMPARE(engine_->Position(), -1.0f);
        QVERIFY(!engine_->Playing());
        QCOMPARE(engine_->PlaylistCount(), how == Gone::NothingLoaded ? 0 : 1);
        // No video: a snapshot request reports failure.
        QVERIFY(engine_->setVariable(QStringLiteral("key-snapshot"), 83));
        QVERIFY(!engine_->setVariable(QStringLiteral("key-pressed"), 83));
        QCOMPARE(engine_->pendingSnapshots(), 0);
        // A video that played and ended, or was stopped, is no failure.
        QCOMPARE(failures.size(), how == Gone::FailedOpen ? 1 : 0);
        if (how == Gone::FailedOpen)
            return;

        // Play starts the item again from its beginning.
        engine_->play();
        if (how == Gone::NothingLoaded) {
            QCOMPARE(engine_->Position(), -1.0f);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
        QVERIFY(engine_->Position() < 0.5f);
        const float start = engine_->Position();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > start, kDeadline);
    }

    // Paused while playing, or while still opening (paused on its first picture then);
    // shuttle moves a paused video by whole seconds.
    void pauseAndShuttle_data() {
        QTest::addColumn<bool>("whileOpening");
        QTest::newRow("while playing") << false;
        QTest::newRow("while opening") << true;
    }
    void pauseAndShuttle() {
        QFETCH(bool, whileOpening);
        if (whileOpening)
            engine_->addTarget(play_, {}, kReplaceAndGo, 0);
        else
            QVERIFY(start());
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing() && !engine_->currentFrame().isNull(),
                                 kDeadline);
        QVERIFY(engine_->Position() >= 0.0f);
        const int before = engine_->Time();
        engine_->shuttle(2);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= before + 2, kDeadline);
        // Still paused: the clock did not run on.
        QVERIFY(engine_->Time() <= before + 3);
        QVERIFY(!engine_->Playing());
        const int ahead = engine_->Time();
        engine_->shuttle(-1);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() < ahead, kDeadline);
        const float resumed = engine_->Position();
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > resumed, kDeadline);
    }

    // One step either way at most; the rate read back from the player.
    void rateSteps() {
        QVERIFY(start());
        const std::pair<void (VlcEngine::*)(), float> steps[] = {
            {&VlcEngine::playFaster, 1.5f},  {&VlcEngine::playFaster, 1.5f},
            {&VlcEngine::playSlower, 1.0f},  {&VlcEngine::playSlower, 0.75f},
            {&VlcEngine::playSlower, 0.75f}, {&VlcEngine::playFaster, 1.0f},
            {&VlcEngine::playSlower, 0.75f}};
        for (const auto& [press, rate] : steps) {
            (engine_.get()->*press)();
            QCOMPARE(engine_->rate(), rate);
        }
        // A new item plays at normal speed.
        engine_->addTarget(play_, {}, kReplaceAndGo, 0);
        QCOMPARE(engine_->rate(), 1.0f);
    }

    // Volume and mute are set before any audio output exists and kept across items.
    void audioIsRemembered() {
        QCOMPARE(engine_->Volume(), 50);
        engine_->setVolume(30);
        engine_->toggleMute();
        QVERIFY(start());
        QCOMPARE(engine_->Volume(), 30);
        QVERIFY(engine_->isMuted());
        engine_->setVolume(150);
        QCOMPARE(engine_->Volume(), 100);
        engine_->toggleMute();
        engine_->stop();
        QCOMPARE(engine_->Volume(), 100);
        QVERIFY(!engine_->isMuted());
    }

    void screenSaverFollowsPlayback() {
        const QStringList inhibit = itemOptions({}, {}, false, false, true);
        QVERIFY(start(inhibit));
        QTRY_VERIFY_WITH_TIMEOUT(engine_->isScreenSaverInhibited(), kDeadline);
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->isScreenSaverInhibited(), kDeadline);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->isScreenSaverInhibited(), kDeadline);
        engine_->stop();
        QVERIFY(!engine_->isScreenSaverInhibited());
        QVERIFY(start(inhibit));
        engine_->setPosition(0.9f);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->isScreenSaverInhibited(), kDeadline);
        // An item that does not ask for it.
        QVERIFY(start(inhibit));
        QTRY_VERIFY_WITH_TIMEOUT(engine_->isScreenSaverInhibited(), kDeadline);
        QVERIFY(start(itemOptions({})));
        QVERIFY(!engine_->isScreenSaverInhibited());
    }

    // libVLC that cannot start: every call is harmless and reads as nothing loaded.
    void engineThatCannotStart() {
        VlcEngine broken({QStringLiteral("--no-such-option-anywhere")});
        QVERIFY(!broken.isReady());
        QVERIFY(!broken.errorString().isEmpty());
        broken.addTarget(play_, {}, kReplaceAndGo, 0);
        broken.play();
        broken.pause();
        broken.shuttle(1);
        broken.stop();
        QCOMPARE(broken.Position(), -1.0f);
        QVERIFY(!broken.Playing());
        QCOMPARE(broken.Time(), 0);
        QCOMPARE(broken.Length(), 0);
        QVERIFY(!requestSnapshot(broken));
    }
};

QTEST_MAIN(TstVlcEngine)
#include "tst_vlcengine.moc"
