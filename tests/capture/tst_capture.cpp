// The capture rules and the capture service on real files: numbering, encoding, writing,
// the throttle, the interval text and the capture modes.
#include "capture/CaptureService.h"
#include "capture/EngineOptions.h"
#include "capture/ExportRange.h"
#include "capture/IntervalText.h"
#include "capture/PngFilter.h"
#include "capture/SnapshotEncoder.h"
#include "capture/SnapshotNaming.h"
#include "capture/SnapshotNumbering.h"
#include "capture/SnapshotThrottle.h"
#include "capture/SnapshotWriter.h"
#include "playback/media/MediaService.h"
#include "support/FakeEngine.h"
#include "support/ImagePixels.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace Qt::Literals::StringLiterals;

static constexpr int kTimeout = 120000;

static QImage solid(QColor colour, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Detail everywhere, like real footage with grain: the expensive case for PNG.
static QImage noise(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(size.width() * 7919 + size.height());
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    return image;
}

static QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

static bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class TstCapture : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Steps: "+n" reserve gives n, "wn" snapshot n written, "-n" snapshot n failed. A failed
    // number comes back only where no file can land before an earlier one.
    void numbering() {
        QTemporaryDir dir;
        SnapshotNumbering numbering;
        for (const QString& step : QStringLiteral("+1 +2 +3 -2 +4 w1 w3 w4 +5").split(' ')) {
            const int n = step.mid(1).toInt();
            if (step.startsWith('+'))
                QCOMPARE(numbering.reserve(dir.path(), "IMG_", false), n);
            else if (step.startsWith('w') &&
                     writeFile(snapshotFilePath(dir.path(), "IMG_", n, false), "x"))
                numbering.settle(dir.path(), "IMG_", false, n);
            else
                numbering.release(dir.path(), "IMG_", false, n);
        }
    }

    // Two snapshots into a folder holding these names (a trailing '/' makes a folder):
    // taken names are skipped, never replaced; each file is a real image of its format.
    void numbersOnDisk_data() {
        QTest::addColumn<bool>("jpeg");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("taken names skipped, holes used")
            << false << QStringList{"IMG_00001.png", "IMG_00003.png"} << QList<int>{2, 4};
        QTest::newRow("JPG numbered on its own")
            << true << QStringList{"IMG_00001.png"} << QList<int>{1, 2};
        QTest::newRow("a folder of that name")
            << true << QStringList{"IMG_00001.jpg/"} << QList<int>{2, 3};
    }
    void numbersOnDisk() {
        QFETCH(bool, jpeg);
        QFETCH(QStringList, existing);
        QFETCH(QList<int>, numbers);
        QTemporaryDir root;
        const QString dir = root.filePath("a/b");
        for (const QString& name : existing)
            QVERIFY(name.endsWith('/') ? QDir(dir).mkpath(name)
                                       : QDir().mkpath(dir) && writeFile(dir + '/' + name, "x"));
        SnapshotWriter writer;
        QSignalSpy written(&writer, &SnapshotWriter::written);
        const QColor colours[] = {Qt::red, Qt::blue};
        for (const QColor& colour : colours)
            writer.submit({solid(colour, {7, 5}), dir, "IMG_", jpeg});
        QVERIFY(writer.waitForDone(kTimeout));
        QCOMPARE(written.size(), 2);
        for (int i = 0; i < 2; ++i) {
            const QString path = dir + '/' + snapshotFileName("IMG_", numbers[i], jpeg);
            QCOMPARE(written.at(i).at(0).toString(), path);
            const QImage image(path, jpeg ? "jpeg" : "png");
            QCOMPARE(image.size(), QSize(7, 5));
            QVERIFY(qAbs(image.pixelColor(3, 2).hue() - colours[i].hue()) < 8);
        }
        QCOMPARE(entriesOf(dir).size(), existing.size() + 2);
    }

    // Workers finish out of order (the first frame is by far the slowest to encode); the
    // numbers and the results, failures among them, still follow the order of submission.
    void submissionOrder() {
        QTemporaryDir dir;
        SnapshotWriter writer(4);
        QStringList results;
        connect(&writer, &SnapshotWriter::written, this,
                [&](const QString& path) { results << QFileInfo(path).fileName(); });
        connect(&writer, &SnapshotWriter::failed, this, [&] { results << "failed"; });
        const QImage first = noise({1280, 720});
        QVERIFY(writeFile(dir.filePath("plain"), "a file where a folder should be"));
        writer.submit({first, dir.path(), "IMG_", false});
        writer.submit({solid(Qt::red, {8, 8}), QString(), "IMG_", false});
        writer.submit({solid(Qt::red, {8, 8}), dir.filePath("plain/x"), "IMG_", false});
        QStringList expected{"IMG_00001.png", "failed", "failed"};
        for (int n = 2; n <= 9; ++n) {
            writer.submit(
                {solid(Qt::green, QSize(8 + 40 * (10 - n), 8)), dir.path(), "IMG_", false});
            expected << snapshotFileName("IMG_", n, false);
        }
        QVERIFY(writer.waitForDone(kTimeout));
        QCOMPARE(results, expected);
        QCOMPARE(rgbPixels(QImage(dir.filePath("IMG_00001.png"))), first);
    }

    // The disk fills up part-way through a file: the reason says so, nothing is left
    // under a final name nor as a temporary file, and the number is not wasted. What a
    // crash left half-written over a minute ago goes with the next write; a younger one
    // may be another program's and stays.
    void fullDiskLeavesNothing() {
        QTemporaryDir dir;
        SnapshotWriter writer;
        QSignalSpy failed(&writer, &SnapshotWriter::failed);
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 4096;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        writer.submit({noise({128, 128}), dir.path(), "IMG_", false});
        writer.submit({noise({128, 128}), dir.path(), "IMG_", true});
        const bool done = writer.waitForDone(kTimeout);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(done);
        QCOMPARE(failed.size(), 2);
        QVERIFY2(failed.at(0).at(0).toString().endsWith(qt_error_string(EFBIG)),
                 qPrintable(failed.at(0).at(0).toString()));
        QCOMPARE(entriesOf(dir.path()), QStringList());
        for (const char* name : {".IMG_00007.png.part", ".IMG_00008.jpg.2.part"}) {
            QFile old(dir.filePath(name));
            QVERIFY(old.open(QIODevice::WriteOnly));
            QVERIFY(old.setFileTime(QDateTime::currentDateTime().addSecs(-120),
                                    QFileDevice::FileModificationTime));
        }
        QVERIFY(writeFile(dir.filePath(".IMG_00009.png.part"), "in progress"));
        SnapshotWriter next;
        next.submit({noise({16, 16}), dir.path(), "IMG_", false});
        QVERIFY(next.waitForDone(kTimeout));
        QCOMPARE(entriesOf(dir.path()), QStringList({".IMG_00009.png.part", "IMG_00001.png"}));
        // A backlog dropped after a failure: what had not started ends in an empty reason,
        // nothing of it is on disk, and the numbers go on without a gap.
        // The pictures are made first and the first is large, so that the writer is
        // still busy with it when the rest are dropped, however slow the machine.
        SnapshotWriter one(1);
        QSignalSpy dropped(&one, &SnapshotWriter::failed);
        const QImage large = noise({1920, 1080});
        const QImage tiny = noise({64, 48});
        one.submit({large, dir.path(), "IMG_", false});
        for (int i = 0; i < 3; ++i)
            one.submit({tiny, dir.path(), "IMG_", false});
        one.dropQueued();
        QVERIFY(one.waitForDone(kTimeout));
        QVERIFY(dropped.size() >= 1);
        QVERIFY(std::all_of(dropped.cbegin(), dropped.cend(), [](const QList<QVariant>& reason) {
            return reason.at(0).toString().isEmpty();
        }));
        one.submit({noise({16, 16}), dir.path(), "IMG_", false});
        QVERIFY(one.waitForDone(kTimeout));
        QCOMPARE(entriesOf(dir.path()).size(), 2 + 4 - int(dropped.size()) + 1);
        QVERIFY(QFile::exists(
            dir.filePath(snapshotFileName("IMG_", 2 + 4 - int(dropped.size()), false))));
    }

    // Row prediction where it pays: Sub along rows of one colour, Up down columns of one
    // colour, Paeth on blocks, none on grain; at either level every picture reads back
    // exactly as it was.
    void pngPrediction_data() {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<int>("filter");
        const auto ramp = [](int dx, int dy) {
            QImage image(64, 48, QImage::Format_RGB32);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    image.setPixel(x, y, qRgb(dx * x + dy * y, 99, 255 - dx * x - dy * y));
            return image;
        };
        QTest::newRow("grain") << noise({64, 48}) << 0;
        QTest::newRow("rows of one colour") << ramp(0, 2) << 1;
        QTest::newRow("columns of one colour") << ramp(2, 0) << 2;
        const QImage blocks = noise({16, 16}).scaled(64, 48); // edges both ways
        QTest::newRow("blocks") << blocks << 4;
        QTest::newRow("one pixel wide: as it is") << ramp(0, 2).copy(0, 0, 1, 48) << 0;
    }
    void pngPrediction() {
        QFETCH(QImage, image);
        const int w = image.width();
        QByteArray rows((1 + 3 * w) * qsizetype(image.height()), '\0');
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < w; ++x) {
                const QRgb p = image.pixel(x, y);
                char* out = rows.data() + (1 + 3 * w) * qsizetype(y) + 1 + 3 * x;
                out[0] = char(qRed(p)), out[1] = char(qGreen(p)), out[2] = char(qBlue(p));
            }
        (void)predictRows(reinterpret_cast<uchar*>(rows.data()), w, image.height());
        QTEST(int(rows.at(0)), "filter");
        for (int level : {kSnapshotPngFastLevel, kSnapshotPngLevel})
            QCOMPARE(rgbPixels(QImage::fromData(encodePng(image, SnapshotDeflate(), level).bytes)),
                     image);
    }

    // The level: the usual one alone and up to a megapixel; the fast one for big frames
    // coming one after another; a lower one for small frames only when far behind.
    void pngLevel_data() {
        QTest::addColumn<qint64>("pixels");
        QTest::addColumn<int>("others");
        QTest::addColumn<int>("level");
        QTest::newRow("1080p alone") << 1920LL * 1080 << 0 << 5;
        QTest::newRow("1080p in a stream") << 1920LL * 1080 << 1 << 1;
        QTest::newRow("720p in a stream") << 1280LL * 720 << 3 << 5;
        QTest::newRow("720p far behind") << 1280LL * 720 << 8 << 3;
    }
    void pngLevel() {
        QFETCH(qint64, pixels);
        QFETCH(int, others);
        QTEST(pngLevelFor(pixels, others, 2), "level");
    }

    // Every video has a folder of its own whose name the file system takes (at most 255
    // bytes): a long name is cut at a whole character, and two long names that differ only
    // at their end still get two folders.
    void videoFolder_data() {
        QTest::addColumn<QString>("video");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short") << u"clip.mp4"_s << false;
        QTest::newRow("248 bytes: fits") << QString(244, u'a') + u".mp4"_s << false;
        QTest::newRow("251 bytes") << QString(247, u'a') + u".mp4"_s << true;
        QTest::newRow("two-byte characters") << QString(130, u'é') + u".mp4"_s << true;
        QTest::newRow("four-byte characters")
            << QString::fromUtf8("\xf0\x9f\x8e\xac").repeated(70) + u".mp4"_s << true;
    }
    void videoFolder() {
        QFETCH(QString, video);
        QFETCH(bool, cut);
        const QString folder =
            QFileInfo(perVideoSnapshotFolder(u"/shots"_s, u"/v/"_s + video)).fileName();
        QVERIFY(QFile::encodeName(folder).size() <= 255);
        QVERIFY(folder.endsWith(u" Images"_s));
        QCOMPARE(folder == video + u" Images"_s, !cut);
        QVERIFY(QString::fromUtf8(QFile::encodeName(folder)) == folder); // whole characters
        QVERIFY(folder.startsWith(video.left(20)));
        const QString other =
            QFileInfo(perVideoSnapshotFolder(u"/shots"_s, u"/v/"_s + video + u"x"_s)).fileName();
        QVERIFY(other != folder);
    }

    // Each image says where it came from, in fields that stay valid and unambiguous
    // whatever the video is called: no control character in a PNG text chunk (as pngcheck
    // demands), no forged field in the JPEG comment, and the name read back exactly.
    void origin_data() {
        QTest::addColumn<QString>("video");
        QTest::addColumn<QString>("written");
        QTest::newRow("Latin-1") << u"Å clip.mp4"_s << u"Å clip.mp4"_s;
        QTest::newRow("beyond Latin-1") << u"日本.mp4"_s << u"日本.mp4"_s;
        const QChar esc(0x1b), bell(7), tab(9), lineBreak(10);
        QTest::newRow("escape, bell, tab")
            << u"a"_s + esc + u"[31m"_s + bell + tab + u"b.mp4"_s << u"a\\x1b[31m\\x07\\x09b.mp4"_s;
        QTest::newRow("a line break and a forged field")
            << u"x.mp4"_s + lineBreak + u"Frame Number: 7"_s << u"x.mp4\\x0aFrame Number: 7"_s;
        QTest::newRow("a backslash") << u"a\\x0a.mp4"_s << u"a\\\\x0a.mp4"_s;
    }
    void origin() {
        QFETCH(QString, video);
        QFETCH(QString, written);
        const SnapshotOrigin origin{video, 3723004, 93075, QDateTime::currentDateTime()};
        const QByteArray pngBytes = encodePng(noise({8, 8}), SnapshotDeflate(), 5, origin).bytes;
        const QImage png = QImage::fromData(pngBytes);
        QCOMPARE(png.text(u"Video"_s), written);
        QCOMPARE(png.text(u"Media Time"_s), u"01:02:03.004"_s);
        QCOMPARE(png.text(u"Frame Number"_s), u"93075"_s);
        QVERIFY(png.text(u"Software"_s).startsWith(u"Framora "_s));
        for (qsizetype at = 8; at + 12 <= pngBytes.size();) {
            const qsizetype length = qFromBigEndian<quint32>(pngBytes.constData() + at);
            const QByteArray type = pngBytes.mid(at + 4, 4);
            const QByteArray data = pngBytes.mid(at + 8, length);
            if (type == "tEXt" || type == "iTXt") {
                const QByteArray text = data.mid(data.lastIndexOf('\0') + 1);
                QVERIFY2(std::none_of(text.cbegin(), text.cend(),
                                      [](char c) { return uchar(c) < 0x20 || uchar(c) == 0x7f; }),
                         text.constData());
            }
            at += 12 + length;
        }
        const QByteArray jpeg = encodeJpeg(noise({8, 8}), origin).bytes;
        const qsizetype comment = jpeg.indexOf("\xFF\xFE");
        QVERIFY(comment > 0);
        const QStringList lines =
            QString::fromUtf8(
                jpeg.mid(comment + 4, qFromBigEndian<quint16>(jpeg.constData() + comment + 2) - 2))
                .split(QLatin1Char('\n'));
        QCOMPARE(lines.filter(QRegularExpression(u"^Frame Number: "_s)),
                 QStringList{u"Frame Number: 93075"_s});
        QVERIFY(lines.contains(u"Description: "_s + written + u" at 01:02:03.004, frame 93075"_s));
    }

    // What the pixels mean, in every file: an 8-bit PNG and a JPEG say sRGB (the screen's);
    // a 16-bit PNG of a video's own signal says its primaries and transfer (cICP) and keeps
    // all 16 bits.
    void colourTags() {
        const QImage png = QImage::fromData(encodePng(noise({8, 8}), SnapshotDeflate()).bytes);
        QCOMPARE(png.colorSpace(), QColorSpace(QColorSpace::SRgb));
        const QImage jpeg = QImage::fromData(encodeJpeg(noise({8, 8})).bytes);
        QCOMPARE(jpeg.colorSpace().primaries(), QColorSpace::Primaries::SRgb);
        QImage deep(4, 2, QImage::Format_RGBX64);
        deep.fill(QColor::fromRgba64(0x1234, 0xabcd, 0x0101));
        const QByteArray hdr =
            encodePng(deep, SnapshotDeflate(), 5, {}, CicpCodes{9, 16, 0, 1}).bytes;
        QVERIFY(hdr.contains(QByteArray("cICP\x09\x10\x00\x01", 8)));
        QVERIFY(!hdr.contains("sRGB"));
        const QImage read = QImage::fromData(hdr);
        QCOMPARE(read.depth(), 64);
        QCOMPARE(read.pixelColor(3, 1).rgba64(),
                 QColor::fromRgba64(0x1234, 0xabcd, 0x0101).rgba64());
    }

    // 1000 to 60000 ms after rounding halves to the even neighbour; blanks ignored, reading
    // stops at anything else.
    void interval_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("interval"); // -1 = refused
        QTest::newRow("below") << "999.9" << -1;
        QTest::newRow("above") << "60000.4" << -1;
        QTest::newRow("blank inside, unit after, half to even") << " 2 500.5 ms" << 2500;
    }
    void interval() {
        QFETCH(QString, text);
        QTEST(timedIntervalFromText(text).value_or(-1), "interval");
    }

    // Missing marks are the ends of the video, reversed ones swap, and the range stays
    // within the video; an unknown length leaves the end open.
    void exportRange_data() {
        QTest::addColumn<qint64>("in");
        QTest::addColumn<qint64>("out");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("to");
        QTest::newRow("no marks") << -1LL << -1LL << 9000LL << 0LL << 9000LL;
        QTest::newRow("both") << 2000LL << 3960LL << 9000LL << 2000LL << 3960LL;
        QTest::newRow("end before start") << 3960LL << 2000LL << 9000LL << 2000LL << 3960LL;
        QTest::newRow("end only, past the video") << -1LL << 12000LL << 9000LL << 0LL << 9000LL;
        QTest::newRow("start past the end") << 9500LL << -1LL << 9000LL << 9000LL << 9000LL;
        QTest::newRow("length unknown")
            << 100LL << -1LL << 0LL << 100LL << std::numeric_limits<qint64>::max();
    }
    void exportRange() {
        QFETCH(qint64, in);
        QFETCH(qint64, out);
        QFETCH(qint64, length);
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        QCOMPARE(exportRangeFor(in, out, length), (ExportRange{from, to}));
    }

    // A script of requests: p<n> / z<n> playing / paused with frame n, optionally @<ms>;
    // d one write ended; n another video. W writes, C folds into work already done.
    void throttle_data() {
        QTest::addColumn<int>("budget"); // in frames: each picture here holds one byte
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("decisions");
        QTest::addColumn<int>("skipped");
        QTest::newRow("playing: each frame once") << 8 << "p1 p1 p2 d p2 p3"
                                                  << "WCWCW" << 0;
        QTest::newRow("paused: again once the last write ended") << 8 << "z5 z5 d z5"
                                                                 << "WCW" << 0;
        QTest::newRow("past the budget: skipped, counted") << 2 << "p1 p2 p3 d p4 p5"
                                                           << "WWSWS" << 2;
        QTest::newRow("room while the frame is still on screen") << 1 << "p1 p2 p2 d p2"
                                                                 << "WSSW" << 0;
        QTest::newRow("one always goes through") << 0 << "p1 p2 d p3"
                                                 << "WSW" << 1;
        QTest::newRow("another video") << 8 << "p1 n p1"
                                       << "WW" << 0;
        QTest::newRow("a still frame again after half a second")
            << 8 << "p1@1000 d p1@1499 p1@1500 p1@2100"
            << "WCWC" << 0;
    }
    void throttle() {
        QFETCH(int, budget);
        QFETCH(QString, script);
        SnapshotThrottle throttle(budget);
        QString made;
        for (const QString& step : script.split(' ')) {
            if (step == "d")
                throttle.finished();
            else if (step == "n")
                throttle.forgetFrames();
            else {
                const QStringList frameAndTime = step.mid(1).split('@');
                made += "WCS"[int(throttle.request(frameAndTime.at(0).toULongLong(),
                                                   step.startsWith('z'),
                                                   frameAndTime.value(1).toLongLong(), 1))];
            }
        }
        QTEST(made, "decisions");
        QTEST(throttle.skipped(), "skipped");
    }

    // The service with a fake engine and real files: the folder is made, a request before
    // the first picture is taken with it, the preview follows the file, a request without
    // a video is refused, and requests every tick on one frame write it once.
    void service() {
        QTemporaryDir root;
        FakeEngine engine;
        MediaService media;
        CaptureService capture(engine, media);
        QSignalSpy written(&capture, &CaptureService::written);
        QSignalSpy previews(&capture, &CaptureService::previewReady);
        QVERIFY(!capture.snapshot());
        capture.setTarget({root.filePath("v.mp4 Images"), "IMG_", false, true});
        engine.position = 0;
        QVERIFY(capture.snapshot());
        QCOMPARE(capture.pending(), 0);
        engine.show(solid(Qt::red, {32, 16}));
        engine.playing = true;
        for (int tick = 0; tick < 5; ++tick)
            QVERIFY(capture.snapshot());
        QVERIFY(capture.waitForDone(kTimeout));
        QTRY_COMPARE(written.size(), 1);
        QCOMPARE(previews.size(), 1);
        engine.show(solid(Qt::blue, {32, 16}));
        QVERIFY(capture.snapshot());
        QTRY_COMPARE(written.size(), 2);
        QCOMPARE(entriesOf(root.filePath("v.mp4 Images")),
                 (QStringList{"IMG_00001.png", "IMG_00002.png"}));
    }
};

QTEST_MAIN(TstCapture)
#include "tst_capture.moc"
