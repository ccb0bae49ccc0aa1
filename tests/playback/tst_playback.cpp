// The playback rules: what may be opened, frame sizes, time text, and the video surface.
#include "playback/FormatTime.h"
#include "playback/MediaTypes.h"
#include "playback/OpenRefusal.h"
#include "playback/SideCarSubtitles.h"
#include "playback/VideoSurface.h"
#include "playback/media/ColourConversion.h"
#include "playback/vlc/FrameSize.h"

#include <QtTest>

#include <cmath>
#include <memory>

class TstPlayback : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A known name is left to the engine; any other is judged by its content, and each
    // refusal says why.
    void openRefusal_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("content"); // video, text, picture, subtitles, folder, none
        QTest::addColumn<QString>("refusal"); // a part of it; empty when it may be opened
        QTest::addColumn<ContentKind>("kind");
        QTest::newRow("known name, any content") << "phone.MOV"
                                                 << "text" << QString() << ContentKind::Unknown;
        QTest::newRow("video under another name") << "holiday.bin"
                                                  << "video" << QString() << ContentKind::Media;
        QTest::newRow("video without extension") << "holiday"
                                                 << "video" << QString() << ContentKind::Media;
        QTest::newRow("a picture") << "shot.dat"
                                   << "picture"
                                   << "still picture" << ContentKind::StillImage;
        QTest::newRow("subtitles") << "film.txt"
                                   << "subtitles"
                                   << "subtitles" << ContentKind::Subtitles;
        QTest::newRow("text") << "notes.txt"
                              << "text"
                              << "neither its name nor its content" << ContentKind::Unknown;
        QTest::newRow("empty") << "empty.dat"
                               << ""
                               << "neither its name" << ContentKind::Unknown;
        QTest::newRow("folder named like a video") << "folder.mp4"
                                                   << "folder"
                                                   << "not a regular file" << ContentKind::Unknown;
        QTest::newRow("missing") << "gone.mp4"
                                 << "none"
                                 << "no such file" << ContentKind::Unknown;
        QTest::newRow("web address") << "https://example.com/a.mp4"
                                     << "none"
                                     << "web addresses" << ContentKind::Unknown;
    }
    void openRefusal() {
        QFETCH(QString, name);
        QFETCH(QString, content);
        QTemporaryDir dir;
        const QString path = name.contains(QLatin1String("://")) ? name : dir.filePath(name);
        const QString source =
            qEnvironmentVariable("FRAMORA_SOURCE_DIR", QStringLiteral(FRAMORA_TEST_SOURCE_DIR));
        if (content == QLatin1String("video")) {
            QVERIFY(QFile::copy(source + QStringLiteral("/samples/sample.mp4"), path));
        } else if (content == QLatin1String("picture")) {
            QImage image(16, 16, QImage::Format_RGB32);
            image.fill(Qt::red);
            QVERIFY(image.save(path, "PNG"));
        } else if (content == QLatin1String("folder")) {
            QVERIFY(QDir(dir.path()).mkdir(name));
        } else if (content != QLatin1String("none")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (content == QLatin1String("text"))
                file.write("not a video\n");
            else if (content == QLatin1String("subtitles"))
                file.write("1\n00:00:01,000 --> 00:00:02,500\nHello\n\n2\n"
                           "00:00:03,000 --> 00:00:04,000\nWorld\n");
        }
        ContentKind kind = ContentKind::Media;
        const QString given = ::openRefusal(path, supportedExtensionList(), &kind);
        QFETCH(QString, refusal);
        if (refusal.isEmpty())
            QCOMPARE(given, QString());
        else
            QVERIFY2(given.contains(refusal), qPrintable(given));
        QTEST(kind, "kind");
    }

    // The size asked of libVLC: the track's visible size inside the decoder's padded
    // picture, widened or heightened to square pixels; the decoder's own size when the
    // track's cannot be this picture's (another track, a size changed mid-stream).
    // Subtitle files named as the video, with or without more before their extension, in
    // any letter case; not another video's that merely begins alike.
    void sideCarSubtitles() {
        QTemporaryDir dir;
        for (const char* name : {"film.mp4", "film.srt", "film.en.srt", "FILM.ass", "film.txt",
                                 "filmmaker.srt", "other.vtt", "film.forced.vtt"}) {
            QFile file(dir.filePath(QString::fromLatin1(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QStringList found;
        for (const QString& path : ::sideCarSubtitles(dir.filePath(QStringLiteral("film.mp4"))))
            found << QFileInfo(path).fileName();
        found.sort(Qt::CaseInsensitive);
        QCOMPARE(found,
                 QStringList({QStringLiteral("FILM.ass"), QStringLiteral("film.en.srt"),
                              QStringLiteral("film.forced.vtt"), QStringLiteral("film.srt")}));
    }

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

    // The frame on black at the shape it is meant to be seen at, once converted for the
    // size it is painted at.
    void surfacePaints() {
        VideoSurface surface;
        surface.resize(200, 200);
        QImage red(160, 180, QImage::Format_RGB32); // coded narrow, shown 320 x 180
        red.fill(Qt::red);
        VideoFrame frame = VideoFrame::fromImage(red);
        frame.shownSize = QSize(320, 180);
        surface.showFrame(frame);
        QImage out(surface.size(), QImage::Format_RGB32);
        surface.render(&out);
        QTRY_VERIFY(!surface.shownImage().isNull());
        QCOMPARE(surface.shownImage().size(),
                 QSize(320, 180).scaled(200, 200, Qt::KeepAspectRatio));
        surface.render(&out);
        QCOMPARE(out.pixelColor(1, 50), QColor(Qt::red));
        QCOMPARE(out.pixelColor(100, 10), QColor(Qt::black));
        surface.showFrame({});
        QVERIFY(surface.frame().isNull());
    }

    // Painted small, a YUV picture of fine detail is what the full picture scaled down
    // smoothly is, within a level: shrinking averages, it does not pick pixels.
    void surfaceScalesFromYuv() {
        const QSize size(640, 360);
        auto planes =
            std::make_shared<std::vector<uchar>>(size_t(size.width() * size.height()) * 3 / 2);
        uchar* y = planes->data();
        uchar* u = y + size.width() * size.height();
        uchar* v = u + size.width() * size.height() / 4;
        // Squares of 5 by 7 pixels over a ramp, as text and edges are; colour that changes
        // smoothly, as it does in video.
        for (int row = 0; row < size.height(); ++row)
            for (int x = 0; x < size.width(); ++x)
                y[row * size.width() + x] = uchar((x / 5 + row / 7) % 2 ? 200 : 30 + x / 8);
        for (int row = 0; row < size.height() / 2; ++row)
            for (int x = 0; x < size.width() / 2; ++x) {
                u[row * size.width() / 2 + x] = uchar(100 + x / 8);
                v[row * size.width() / 2 + x] = uchar(150 - row / 6);
            }
        VideoColours colours;
        colours.matrix = ColourMatrix::Bt709;
        const YuvPicture picture{{ChromaSubsampling::Yuv420, 8},
                                 size,
                                 {y, u, v},
                                 {size.width(), size.width() / 2, size.width() / 2}};
        VideoFrame frame;
        frame.picture = std::make_shared<const FramePicture>(
            picture, std::make_shared<const ColourConversion>(colours), planes,
            qsizetype(planes->size()));
        frame.serial = 7;
        VideoSurface surface;
        surface.resize(213, 120);
        surface.showFrame(frame);
        QImage out(surface.size(), QImage::Format_RGB32);
        surface.render(&out);
        QTRY_VERIFY(!surface.shownImage().isNull());
        const QImage small = surface.shownImage();
        const QImage reference =
            frame.toImage().scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        double error = 0;
        for (int row = 0; row < small.height(); ++row)
            for (int x = 0; x < small.width(); ++x) {
                const QRgb a = small.pixel(x, row);
                const QRgb b = reference.pixel(x, row);
                error += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                         std::abs(qBlue(a) - qBlue(b));
            }
        error /= 3.0 * small.width() * small.height();
        QVERIFY2(error < 1.0, qPrintable(QString::number(error)));
    }
};

QTEST_MAIN(TstPlayback)
#include "tst_playback.moc"
