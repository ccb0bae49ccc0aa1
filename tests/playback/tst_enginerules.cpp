// The adapter's plain rules: snapshot throttling and frame size.
#include "playback/vlc/FrameSize.h"
#include "playback/vlc/SnapshotThrottle.h"

#include <QtTest>

class TstEngineRules : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A script of events; each word is one step:
    //   p<n> / z<n>  request while playing / paused with frame n  (expect W or C),
    //                optionally @<ms> for the time of the request (0 otherwise)
    //   d            one write ended
    //   n            a new item (frame numbers start again)
    void throttle_data() {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("decisions");
        QTest::newRow("playing: each frame once, even after its write ended")
            << 8 << "p1 p1 p2 d p2 p3"
            << "WCWCW";
        QTest::newRow("paused: folded while that frame is being written") << 8 << "z5 z5 z5"
                                                                          << "WCC";
        QTest::newRow("paused: written again once the last write ended") << 8 << "z5 d z5 d z5"
                                                                         << "WWW";
        QTest::newRow("paused after playing the same frame") << 8 << "p5 d z5"
                                                             << "WW";
        QTest::newRow("limit on writes in progress") << 2 << "p1 p2 p3 d p4 p5"
                                                     << "WWCWC";
        QTest::newRow("a new item starts numbering again") << 8 << "p1 n p1"
                                                           << "WW";
        QTest::newRow("older writes ending do not release a newer frame") << 8 << "p1 z2 d z2"
                                                                          << "WWC";
        QTest::newRow("playing: a still frame is written again after half a second")
            << 8 << "p1@1000 d p1@1499 p1@1500 p1@2100"
            << "WCWC";
        QTest::newRow("playing: not while its last write is unfinished") << 8 << "p1@0 p1@900"
                                                                         << "WC";
    }
    void throttle() {
        QFETCH(int, limit);
        QFETCH(QString, script);
        SnapshotThrottle throttle(limit);
        QString made;
        for (const QString& step : script.split(QLatin1Char(' '))) {
            const QChar kind = step.at(0);
            if (kind == QLatin1Char('d'))
                throttle.finished();
            else if (kind == QLatin1Char('n'))
                throttle.forgetFrames();
            else {
                const QStringList frameAndTime = step.mid(1).split(QLatin1Char('@'));
                made += throttle.request(frameAndTime.at(0).toULongLong(), kind == QLatin1Char('z'),
                                         frameAndTime.value(1).toLongLong()) ==
                                SnapshotThrottle::Decision::Write
                            ? QLatin1Char('W')
                            : QLatin1Char('C');
            }
        }
        QTEST(made, "decisions");
    }

    void frameSize_data() {
        QTest::addColumn<QSize>("buffer");
        QTest::addColumn<QSize>("track");
        QTest::addColumn<uint>("sarNum");
        QTest::addColumn<uint>("sarDen");
        QTest::addColumn<QSize>("expected"); // invalid: not known yet
        QTest::newRow("padded H.264 buffer")
            << QSize(320, 258) << QSize(320, 240) << 1u << 1u << QSize(320, 240);
        QTest::newRow("track not known yet")
            << QSize(720, 576) << QSize(0, 0) << 0u << 0u << QSize();
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
    void frameSize() {
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
};

QTEST_MAIN(TstEngineRules)
#include "tst_enginerules.moc"
