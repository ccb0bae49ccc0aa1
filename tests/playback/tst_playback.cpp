// The playback rules: colours and their conversion, time text, the video surface, and the
// screen saver over D-Bus.
#include "playback/FormatTime.h"
#include "playback/VideoColours.h"
#include "playback/VideoSurface.h"
#include "playback/YuvPicture.h"
#include "playback/vlc/FrameSize.h"
#include "playback/vlc/ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <cmath>
#include <memory>

static const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");

// A stand-in screen saver: records the calls and answers Inhibit with increasing cookies.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls;
    uint nextCookie = 41;

public Q_SLOTS:
    uint Inhibit(const QString& application, const QString& reason) {
        calls << QStringLiteral("Inhibit %1 %2").arg(application, reason.isEmpty() ? "-" : "why");
        return ++nextCookie;
    }
    void UnInhibit(uint cookie) { calls << QStringLiteral("UnInhibit %1").arg(cookie); }
    // The test's own: answered only after every call sent before it.
    void Ping() {}
};

class TstPlayback : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // H.273 code points: matrix 1 BT.709, 2 unspecified, 3 reserved, 0 RGB, 6 SMPTE 170M,
    // 8 YCgCo, 9 BT.2020; transfer 16 PQ; range 0 unspecified, 1 limited, 2 full.
    void colours_data() {
        QTest::addColumn<int>("matrix");
        QTest::addColumn<int>("transfer");
        QTest::addColumn<int>("range");
        QTest::addColumn<bool>("decoderFull");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("expected"); // matrix/range, or "none"
        QTest::newRow("tagged 601 on HD")
            << 6 << 6 << 2 << false << QSize(1920, 1080) << "601/full";
        QTest::newRow("untagged HD") << 2 << 2 << 0 << false << QSize(1280, 720) << "709/limited";
        QTest::newRow("reserved matrix, decoder says full")
            << 3 << 2 << 0 << true << QSize(640, 360) << "601/full";
        QTest::newRow("RGB matrix on YUV")
            << 0 << 2 << 1 << false << QSize(1920, 1080) << "709/limited";
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
        QImage out(size, QImage::Format_RGB32);
        convertYuvToRgb32(picture,
                          {ColourMatrix(matrix), full ? ColourRange::Full : ColourRange::Limited},
                          out.bits(), out.bytesPerLine());
        for (int stripe = 0; stripe < 4; ++stripe) {
            const QColor got = out.pixelColor(stripe * 16 + 8, 4), want(stripes[stripe]);
            QVERIFY2(qAbs(got.red() - want.red()) <= 1 && qAbs(got.green() - want.green()) <= 1 &&
                         qAbs(got.blue() - want.blue()) <= 1,
                     qPrintable(QStringLiteral("stripe %1: %2").arg(stripe).arg(got.name())));
        }
    }

    // The size asked of libVLC: the track's visible size inside the decoder's padded
    // picture, widened or heightened to square pixels; the decoder's own size when the
    // track's cannot be this picture's (another track, a size changed mid-stream).
    void outputSize_data() {
        QTest::addColumn<QSize>("decoded");
        QTest::addColumn<QSize>("track");
        QTest::addColumn<int>("sarNum");
        QTest::addColumn<int>("sarDen");
        QTest::addColumn<QSize>("asked");
        QTest::newRow("padded lines")
            << QSize(320, 258) << QSize(320, 240) << 1 << 1 << QSize(320, 240);
        QTest::newRow("wide pixels")
            << QSize(720, 576) << QSize(720, 576) << 16 << 11 << QSize(1047, 576);
        QTest::newRow("track of another picture")
            << QSize(1280, 720) << QSize(320, 240) << 1 << 1 << QSize(1280, 720);
        QTest::newRow("track larger")
            << QSize(320, 240) << QSize(640, 480) << 2 << 1 << QSize(320, 240);
    }
    void outputSize() {
        QFETCH(QSize, decoded);
        QFETCH(QSize, track);
        QFETCH(int, sarNum);
        QFETCH(int, sarDen);
        QTEST(frameOutputSize(decoded, track, unsigned(sarNum), unsigned(sarDen)).value_or(QSize()),
              "asked");
    }

    void formatTime_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("61") << 61 << "00:01:01";
        QTest::newRow("hours are not limited") << 360000 << "100:00:00";
    }
    void formatTime() {
        QFETCH(int, seconds);
        QTEST(FormatTime(seconds), "text");
    }

    // The frame on black at the shape it is meant to be seen at.
    void surfacePaints() {
        VideoSurface surface;
        surface.resize(200, 200);
        QImage red(160, 180, QImage::Format_RGB32); // coded narrow, shown 320 x 180
        red.fill(Qt::red);
        surface.showFrame({red, 1, QSize(320, 180), 0});
        QImage out(surface.size(), QImage::Format_RGB32);
        surface.render(&out);
        QCOMPARE(out.pixelColor(1, 50), QColor(Qt::red));
        QCOMPARE(out.pixelColor(100, 10), QColor(Qt::black));
        surface.showFrame({});
        QVERIFY(surface.frame().isNull());
    }

    // Inhibit and UnInhibit against a stand-in service on a private bus; steps: + inhibit,
    // - release, s let every call arrive; the inhibitor is destroyed after the steps.
    void screenSaver_data() {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("calls");
        const QString inhibit = QStringLiteral("Inhibit Framora why");
        QTest::newRow("inhibit, release, again with a new cookie")
            << true << "+ s - + s - s"
            << QStringList{inhibit, "UnInhibit 42", inhibit, "UnInhibit 43"};
        QTest::newRow("released before the answer came, once it comes")
            << true << "+ - s s" << QStringList{inhibit, "UnInhibit 42"};
        QTest::newRow("bus without the service: nothing, and no complaint")
            << false << "+ s - s" << QStringList{};
    }
    void screenSaver() {
        QFETCH(bool, service);
        QFETCH(QString, steps);
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            QSKIP("dbus-daemon is not installed");
        QCoreApplication::setApplicationName(QStringLiteral("Framora"));
        QProcess daemon;
        daemon.start(program, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                               QStringLiteral("--print-address")});
        QVERIFY(daemon.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(daemon.canReadLine(), 10000);
        const QString address = QString::fromLocal8Bit(daemon.readLine()).trimmed();
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        QDBusConnection server = QDBusConnection::connectToBus(address, QStringLiteral("s ") + tag);
        QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("c ") + tag);
        FakeScreenSaver fake;
        QVERIFY(server.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &fake,
                                      QDBusConnection::ExportAllSlots));
        if (service)
            QVERIFY(server.registerService(kService));
        const auto settle = [&] {
            QDBusPendingCallWatcher ping(client.asyncCall(QDBusMessage::createMethodCall(
                kService, QStringLiteral("/org/freedesktop/ScreenSaver"), kService,
                QStringLiteral("Ping"))));
            QSignalSpy answered(&ping, &QDBusPendingCallWatcher::finished);
            QTRY_COMPARE(answered.size(), 1);
        };
        auto inhibitor = std::make_unique<ScreenSaverInhibitor>(client);
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            if (step == QLatin1String("s"))
                settle();
            else
                inhibitor->setInhibited(step == QLatin1String("+"));
        }
        inhibitor.reset();
        settle();
        QTEST(fake.calls, "calls");
    }
};

QTEST_MAIN(TstPlayback)
#include "tst_playback.moc"
