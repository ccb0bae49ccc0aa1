// The adapter's plain rules: item options, snapshot throttling, frame size, speed steps.
#include "playback/vlc/FrameSize.h"
#include "playback/vlc/ItemOptions.h"
#include "playback/vlc/SnapshotThrottle.h"
#include "playback/vlc/VlcEngine.h"

#include <QtTest>

class TstEngineRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void itemOptions_data();
    void itemOptions();
    void throttle_data();
    void throttle();
    void frameSize_data();
    void frameSize();
    void rateOfStep();
};

void TstEngineRules::itemOptions_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("jpeg");
    QTest::addColumn<bool>("preview");
    QTest::addColumn<bool>("disableScreenSaver");

    QTest::newRow("the main window's list, PNG")
        << QStringList{"overlay",
                       "snapshot-prefix=IMG_",
                       "snapshot-path=/shots/a.mpg Images",
                       "snapshot-format=PNG",
                       "no-snapshot-preview",
                       "snapshot-sequential",
                       "disable-screensaver"}
        << QStringLiteral("/shots/a.mpg Images") << QStringLiteral("IMG_") << false << false
        << true;
    QTest::newRow("JPG with preview")
        << QStringList{"overlay",
                       "snapshot-prefix=",
                       "snapshot-path=C:\\\\b.avi Images",
                       "snapshot-format=JPG",
                       "snapshot-preview",
                       "snapshot-sequential",
                       "no-disable-screensaver"}
        << QStringLiteral("C:\\\\b.avi Images") << QStringLiteral("") << true << true << false;
    QTest::newRow("values kept as given: '=' and blanks inside")
        << QStringList{"snapshot-path= /a=b ", "snapshot-prefix=x y="} << QStringLiteral(" /a=b ")
        << QStringLiteral("x y=") << false << false << false;
    QTest::newRow("VLC spellings: leading colon or dashes, any case")
        << QStringList{":snapshot-format=jpg", "--Snapshot-Preview", ":DISABLE-SCREENSAVER"}
        << QStringLiteral("") << QStringLiteral("") << true << true << true;
    QTest::newRow("later entries win")
        << QStringList{"snapshot-format=JPG", "snapshot-format=PNG", "snapshot-preview",
                       "no-snapshot-preview"}
        << QStringLiteral("") << QStringLiteral("") << false << false << false;
    QTest::newRow("unknown format is PNG")
        << QStringList{"snapshot-format=tiff"} << QStringLiteral("") << QStringLiteral("") << false
        << false << false;
    QTest::newRow("nothing given")
        << QStringList{} << QStringLiteral("") << QStringLiteral("") << false << false << false;
    QTest::newRow("look-alikes are not switches")
        << QStringList{"snapshot-previewx", "no-disable-screensaverx", "xdisable-screensaver"}
        << QStringLiteral("") << QStringLiteral("") << false << false << false;
}

void TstEngineRules::itemOptions() {
    QFETCH(QStringList, options);
    const ItemOptions parsed = parseItemOptions(options);
    QTEST(parsed.snapshotFolder, "folder");
    QTEST(parsed.snapshotPrefix, "prefix");
    QTEST(parsed.jpeg, "jpeg");
    QTEST(parsed.preview, "preview");
    QTEST(parsed.disableScreenSaver, "disableScreenSaver");
}

// A script of events; each letter is one step:
//   p<n> / z<n>  request while playing / paused with frame n  (expect W or C)
//   d            one write ended
//   n            a new item (frame numbers start again)
void TstEngineRules::throttle_data() {
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("decisions");

    QTest::newRow("playing: each frame once")
        << 8 << QStringLiteral("p1 p1 p2 p2 p2 p3") << QStringLiteral("WCWCCW");
    QTest::newRow("playing: once even after the write ended")
        << 8 << QStringLiteral("p1 d p1") << QStringLiteral("WC");
    QTest::newRow("paused: folded while that frame is being written")
        << 8 << QStringLiteral("z5 z5 z5") << QStringLiteral("WCC");
    QTest::newRow("paused: written again once the last write ended")
        << 8 << QStringLiteral("z5 d z5 d z5") << QStringLiteral("WWW");
    QTest::newRow("paused after playing the same frame")
        << 8 << QStringLiteral("p5 d z5") << QStringLiteral("WW");
    QTest::newRow("limit on writes in progress")
        << 2 << QStringLiteral("p1 p2 p3 d p4 p5") << QStringLiteral("WWCWC");
    QTest::newRow("a new item starts numbering again")
        << 8 << QStringLiteral("p1 n p1") << QStringLiteral("WW");
    QTest::newRow("older writes ending do not release a newer frame")
        << 8 << QStringLiteral("p1 z2 d z2") << QStringLiteral("WWC");
}

void TstEngineRules::throttle() {
    QFETCH(int, limit);
    QFETCH(QString, script);
    QFETCH(QString, decisions);
    SnapshotThrottle throttle(limit);
    QString made;
    for (const QString& step : script.split(QLatin1Char(' '))) {
        const QChar kind = step.at(0);
        if (kind == QLatin1Char('d')) {
            throttle.finished();
        } else if (kind == QLatin1Char('n')) {
            throttle.forgetFrames();
        } else {
            const auto decision =
                throttle.request(step.mid(1).toULongLong(), kind == QLatin1Char('z'));
            made +=
                decision == SnapshotThrottle::Decision::Write ? QLatin1Char('W') : QLatin1Char('C');
        }
    }
    QCOMPARE(made, decisions);
}

void TstEngineRules::frameSize_data() {
    QTest::addColumn<QSize>("buffer");
    QTest::addColumn<QSize>("track");
    QTest::addColumn<uint>("sarNum");
    QTest::addColumn<uint>("sarDen");
    QTest::addColumn<QSize>("expected"); // invalid: not known yet

    QTest::newRow("padded H.264 buffer")
        << QSize(320, 258) << QSize(320, 240) << 1u << 1u << QSize(320, 240);
    QTest::newRow("1080p") << QSize(1920, 1090) << QSize(1920, 1080) << 1u << 1u
                           << QSize(1920, 1080);
    QTest::newRow("track not known yet") << QSize(720, 576) << QSize(0, 0) << 0u << 0u << QSize();
    QTest::newRow("unknown aspect counts as square")
        << QSize(640, 480) << QSize(640, 480) << 0u << 0u << QSize(640, 480);
    QTest::newRow("wide pixels widen")
        << QSize(720, 576) << QSize(720, 576) << 16u << 15u << QSize(768, 576);
    QTest::newRow("tall pixels heighten")
        << QSize(720, 480) << QSize(720, 480) << 8u << 9u << QSize(720, 540);
    QTest::newRow("track beyond the buffer is not trusted")
        << QSize(320, 240) << QSize(640, 480) << 1u << 1u << QSize(320, 240);
    QTest::newRow("absurd aspect is ignored")
        << QSize(720, 576) << QSize(720, 576) << 1000u << 1u << QSize(720, 576);
}

void TstEngineRules::frameSize() {
    QFETCH(QSize, buffer);
    QFETCH(QSize, track);
    QFETCH(uint, sarNum);
    QFETCH(uint, sarDen);
    QFETCH(QSize, expected);
    const std::optional<QSize> size = frameOutputSize(buffer, track, sarNum, sarDen);
    QCOMPARE(size.has_value(), expected.isValid());
    if (size)
        QCOMPARE(*size, expected);
}

void TstEngineRules::rateOfStep() {
    QCOMPARE(playbackRateForStep(-1), 0.75f);
    QCOMPARE(playbackRateForStep(0), 1.0f);
    QCOMPARE(playbackRateForStep(1), 1.5f);
}

QTEST_MAIN(TstEngineRules)
#include "tst_enginerules.moc"
