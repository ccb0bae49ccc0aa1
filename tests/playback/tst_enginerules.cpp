// The adapter's plain rules: snapshot throttling, frame size, colours.
#include "playback/VideoColours.h"
#include "playback/YuvPicture.h"
#include "playback/vlc/FrameSize.h"
#include "playback/vlc/SnapshotThrottle.h"

#include <cmath>
#include <vector>

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

    // H.273 code points: matrix 1 BT.709, 2 unspecified, 3 reserved, 0 RGB, 6 SMPTE 170M,
    // 8 YCgCo, 9 BT.2020; transfer 16 PQ; range 0 unspecified, 1 limited, 2 full.
    void colours_data() {
        QTest::addColumn<int>("matrix");
        QTest::addColumn<int>("transfer");
        QTest::addColumn<int>("range");
        QTest::addColumn<bool>("decoderFull");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("expected"); // matrix/range, or "none"
        QTest::newRow("tagged 709") << 1 << 1 << 1 << false << QSize(720, 480) << "709/limited";
        QTest::newRow("tagged 601 on HD")
            << 6 << 6 << 2 << false << QSize(1920, 1080) << "601/full";
        QTest::newRow("untagged HD") << 2 << 2 << 0 << false << QSize(1280, 720) << "709/limited";
        QTest::newRow("untagged SD, decoder says full")
            << 2 << 2 << 0 << true << QSize(720, 576) << "601/full";
        QTest::newRow("just taller than SD")
            << 2 << 2 << 0 << false << QSize(720, 577) << "709/limited";
        QTest::newRow("reserved matrix")
            << 3 << 2 << 0 << false << QSize(640, 360) << "601/limited";
        QTest::newRow("RGB matrix on YUV")
            << 0 << 2 << 1 << false << QSize(1920, 1080) << "709/limited";
        QTest::newRow("out of range") << 99 << 2 << 7 << false << QSize(640, 360) << "601/limited";
        QTest::newRow("YCgCo") << 8 << 2 << 1 << false << QSize(640, 360) << "none";
        QTest::newRow("HDR transfer") << 9 << 16 << 1 << false << QSize(3840, 2160) << "none";
    }
    void colours() {
        QFETCH(int, matrix);
        QFETCH(int, transfer);
        QFETCH(int, range);
        QFETCH(bool, decoderFull);
        QFETCH(QSize, size);
        const std::optional<VideoColours> c =
            resolveColours(ColourTags{matrix, transfer, range}, decoderFull, size);
        QString text = QStringLiteral("none");
        if (c)
            text = QString::fromLatin1(c->matrix == ColourMatrix::Bt709   ? "709"
                                       : c->matrix == ColourMatrix::Bt601 ? "601"
                                                                          : "other") +
                   (c->range == ColourRange::Full ? QStringLiteral("/full")
                                                  : QStringLiteral("/limited"));
        QTEST(text, "expected");
    }

    // Four flat stripes coded from known RGB with the textbook equations come back within
    // a level, whatever the matrix, range, depth and chroma layout.
    void conversion_data() {
        QTest::addColumn<int>("matrix");
        QTest::addColumn<bool>("full");
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("subsampling");
        QTest::newRow("601, 8 bits, 4:2:0") << int(ColourMatrix::Bt601) << false << 8 << 0;
        QTest::newRow("709 full, 10 bits, 4:2:2") << int(ColourMatrix::Bt709) << true << 10 << 1;
        QTest::newRow("2020, 12 bits, 4:4:4") << int(ColourMatrix::Bt2020) << false << 12 << 2;
        QTest::newRow("240M, 8 bits, 4:2:0") << int(ColourMatrix::Smpte240m) << false << 8 << 0;
        QTest::newRow("FCC full, 8 bits, 4:4:4") << int(ColourMatrix::Fcc) << true << 8 << 2;
    }
    void conversion() {
        QFETCH(int, matrix);
        QFETCH(bool, full);
        QFETCH(int, depth);
        QFETCH(int, subsampling);
        const double weights[5][2] = {
            {0.299, 0.114}, {0.2126, 0.0722}, {0.2627, 0.0593}, {0.212, 0.087}, {0.30, 0.11}};
        const double kr = weights[matrix][0];
        const double kb = weights[matrix][1];
        const QRgb stripes[4] = {qRgb(191, 191, 0), qRgb(0, 191, 191), qRgb(250, 20, 120),
                                 qRgb(16, 32, 240)};
        const QSize size(64, 8); // stripes 16 pixels wide
        YuvPicture picture;
        picture.format = {ChromaSubsampling(subsampling), depth};
        picture.size = size;
        const QSize chroma = chromaPlaneSize(size, picture.format.subsampling);
        const double unit = std::ldexp(1.0, depth - 8);
        const double maxCode = std::ldexp(1.0, depth) - 1;
        std::vector<quint16> planes[3];
        for (int p = 0; p < 3; ++p) {
            const QSize planeSize = p == 0 ? size : chroma;
            planes[p].resize(std::size_t(planeSize.width() * planeSize.height()));
            for (int y = 0; y < planeSize.height(); ++y) {
                for (int x = 0; x < planeSize.width(); ++x) {
                    const QRgb rgb = stripes[x * size.width() / planeSize.width() / 16];
                    const double r = qRed(rgb) / 255.0;
                    const double g = qGreen(rgb) / 255.0;
                    const double b = qBlue(rgb) / 255.0;
                    const double luma = kr * r + (1 - kr - kb) * g + kb * b;
                    const double value = p == 0   ? luma
                                         : p == 1 ? (b - luma) / (2 * (1 - kb))
                                                  : (r - luma) / (2 * (1 - kr));
                    const double code =
                        p == 0 ? (full ? value * maxCode : 16 * unit + value * 219 * unit)
                               : 128 * unit + value * (full ? maxCode : 224 * unit);
                    planes[p][std::size_t(y * planeSize.width() + x)] = quint16(std::lround(code));
                }
            }
        }
        std::vector<quint8> bytes[3];
        for (int p = 0; p < 3; ++p) {
            const int width = p == 0 ? size.width() : chroma.width();
            if (depth == 8) {
                bytes[p].assign(planes[p].begin(), planes[p].end());
                picture.planes[std::size_t(p)] = bytes[p].data();
                picture.pitches[std::size_t(p)] = width;
            } else {
                picture.planes[std::size_t(p)] = reinterpret_cast<const uchar*>(planes[p].data());
                picture.pitches[std::size_t(p)] = width * 2;
            }
        }
        QImage out(size, QImage::Format_RGB32);
        convertYuvToRgb32(picture,
                          {ColourMatrix(matrix), full ? ColourRange::Full : ColourRange::Limited},
                          out.bits(), out.bytesPerLine());
        for (int stripe = 0; stripe < 4; ++stripe) {
            const QRgb got = out.pixel(stripe * 16 + 8, 4);
            const QRgb want = stripes[stripe];
            QVERIFY2(qAbs(qRed(got) - qRed(want)) <= 1 && qAbs(qGreen(got) - qGreen(want)) <= 1 &&
                         qAbs(qBlue(got) - qBlue(want)) <= 1,
                     qPrintable(QStringLiteral("stripe %1: %2").arg(stripe).arg(got, 8, 16)));
        }
    }
};

QTEST_MAIN(TstEngineRules)
#include "tst_enginerules.moc"
