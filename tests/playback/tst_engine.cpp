// The libVLC adapter on real clips: what the main window relies on when it reads Position,
// Playing, Time and Length, the transport calls it makes, and the pictures it shows.
#include "playback/MediaTypes.h"
#include "support/EngineTestSupport.h"

#include <QSignalSpy>
#include <QtTest>

enum class Gone { NothingLoaded, NotStarted, Stopped, Ended, FailedOpen };

class TstEngine : public QObject {
    Q_OBJECT

    QTemporaryDir clips_;
    MediaService media_;
    std::unique_ptr<VlcEngine> engine_;

    [[nodiscard]] QString clip(const QString& name) const { return clips_.filePath(name); }
    [[nodiscard]] QSize shownSize() const { return engine_->currentFrame().displaySize(); }

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is not installed");
        QStringList names{QStringLiteral("play.mp4"),      QStringLiteral("broken.avi"),
                          QStringLiteral("rotated.mp4"),   QStringLiteral("wide.mp4"),
                          QStringLiteral("twotracks.mkv"), QStringLiteral("sizechange.ts"),
                          QStringLiteral("audio.mp4"),     QStringLiteral("still.mp4")};
        for (const QString& extension : supportedExtensionList())
            names << QStringLiteral("clip.") + extension;
        const QString error = makeTestClips(clips_.path(), names);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    void init() {
        engine_ = headlessEngine(media_);
        QVERIFY2(engine_->isReady(), qPrintable(engine_->errorString()));
    }
    void cleanup() { engine_.reset(); }

    // Every container plays and reports its length; each picture comes at the size it is
    // meant to be seen at (upright, square pixels, not the decoder's padded buffer), from
    // the track being played.
    void pictures_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("shown");
        QTest::addColumn<int>("seconds");
        // A raw MPEG-2 video stream says nothing of its length.
        for (const QString& extension : supportedExtensionList())
            QTest::newRow(qPrintable(extension))
                << QStringLiteral("clip.") + extension << QSize(176, 144)
                << (extension == "m2v" ? -1 : 4);
        QTest::newRow("stored a quarter turn round") << "rotated.mp4" << QSize(240, 320) << 3;
        QTest::newRow("pixels twice as wide") << "wide.mp4" << QSize(640, 240) << 3;
        QTest::newRow("padded H.264") << "play.mp4" << QSize(320, 240) << 5;
        QTest::newRow("the second track played") << "twotracks.mkv" << QSize(1280, 720) << 3;
    }
    void pictures() {
        QFETCH(QString, name);
        QFETCH(QSize, shown);
        QFETCH(int, seconds);
        QSignalSpy frames(engine_.get(), &MediaEngine::frameChanged);
        QVERIFY(startPlaying(*engine_, clip(name)));
        // MPEG program streams tell the size only a moment after the first pictures.
        QTRY_COMPARE_WITH_TIMEOUT(shownSize(), shown, kDeadline);
        if (seconds >= 0)
            QTRY_VERIFY_WITH_TIMEOUT(qAbs(engine_->Length() - seconds) <= 1, kDeadline);
        const float start = engine_->Position();
        const quint64 serial = engine_->currentFrame().serial;
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Position() > start + 0.05f, kDeadline);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->currentFrame().serial > serial, kDeadline);
        // While playing a picture says where the player is, not which frame it is.
        QVERIFY(engine_->currentFrame().approxMs >= 0 && engine_->currentFrame().frameNumber < 0);
        QVERIFY(frames.size() >= 2);
        engine_->stop();
        QVERIFY(engine_->currentFrame().isNull());
    }

    // The main window switches its controls off when Position turns negative; Play starts
    // the item again from its beginning.
    void positionNegativeWithoutMedia_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("nothing loaded") << int(Gone::NothingLoaded);
        QTest::newRow("loaded without starting") << int(Gone::NotStarted);
        QTest::newRow("stopped") << int(Gone::Stopped);
        QTest::newRow("after the end") << int(Gone::Ended);
        QTest::newRow("failed open") << int(Gone::FailedOpen);
    }
    void positionNegativeWithoutMedia() {
        QFETCH(int, how);
        QSignalSpy failures(engine_.get(), &MediaEngine::playbackFailed);
        const QString play = clip(QStringLiteral("play.mp4"));
        if (how == int(Gone::NotStarted))
            engine_->load(play, LoadMode::Replace);
        if (how == int(Gone::Stopped) || how == int(Gone::Ended))
            QVERIFY(startPlaying(*engine_, play));
        if (how == int(Gone::Stopped))
            engine_->stop();
        if (how == int(Gone::Ended))
            engine_->setPosition(0.9f);
        if (how == int(Gone::FailedOpen)) {
            engine_->load(clip(QStringLiteral("broken.avi")), LoadMode::ReplaceAndPlay);
            // The user is told: the file was no video at all.
            QTRY_COMPARE_WITH_TIMEOUT(failures.size(), 1, kDeadline);
        }
        QTRY_COMPARE_WITH_TIMEOUT(engine_->Position(), -1.0f, kDeadline);
        QVERIFY(!engine_->Playing());
        QCOMPARE(engine_->PlaylistCount(), how == int(Gone::NothingLoaded) ? 0 : 1);
        // A video that played and ended, or was stopped, is no failure.
        QCOMPARE(failures.size(), how == int(Gone::FailedOpen) ? 1 : 0);
        if (how == int(Gone::FailedOpen) || how == int(Gone::NothingLoaded))
            return;
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
        QVERIFY(engine_->Position() < 0.5f);
    }

    // Paused while playing, or while still opening (then on its first picture); shuttle
    // moves a paused video and its picture by whole seconds; the speed holds until another item.
    void pauseShuttleRateAudio_data() {
        QTest::addColumn<bool>("whileOpening");
        QTest::newRow("while playing") << false;
        QTest::newRow("while opening") << true;
    }
    void pauseShuttleRateAudio() {
        QFETCH(bool, whileOpening);
        const QString play = clip(QStringLiteral("play.mp4"));
        if (whileOpening)
            engine_->load(play, LoadMode::ReplaceAndPlay);
        else
            QVERIFY(startPlaying(*engine_, play));
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing() && !engine_->currentFrame().isNull(),
                                 kDeadline);
        const int before = engine_->Time();
        const quint64 shown = engine_->currentFrame().serial;
        engine_->shuttle(2);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= before + 2, kDeadline);
        // The picture moves with it.
        QTRY_VERIFY_WITH_TIMEOUT(engine_->currentFrame().serial > shown, kDeadline);
        QVERIFY(engine_->Time() <= before + 3 && !engine_->Playing());
        engine_->setRate(1.5f);
        QCOMPARE(engine_->rate(), 1.5f);
        engine_->play();
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Playing(), kDeadline);
        // A new item plays at normal speed.
        engine_->load(play, LoadMode::ReplaceAndPlay);
        QCOMPARE(engine_->rate(), 1.0f);
    }

    // A stream whose picture grows mid-way, twice: the later pictures come at their own
    // size, not squeezed into the first, and at their own shape, though libVLC gives them
    // in the decoder's padded buffer (480 lines come as 482).
    void sizeChangedMidStream() {
        QVERIFY(startPlaying(*engine_, clip(QStringLiteral("sizechange.ts"))));
        for (const QSize size : {QSize(640, 480), QSize(1280, 720)}) {
            QTRY_VERIFY_WITH_TIMEOUT(shownSize().width() == size.width(), kDeadline);
            QTRY_COMPARE_WITH_TIMEOUT(shownSize(), size, kDeadline);
        }
    }

    // A sound file plays to its end without a picture and is not called damaged; the
    // engine knows it holds no video, as it knows a video does.
    void soundOnly() {
        QSignalSpy failures(engine_.get(), &MediaEngine::playbackFailed);
        engine_->load(clip(QStringLiteral("audio.mp4")), LoadMode::ReplaceAndPlay);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->hasNoVideo(), kDeadline);
        QTRY_COMPARE_WITH_TIMEOUT(engine_->Position(), -1.0f, kDeadline * 2);
        QCOMPARE(failures.size(), 0);
        QVERIFY(startPlaying(*engine_, clip(QStringLiteral("play.mp4"))));
        QVERIFY(!engine_->hasNoVideo());
    }

    // A subtitle file beside the video is listed and not shown; chosen, its text is in
    // the pictures (and so in the snapshots), off again, it is gone.
    void subtitles() {
        QFile srt(clip(QStringLiteral("still.srt")));
        QVERIFY(srt.open(QIODevice::WriteOnly));
        // One a second: a line already showing when its track is chosen stays hidden.
        for (int s = 0; s < 20; ++s)
            srt.write(QStringLiteral("%1\n00:00:%2,000 --> 00:00:%2,900\nSUBTITLE %1\n\n")
                          .arg(s + 1)
                          .arg(s, 2, 10, QLatin1Char('0'))
                          .toUtf8());
        srt.close();
        // Distinct colours in the lower half of the picture on screen: one on a plain
        // picture, many with text on it.
        const auto coloursBelow = [this] {
            const QImage image = engine_->currentFrame().toImage();
            QSet<QRgb> colours;
            for (int y = image.height() / 2; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    colours.insert(image.pixel(x, y));
            return colours.size();
        };
        QVERIFY(startPlaying(*engine_, clip(QStringLiteral("still.mp4"))));
        QTRY_COMPARE_WITH_TIMEOUT(engine_->subtitleTracks().size(), 1, kDeadline);
        QCOMPARE(engine_->subtitleTrack(), -1);
        QTRY_COMPARE_WITH_TIMEOUT(coloursBelow(), 1, kDeadline);
        engine_->setSubtitleTrack(engine_->subtitleTracks().first().id);
        QTRY_VERIFY_WITH_TIMEOUT(coloursBelow() > 4, kDeadline);
        engine_->setSubtitleTrack(-1);
        QTRY_COMPARE_WITH_TIMEOUT(coloursBelow(), 1, kDeadline);
        QFile::remove(srt.fileName());
    }

    void screenSaverFollowsPlayback() {
        const QString play = clip(QStringLiteral("play.mp4"));
        QVERIFY(startPlaying(*engine_, play, true));
        QTRY_VERIFY_WITH_TIMEOUT(engine_->keepsScreenAwake(), kDeadline);
        // The option changed in the middle of playback holds at once.
        engine_->setKeepScreenAwake(false);
        QVERIFY(!engine_->keepsScreenAwake());
        engine_->setKeepScreenAwake(true);
        QVERIFY(engine_->keepsScreenAwake());
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->keepsScreenAwake(), kDeadline);
        engine_->play();
        engine_->setPosition(0.95f);
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->keepsScreenAwake(), kDeadline);
        QVERIFY(startPlaying(*engine_, play, false));
        QVERIFY(!engine_->keepsScreenAwake());
    }

    // libVLC that cannot start: every call is harmless and reads as nothing loaded.
    void engineThatCannotStart() {
        VlcEngine broken(media_, {QStringLiteral("--no-such-option-anywhere")});
        QVERIFY(!broken.isReady() && !broken.errorString().isEmpty());
        broken.load(clip(QStringLiteral("play.mp4")), LoadMode::ReplaceAndPlay);
        broken.play();
        QCOMPARE(broken.Position(), -1.0f);
        QVERIFY(broken.currentFrame().isNull());
    }
};

QTEST_MAIN(TstEngine)
#include "tst_engine.moc"
