// Snapshots through the libVLC adapter: the exact frame on screen, written with the
// item's folder, prefix and format, numbered in order, never blocking the caller.
#include "EngineTestSupport.h"
#include "playback/VideoSurface.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QSet>
#include <QSignalSpy>
#include <QThread>
#include <QTimer>
#include <QtTest>

static QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class TstVlcSnapshots : public QObject {
    Q_OBJECT

    QTemporaryDir clips_;
    std::unique_ptr<QTemporaryDir> shots_;
    std::unique_ptr<VlcEngine> engine_;

    [[nodiscard]] bool start(const QStringList& options) {
        return startPlaying(*engine_, clips_.filePath(QStringLiteral("play.mp4")), options);
    }

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty())
            QSKIP("ffmpeg is not installed");
        const QString error =
            makeTestClips(clips_.path(),
                          {QStringLiteral("play.mp4"), QStringLiteral("still.mp4"),
                           QStringLiteral("wide.vob"), QStringLiteral("bars709.mp4"),
                           QStringLiteral("bars601.mp4"), QStringLiteral("bars-untagged.mp4"),
                           QStringLiteral("bars709full.mp4"), QStringLiteral("bars709-10bit.mp4")});
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    void init() {
        shots_ = std::make_unique<QTemporaryDir>();
        QVERIFY(shots_->isValid());
        engine_ = headlessEngine();
        QVERIFY2(engine_->isReady(), qPrintable(engine_->errorString()));
    }
    void cleanup() {
        engine_.reset();
        shots_.reset();
    }

    // One snapshot while playing, two more while paused, into the item's folder.
    void writesTheFrameOnScreen_data() {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("format");
        QTest::addColumn<bool>("preview");
        QTest::addColumn<int>("first"); // 2: IMG_00001 is there before
        QTest::newRow("PNG") << "IMG_"
                             << "png" << false << 1;
        QTest::newRow("JPG with preview, prefix with a blank and '='") << "a b="
                                                                       << "jpg" << true << 1;
        QTest::newRow("PNG, IMG_00001.png taken") << "IMG_"
                                                  << "png" << false << 2;
    }
    void writesTheFrameOnScreen() {
        QFETCH(QString, prefix);
        QFETCH(QString, format);
        QFETCH(bool, preview);
        QFETCH(int, first);
        const bool jpeg = format == QLatin1String("jpg");
        const auto name = [&](int n) {
            return QStringLiteral("%1%2.%3")
                .arg(prefix)
                .arg(n, 5, 10, QLatin1Char('0'))
                .arg(format);
        };
        // Blanks, and an '=' that must not split the option.
        const QDir folder(shots_->filePath(QStringLiteral("a=b play.mp4 Images")));
        QVERIFY(folder.mkpath(QStringLiteral(".")));
        QStringList expected;
        if (first == 2) {
            QFile taken(folder.filePath(name(1)));
            QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write("mine") == 4);
            expected << name(1);
        }
        VideoSurface surface;
        engine_->attachSurface(&surface);
        QVERIFY(start(itemOptions(folder.path(), prefix, jpeg, preview)));
        QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
        QVERIFY(requestSnapshot(*engine_));
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, kDeadline);
        QCOMPARE(surface.isPreviewShown(), preview);

        // Paused: requests before the last one is written fold into it; once it is, the
        // frame on screen is written again.
        engine_->pause();
        QTRY_VERIFY_WITH_TIMEOUT(!engine_->Playing(), kDeadline);
        for (int i = 0; i < 3; ++i)
            QVERIFY(requestSnapshot(*engine_));
        QVERIFY(engine_->waitForSnapshots(kDeadline));
        QTRY_COMPARE_WITH_TIMEOUT(engine_->pendingSnapshots(), 0, kDeadline);
        QCOMPARE(written.size(), 2);
        const QImage onScreen = engine_->currentFrame();
        QVERIFY(requestSnapshot(*engine_));
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), 3, kDeadline);

        const QByteArray magic = jpeg ? "\xff\xd8\xff" : "\x89PNG\r\n\x1a\n";
        for (int i = 0; i < 3; ++i) {
            const QString path = folder.filePath(name(first + i));
            QCOMPARE(written.at(i).at(0).toString(), path);
            QVERIFY(contentOf(path).startsWith(magic));
            QCOMPARE(QImage(path).size(), QSize(320, 240));
            expected << name(first + i);
        }
        QCOMPARE(entriesOf(folder.path()), expected);
        if (first == 2)
            QCOMPARE(contentOf(folder.filePath(name(1))), QByteArray("mine"));
        // Lossless: exactly the frame on screen when it was asked for.
        if (!jpeg)
            QCOMPARE(QImage(written.at(2).at(0).toString()).convertToFormat(QImage::Format_RGB32),
                     onScreen.convertToFormat(QImage::Format_RGB32));
        engine_->attachSurface(nullptr);
    }

    // A request every 10 ms for about two seconds of a 25 fps clip, as continuous capture
    // makes them: each frame shown is written once, at the frame rate, and the work
    // waiting stays bounded.
    void continuousCapture() {
        QVERIFY(start(itemOptions(shots_->path())));
        QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
        int refused = 0;
        int mostPending = 0;
        qint64 slowest = 0;
        QTimer tick;
        tick.setInterval(10);
        connect(&tick, &QTimer::timeout, this, [&] {
            if (!engine_->Playing() || engine_->Time() >= 4)
                return;
            QElapsedTimer call;
            call.start();
            refused += requestSnapshot(*engine_) ? 0 : 1;
            slowest = qMax(slowest, call.nsecsElapsed());
            mostPending = qMax(mostPending, engine_->pendingSnapshots());
        });
        const quint64 shownBefore = engine_->framesShown();
        QElapsedTimer clock;
        clock.start();
        tick.start();
        QTRY_VERIFY_WITH_TIMEOUT(clock.elapsed() >= 2000 || !engine_->Playing(), kDeadline);
        tick.stop();
        const quint64 shown = engine_->framesShown() - shownBefore;
        QVERIFY(engine_->waitForSnapshots(kDeadline));
        QTRY_COMPARE_WITH_TIMEOUT(engine_->pendingSnapshots(), 0, kDeadline);

        QSet<QByteArray> hashes;
        for (const QList<QVariant>& signal : written) {
            const QImage image =
                QImage(signal.at(0).toString()).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(image.size(), QSize(320, 240));
            hashes.insert(QCryptographicHash::hash(
                QByteArrayView(image.constBits(), image.sizeInBytes()), QCryptographicHash::Sha1));
        }
        qInfo("%d requests refused, slowest on the calling thread %.3f ms: %lld images, "
              "%lld distinct, for %llu frames shown; at most %d waiting",
              refused, slowest / 1e6, qint64(written.size()), qint64(hashes.size()), shown,
              mostPending);
        QCOMPARE(refused, 0);
        QVERIFY(!written.isEmpty());
        QCOMPARE(hashes.size(), written.size());
        QVERIFY2(written.size() >= int(shown * 0.6), "far fewer images than frames");
        QVERIFY(mostPending <= 2 * QThread::idealThreadCount());
    }

    // A still scene decodes to identical pictures, which count as one frame; a request
    // some time later, as timed capture makes them, must still write another image.
    void stillSceneIsWrittenAgain() {
        QVERIFY(startPlaying(*engine_, clips_.filePath(QStringLiteral("still.mp4")),
                             itemOptions(shots_->path())));
        QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
        QTimer tick;
        tick.setInterval(100);
        connect(&tick, &QTimer::timeout, this, [&] { (void)requestSnapshot(*engine_); });
        tick.start();
        QTRY_VERIFY_WITH_TIMEOUT(written.size() >= 2 || !engine_->Playing(), kDeadline);
        tick.stop();
        QVERIFY(engine_->waitForSnapshots(kDeadline));
        QVERIFY2(written.size() >= 2, "one image only");
        QCOMPARE(QImage(written.at(1).at(0).toString()).size(), QSize(160, 120));
    }

    // An MPEG program stream tells its picture size and shape only once decoding has
    // begun. Its first pictures are real pictures all the same, not the grey of a lost
    // key frame; once the shape is known, pictures are written at the 16:9 they are
    // meant to be seen at.
    void programStreamFromTheFirstPicture() {
        QVERIFY(startPlaying(*engine_, clips_.filePath(QStringLiteral("wide.vob")),
                             itemOptions(shots_->path())));
        QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
        QVERIFY(requestSnapshot(*engine_));
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, kDeadline);
        QTRY_VERIFY_WITH_TIMEOUT(engine_->Time() >= 1, kDeadline);
        QVERIFY(requestSnapshot(*engine_));
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), 2, kDeadline);
        for (const QList<QVariant>& signal : written) {
            const QImage image(signal.at(0).toString());
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); y += 16) {
                for (int x = 0; x < image.width(); x += 16)
                    colours.insert(image.pixel(x, y));
            }
            QVERIFY2(colours.size() > 8, "a flat picture");
        }
        QCOMPARE(QImage(written.at(1).at(0).toString()).size(), QSize(512, 288));
    }

    // Asked for right after the file was handed over, before its first picture: the
    // snapshot is taken with that picture.
    void requestBeforeTheFirstPicture() {
        QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
        engine_->addTarget(clips_.filePath(QStringLiteral("play.mp4")), itemOptions(shots_->path()),
                           kReplaceAndGo, 0);
        QVERIFY(engine_->currentFrame().isNull());
        QVERIFY(requestSnapshot(*engine_));
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, kDeadline);
        QCOMPARE(QImage(written.at(0).at(0).toString()).size(), QSize(320, 240));
    }

    // Colour bars coded with each matrix, range and depth come out in their true colours:
    // the centre of each 75 % bar within 3 levels of 191 or 0 per channel.
    void trueColours_data() {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<QSize>("size");
        QTest::newRow("BT.709") << "bars709.mp4" << QSize(1280, 720);
        QTest::newRow("BT.601") << "bars601.mp4" << QSize(720, 480);
        QTest::newRow("untagged HD") << "bars-untagged.mp4" << QSize(1920, 1080);
        QTest::newRow("BT.709 full range") << "bars709full.mp4" << QSize(1280, 720);
        QTest::newRow("BT.709 10 bits") << "bars709-10bit.mp4" << QSize(1280, 720);
    }
    void trueColours() {
        QFETCH(QString, clip);
        QFETCH(QSize, size);
        QVERIFY(startPlaying(*engine_, clips_.filePath(clip), itemOptions(shots_->path())));
        QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
        QVERIFY(requestSnapshot(*engine_));
        QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, kDeadline);
        const QImage image(written.at(0).at(0).toString());
        QCOMPARE(image.size(), size);
        // Gray, yellow, cyan, green, magenta, red, blue: which channels are lit.
        constexpr int kLit[7][3] = {{1, 1, 1}, {1, 1, 0}, {0, 1, 1}, {0, 1, 0},
                                    {1, 0, 1}, {1, 0, 0}, {0, 0, 1}};
        for (int bar = 0; bar < 7; ++bar) {
            const QRgb pixel = image.pixel((2 * bar + 1) * size.width() / 14, size.height() / 2);
            const int channels[3] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
            for (int c = 0; c < 3; ++c)
                QVERIFY2(qAbs(channels[c] - 191 * kLit[bar][c]) <= 3,
                         qPrintable(QStringLiteral("bar %1: %2,%3,%4")
                                        .arg(bar)
                                        .arg(channels[0])
                                        .arg(channels[1])
                                        .arg(channels[2])));
        }
    }

    void unwritableFolderIsReported() {
        const QString missing = QDir(shots_->path()).filePath(QStringLiteral("missing/folder"));
        QVERIFY(start(itemOptions(missing)));
        QSignalSpy failed(engine_.get(), &MediaEngine::snapshotFailed);
        QSignalSpy written(engine_.get(), &MediaEngine::snapshotWritten);
        QVERIFY(requestSnapshot(*engine_));
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, kDeadline);
        QCOMPARE(written.size(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(engine_->pendingSnapshots(), 0, kDeadline);
        QCOMPARE(entriesOf(shots_->path()), QStringList());
    }
};

QTEST_MAIN(TstVlcSnapshots)
#include "tst_vlcsnapshots.moc"
