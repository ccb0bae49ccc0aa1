// The media rules: which colours a file's tags mean, the colour science (BT.2100's PQ and
// HLG, the primaries matrices, BT.2390's EETF) and the conversion of YUV pictures with it.
#include "playback/media/ColourConversion.h"
#include "playback/media/ColourMath.h"
#include "playback/media/VideoColours.h"
#include "playback/media/YuvPicture.h"

#include <QSet>
#include <QtTest>

#include <cmath>

Q_DECLARE_METATYPE(ColourTags)

namespace {
// Code values (0 to 255) of a signal (0 to 1).
int levels(float signal) {
    return int(std::lround(signal * 255.0f));
}

// The screen's signal of linear light relative to SDR white.
double sdrSignal(double light) {
    return std::pow(std::clamp(light, 0.0, 1.0), 1.0 / 2.4);
}
} // namespace

class TstMedia : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // H.273 code points: matrix 1 BT.709, 2 unspecified, 3 reserved, 0 RGB, 6 SMPTE 170M,
    // 8 YCgCo, 9 BT.2020; primaries 1 BT.709, 9 BT.2020, 12 Display P3, 3 reserved;
    // transfer 14 BT.2020, 16 PQ, 18 HLG; range 0 unspecified, 1 limited, 2 full.
    void colours_data() {
        QTest::addColumn<ColourTags>("tags");
        QTest::addColumn<bool>("decoderFull");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("depth");
        QTest::addColumn<QString>("expected"); // matrix/range/primaries/transfer/peak, or "none"
        QTest::addColumn<bool>("problem");
        const QSize uhd(3840, 2160);
        QTest::newRow("tagged 601 on HD") << ColourTags{6, 2, 6, 2} << false << QSize(1920, 1080)
                                          << 8 << "601/full/709/sdr/1000" << false;
        QTest::newRow("untagged HD") << ColourTags{} << false << QSize(1280, 720) << 8
                                     << "709/limited/709/sdr/1000" << false;
        QTest::newRow("reserved matrix, decoder says full")
            << ColourTags{3, 2, 2, 0} << true << QSize(640, 360) << 8 << "601/full/709/sdr/1000"
            << false;
        QTest::newRow("RGB matrix on YUV") << ColourTags{0, 2, 2, 1} << false << QSize(1920, 1080)
                                           << 8 << "709/limited/709/sdr/1000" << false;
        QTest::newRow("YCgCo") << ColourTags{8, 2, 2, 1} << false << QSize(640, 360) << 8 << "none"
                               << false;
        QTest::newRow("BT.2020 SDR, primaries untagged")
            << ColourTags{9, 2, 14, 1} << false << uhd << 10 << "2020/limited/2020/sdr/1000"
            << false;
        QTest::newRow("PQ with MaxCLL and mastering peak")
            << ColourTags{9, 9, 16, 1, 4000, 1500} << false << uhd << 10
            << "2020/limited/2020/pq/1500" << false;
        QTest::newRow("PQ with a mastering peak only")
            << ColourTags{9, 9, 16, 1, 4000, 0} << false << uhd << 10 << "2020/limited/2020/pq/4000"
            << false;
        QTest::newRow("HLG, Display P3") << ColourTags{9, 12, 18, 1} << false << uhd << 10
                                         << "2020/limited/p3/hlg/1000" << false;
        QTest::newRow("PQ on 8 bits")
            << ColourTags{1, 1, 16, 1} << false << uhd << 8 << "709/limited/709/sdr/1000" << true;
        QTest::newRow("reserved primaries") << ColourTags{9, 3, 14, 1} << false << uhd << 10
                                            << "2020/limited/2020/sdr/1000" << true;
        QTest::newRow("mastering peak of 0") << ColourTags{9, 9, 16, 1, -1, 0} << false << uhd << 10
                                             << "2020/limited/2020/pq/1000" << true;
        QTest::newRow("peak of ten million nits") << ColourTags{9, 9, 16, 1, 1e7, 0} << false << uhd
                                                  << 10 << "2020/limited/2020/pq/1000" << true;
    }
    void colours() {
        QFETCH(ColourTags, tags);
        QFETCH(bool, decoderFull);
        QFETCH(QSize, size);
        QFETCH(int, depth);
        QString problem;
        const std::optional<VideoColours> c =
            resolveColours(tags, decoderFull, size, depth, &problem);
        QString text = QStringLiteral("none");
        if (c) {
            const char* matrices[] = {"601", "709", "2020", "240m", "fcc"};
            const char* primaries[] = {"709", "2020", "dci", "p3", "170m", "470m", "470bg", "film"};
            const char* transfers[] = {"sdr", "pq", "hlg"};
            text = QStringLiteral("%1/%2/%3/%4/%5")
                       .arg(matrices[int(c->matrix)],
                            c->range == ColourRange::Full ? "full" : "limited",
                            primaries[int(c->primaries)], transfers[int(c->transfer)])
                       .arg(c->peakNits);
        }
        QTEST(text, "expected");
        QTEST(!problem.isEmpty(), "problem");
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
        YuvPicture picture{{ChromaSubsampling(subsampling), depth}, size, {}, {}};
        const QSize chroma = chromaPlaneSize(size, picture.format.subsampling);
        const double unit = std::ldexp(1.0, depth - 8);
        const double top = std::ldexp(1.0, depth) - 1;
        QByteArray planes[3];
        for (int p = 0; p < 3; ++p) {
            const QSize plane = p == 0 ? size : chroma;
            for (int i = 0; i < plane.width() * plane.height(); ++i) {
                const QRgb rgb = stripes[(i % plane.width()) * 4 / plane.width()];
                const double r = qRed(rgb) / 255.0, b = qBlue(rgb) / 255.0;
                const double luma = kr * r + (1 - kr - kb) * qGreen(rgb) / 255.0 + kb * b;
                const double code = p == 0 ? (full ? luma * top : (16 + luma * 219) * unit)
                                           : 128 * unit + (full ? top : 224 * unit) *
                                                              (p == 1 ? (b - luma) / (2 - 2 * kb)
                                                                      : (r - luma) / (2 - 2 * kr));
                const auto value = quint16(std::lround(code));
                planes[p].append(char(value & 0xff));
                if (depth > 8)
                    planes[p].append(char(value >> 8));
            }
            picture.planes[std::size_t(p)] = reinterpret_cast<const uchar*>(planes[p].constData());
            picture.pitches[std::size_t(p)] = plane.width() * (depth > 8 ? 2 : 1);
        }
        VideoColours colours;
        colours.matrix = ColourMatrix(matrix);
        colours.range = full ? ColourRange::Full : ColourRange::Limited;
        QImage out(size, QImage::Format_RGB32);
        convertYuvToRgb32(picture, ColourConversion(colours), out.bits(), out.bytesPerLine());
        QImage deep(size, QImage::Format_RGBX64);
        convertYuvToRgb64(picture, colours, deep.bits(), deep.bytesPerLine());
        for (int stripe = 0; stripe < 4; ++stripe) {
            const QColor want(stripes[stripe]);
            for (const QColor& got :
                 {out.pixelColor(stripe * 16 + 8, 4), deep.pixelColor(stripe * 16 + 8, 4).toRgb()})
                QVERIFY2(qAbs(got.red() - want.red()) <= 1 &&
                             qAbs(got.green() - want.green()) <= 1 &&
                             qAbs(got.blue() - want.blue()) <= 1,
                         qPrintable(QStringLiteral("stripe %1: %2").arg(stripe).arg(got.name())));
        }
    }

    // BT.2100's reference points: PQ at 0, 100, 203 (reference white), 1,000 and 10,000
    // nits; HLG's OETF at 1/12 (the joint of its two parts), at reference white's 0.75, at
    // 1; and its system gamma.
    void transfers_data() {
        QTest::addColumn<QString>("function");
        QTest::addColumn<double>("in");
        QTest::addColumn<double>("out");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("PQ 0") << "pq" << 0.0 << 0.0 << 1e-5;
        QTest::newRow("PQ 100") << "pq" << 100.0 << 0.50808 << 1e-5;
        QTest::newRow("PQ 203") << "pq" << 203.0 << 0.58069 << 1e-5;
        QTest::newRow("PQ 1000") << "pq" << 1000.0 << 0.75183 << 1e-5;
        QTest::newRow("PQ 10000") << "pq" << 10000.0 << 1.0 << 1e-9;
        QTest::newRow("HLG 1/12") << "hlg" << 1.0 / 12 << 0.5 << 1e-9;
        QTest::newRow("HLG 0.26496") << "hlg" << 0.26496 << 0.75 << 1e-5;
        QTest::newRow("HLG 1") << "hlg" << 1.0 << 1.0 << 1e-6;
        QTest::newRow("HLG gamma at 1000") << "gamma" << 1000.0 << 1.2 << 1e-9;
        QTest::newRow("HLG gamma at 2000") << "gamma" << 2000.0 << 1.32643 << 1e-5;
    }
    void transfers() {
        QFETCH(QString, function);
        QFETCH(double, in);
        QFETCH(double, out);
        QFETCH(double, tolerance);
        if (function == QLatin1String("pq")) {
            QVERIFY(std::abs(nitsToPq(in) - out) < tolerance);
            QVERIFY(std::abs(pqToNits(out) - in) < std::max(1e-3, in * 1e-4)); // the inverse
        } else if (function == QLatin1String("hlg")) {
            QVERIFY(std::abs(sceneToHlg(in) - out) < tolerance);
            QVERIFY(std::abs(hlgToScene(out) - in) < 1e-5);
        } else {
            QVERIFY(std::abs(hlgSystemGamma(in) - out) < tolerance);
        }
    }

    // SMPTE RP 177's normalised primary matrices and BT.2087's BT.2020-to-BT.709 matrix,
    // to the four decimals they are published with.
    void primaries_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QList<double>>("expected");
        QTest::newRow("BT.709 to XYZ")
            << "709" << QList<double>{0.4124, 0.3576, 0.1805, 0.2126, 0.7152,
                                      0.0722, 0.0193, 0.1192, 0.9505};
        QTest::newRow("BT.2020 to XYZ")
            << "2020" << QList<double>{0.6370, 0.1446, 0.1689, 0.2627, 0.6780,
                                       0.0593, 0.0000, 0.0281, 1.0610};
        QTest::newRow("BT.2020 to BT.709")
            << "2020to709" << QList<double>{1.6605,  -0.5876, -0.0728, -0.1246, 1.1329,
                                            -0.0083, -0.0182, -0.1006, 1.1187};
    }
    void primaries() {
        QFETCH(QString, which);
        QFETCH(QList<double>, expected);
        const Matrix3 m =
            which == QLatin1String("709") ? rgbToXyz(chromaticitiesOf(ColourPrimaries::Bt709))
            : which == QLatin1String("2020")
                ? rgbToXyz(chromaticitiesOf(ColourPrimaries::Bt2020))
                : primariesConversion(ColourPrimaries::Bt2020, ColourPrimaries::Bt709);
        for (int i = 0; i < 9; ++i)
            QVERIFY2(std::abs(m[size_t(i / 3)][size_t(i % 3)] - expected[i]) < 6e-5,
                     qPrintable(QString::number(i)));
    }

    // BT.2390's EETF from a 1,000-nit video to reference white: nothing moves below the
    // knee, the curve meets it without a step, rises all the way, and ends at the target.
    void eetf() {
        const double knee = eetfKneeNits(1000, 203);
        QVERIFY(knee > 80 && knee < 95);
        QCOMPARE(eetfNits(50, 1000, 203), 50.0);
        QVERIFY(std::abs(eetfNits(knee + 0.01, 1000, 203) - (knee + 0.01)) < 0.01);
        double previous = 0;
        for (double nits = knee; nits <= 1000; nits += 1) {
            const double out = eetfNits(nits, 1000, 203);
            QVERIFY2(out > previous, qPrintable(QString::number(nits)));
            previous = out;
        }
        QVERIFY(std::abs(eetfNits(1000, 1000, 203) - 203) < 1e-6);
        QCOMPARE(eetfNits(4000, 1000, 203), eetfNits(1000, 1000, 203)); // beyond the peak
        QCOMPARE(eetfNits(150, 180, 203), 150.0);                       // a source that fits
    }

    // Colours of a BT.709 SDR picture, coded into BT.2020 with each transfer as BT.2408
    // places SDR in HDR (white at 203 nits), come back within a level (75 % bars lie just
    // above the tone curve's knee, and move by less; a dark channel within 1/50,000 of
    // white in linear light); a PQ grey ramp to 1,000 nits comes out rising, its
    // highlights spread over many levels.
    void toScreen_data() {
        QTest::addColumn<int>("transfer");
        QTest::newRow("BT.2020 SDR") << int(TransferCurve::Sdr);
        QTest::newRow("PQ") << int(TransferCurve::Pq);
        QTest::newRow("HLG") << int(TransferCurve::Hlg);
    }
    void toScreen() {
        QFETCH(int, transfer);
        VideoColours colours;
        colours.primaries = ColourPrimaries::Bt2020;
        colours.transfer = TransferCurve(transfer);
        const ColourConversion conversion(colours);
        const Matrix3 to2020 = primariesConversion(ColourPrimaries::Bt709, ColourPrimaries::Bt2020);
        const std::array<double, 3> weights = luminanceWeights(ColourPrimaries::Bt2020);
        // 75 % bars and a darker, unsaturated colour, as BT.709 signal.
        const double colours709[][3] = {
            {0.75, 0.75, 0}, {0, 0.75, 0.75}, {0.75, 0, 0.75}, {0, 0, 0.75}, {0.4, 0.3, 0.2}};
        for (const auto& c : colours709) {
            std::array<double, 3> light{};
            for (size_t i = 0; i < 3; ++i)
                for (size_t j = 0; j < 3; ++j)
                    light[i] += to2020[i][j] * std::pow(c[j], 2.4);
            const double y = weights[0] * light[0] + weights[1] * light[1] + weights[2] * light[2];
            float signal[3];
            for (size_t i = 0; i < 3; ++i) {
                const double nits = light[i] * kReferenceWhiteNits;
                const double scene =
                    nits / 1000.0 * std::pow(y * kReferenceWhiteNits / 1000.0, -0.2 / 1.2);
                signal[i] =
                    float(transfer == int(TransferCurve::Pq)    ? nitsToPq(nits)
                          : transfer == int(TransferCurve::Hlg) ? sceneToHlg(scene)
                                                                : std::pow(light[i], 1 / 2.4));
            }
            conversion.toScreen(&signal[0], &signal[1], &signal[2], 1);
            // A dark channel is the difference of large values: within 1/50,000 of white.
            for (size_t i = 0; i < 3; ++i)
                QVERIFY2(std::abs(signal[i] * 255.0 - c[i] * 255.0) < 1.0 ||
                             (c[i] == 0 && std::pow(signal[i], 2.4) < 2e-5),
                         qPrintable(QStringLiteral("%1 %2 %3 -> %4 in channel %5")
                                        .arg(c[0])
                                        .arg(c[1])
                                        .arg(c[2])
                                        .arg(signal[i] * 255)
                                        .arg(i)));
        }
        if (transfer != int(TransferCurve::Pq))
            return;
        std::vector<float> ramp;
        for (double nits = 0; nits <= 1000; nits += 0.5)
            ramp.push_back(float(nitsToPq(nits)));
        std::vector<float> g = ramp;
        std::vector<float> b = ramp;
        conversion.toScreen(ramp.data(), g.data(), b.data(), int(ramp.size()));
        QSet<int> highlights;
        for (size_t i = 1; i < ramp.size(); ++i) {
            QVERIFY(levels(ramp[i]) >= levels(ramp[i - 1]));
            if (i >= 400) // 200 nits on
                highlights.insert(levels(ramp[i]));
        }
        QVERIFY2(highlights.size() >= 20, qPrintable(QString::number(highlights.size())));
        QCOMPARE(levels(ramp.back()), 255);
        QCOMPARE(levels(ramp[160]), levels(float(sdrSignal(80.0 / kReferenceWhiteNits))));
    }

    // Colours BT.709 cannot show keep their hue and brightness: two greens of BT.2020
    // (cyan-ward of BT.709's: red is far below 0 there, blue a little) that differ only in
    // brightness stay apart, keep their luminance, and none is clipped at a channel's end.
    void gamutMapping() {
        VideoColours colours;
        colours.primaries = ColourPrimaries::Bt2020;
        const ColourConversion conversion(colours);
        float r[2] = {0.1f, 0.05f};
        float g[2] = {0.9f, 0.6f};
        float b[2] = {0.1f, 0.05f};
        const std::array<double, 3> w2020 = luminanceWeights(ColourPrimaries::Bt2020);
        const std::array<double, 3> w709 = luminanceWeights(ColourPrimaries::Bt709);
        double before[2];
        for (int i = 0; i < 2; ++i)
            before[i] = w2020[0] * std::pow(r[i], 2.4) + w2020[1] * std::pow(g[i], 2.4) +
                        w2020[2] * std::pow(b[i], 2.4);
        conversion.toScreen(r, g, b, 2);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(g[i] > b[i] && b[i] > r[i] && g[i] < 1.0f);
            const double after = w709[0] * std::pow(r[i], 2.4) + w709[1] * std::pow(g[i], 2.4) +
                                 w709[2] * std::pow(b[i], 2.4);
            QVERIFY2(std::abs(after / before[i] - 1) < 0.01, qPrintable(QString::number(after)));
        }
        QVERIFY(levels(g[0]) - levels(g[1]) > 20);
    }
};

QTEST_MAIN(TstMedia)
#include "tst_media.moc"
