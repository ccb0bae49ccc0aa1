#include "capture/SnapshotDeflate.h"
#include "capture/SnapshotEncoder.h"
#include "capture/SnapshotNaming.h"
#include "capture/SnapshotWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

static constexpr int kTimeout = 120000;

static QImage solid(QColor colour, QSize size, QImage::Format format = QImage::Format_RGB32) {
    QImage image(size, format);
    image.fill(colour);
    return image;
}

// Detail everywhere, like real footage with grain: the expensive case for PNG.
static QImage noise(QSize size, QImage::Format format = QImage::Format_RGB32) {
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(size.width() * 7919 + size.height());
    for (int y = 0; y < image.height(); ++y) {
        auto line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    return image.convertToFormat(format);
}

static QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

static QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static bool sameRgb(const QImage& a, const QImage& b) {
    return a.size() == b.size() &&
           a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

static bool closeTo(QColor a, QColor b, int tolerance) {
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

class TestSnapshotWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pngIsLossless_data();
    void pngIsLossless();
    void pngSizeDoesNotDependOnTheDeflater();
    void writesRealImageFiles_data();
    void writesRealImageFiles();
    void numbersFollowSubmissionOrder();
    void neverOverwritesExistingFiles();
    void failuresReportOnceAndLeaveNothing_data();
    void failuresReportOnceAndLeaveNothing();
    void writeErrorHalfwayLeavesNothing();
    void resultsComeInSubmissionOrder();
    void destroyingWithPendingWorkIsSafe_data();
    void destroyingWithPendingWorkIsSafe();
};

void TestSnapshotWriter::pngIsLossless_data() {
    QTest::addColumn<QImage>("image");
    QTest::addColumn<SnapshotDeflate::Backend>("backend");

    const std::pair<const char*, QImage> images[] = {
        {"RGB32 noise, odd size", noise({33, 17})},
        {"RGB32 noise, 720p", noise({1280, 720})},
        {"RGB888, padded rows", noise({31, 9}, QImage::Format_RGB888)},
        {"premultiplied, opaque", noise({16, 16}, QImage::Format_ARGB32_Premultiplied)},
        {"RGBX8888", noise({15, 4}, QImage::Format_RGBX8888)},
        {"grayscale", noise({20, 10}, QImage::Format_Grayscale8)},
        {"one pixel", solid(QColor(1, 2, 3), {1, 1})}};
    // Fastest is libdeflate where the system has it, zlib again where it does not.
    for (const auto& [name, image] : images) {
        QTest::addRow("%s, zlib", name) << image << SnapshotDeflate::Backend::Zlib;
        QTest::addRow("%s, fastest", name) << image << SnapshotDeflate::Backend::Fastest;
    }
}

void TestSnapshotWriter::pngIsLossless() {
    QFETCH(QImage, image);
    QFETCH(SnapshotDeflate::Backend, backend);
    const SnapshotDeflate deflate(backend);
    const EncodedSnapshot png = encodePng(image, deflate);
    QVERIFY2(png.error.isEmpty(), qPrintable(png.error));
    QVERIFY(png.bytes.startsWith("\x89PNG\r\n\x1a\n"));
    QImage decoded;
    QVERIFY(decoded.loadFromData(png.bytes, "png"));
    QVERIFY(sameRgb(decoded, image));
}

// The faster deflater must not buy its speed with bigger files at the same level.
void TestSnapshotWriter::pngSizeDoesNotDependOnTheDeflater() {
    const SnapshotDeflate fastest(SnapshotDeflate::Backend::Fastest);
    if (!fastest.usesLibdeflate())
        QSKIP("libdeflate is not installed");
    // Smooth shading under grain, as in filmed footage.
    QImage image(640, 360, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < image.height(); ++y) {
        auto line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = int(random.bounded(25)) - 12;
            line[x] = qRgb(qBound(0, x * 255 / 640 + grain, 255),
                           qBound(0, y * 255 / 360 + grain, 255), qBound(0, 128 + grain, 255));
        }
    }
    const qsizetype zlibSize = encodePng(image).bytes.size();
    const qsizetype fastSize = encodePng(image, fastest).bytes.size();
    QVERIFY(zlibSize > 0 && fastSize > 0);
    QVERIFY2(fastSize <= zlibSize + zlibSize / 50,
             qPrintable(QStringLiteral("%1 bytes against zlib's %2").arg(fastSize).arg(zlibSize)));
}

void TestSnapshotWriter::writesRealImageFiles_data() {
    QTest::addColumn<bool>("jpeg");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("signature");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QString>("name");

    const QByteArray png("\x89PNG\r\n\x1a\n");
    const QByteArray jpg("\xFF\xD8\xFF");
    QTest::newRow("png 720p") << false << QSize(1280, 720) << png << QByteArray("png")
                              << "IMG_00001.png";
    QTest::newRow("png odd size") << false << QSize(7, 5) << png << QByteArray("png")
                                  << "IMG_00001.png";
    QTest::newRow("jpg 720p") << true << QSize(1280, 720) << jpg << QByteArray("jpeg")
                              << "IMG_00001.jpg";
    QTest::newRow("jpg odd size") << true << QSize(7, 5) << jpg << QByteArray("jpeg")
                                  << "IMG_00001.jpg";
}

void TestSnapshotWriter::writesRealImageFiles() {
    QFETCH(bool, jpeg);
    QFETCH(QSize, size);
    QFETCH(QByteArray, signature);
    QFETCH(QByteArray, format);
    QFETCH(QString, name);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SnapshotWriter writer;
    QSignalSpy written(&writer, &SnapshotWriter::written);
    QSignalSpy failed(&writer, &SnapshotWriter::failed);
    writer.submit({noise(size), dir.path(), "IMG_", jpeg});
    QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, kTimeout);
    QCOMPARE(failed.size(), 0);

    const QString path = dir.filePath(name);
    QCOMPARE(written.at(0).at(0).toString(), path);
    QCOMPARE(entriesOf(dir.path()), QStringList{name});
    QVERIFY(contentOf(path).startsWith(signature));
    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    QCOMPARE(reader.size(), size);
}

// Large early frames take longest to encode; their files must still get the lower numbers,
// and their results must still be reported first.
void TestSnapshotWriter::numbersFollowSubmissionOrder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SnapshotWriter writer(4);
    QSignalSpy written(&writer, &SnapshotWriter::written);
    QSignalSpy failed(&writer, &SnapshotWriter::failed);
    QList<QThread*> signalThreads;
    connect(
        &writer, &SnapshotWriter::written, &writer,
        [&](const QString&) { signalThreads << QThread::currentThread(); }, Qt::DirectConnection);

    constexpr int kCount = 16;
    QList<QColor> colours;
    QList<QSize> sizes;
    for (int i = 0; i < kCount; ++i) {
        colours << QColor::fromHsv(i * 360 / kCount, 255, 200);
        sizes << QSize(16 + 40 * (kCount - i), 9 + 20 * (kCount - i));
        QImage image = i == 0 ? noise({1280, 720}) : solid(colours[i], sizes[i]);
        if (i == 0)
            sizes[0] = image.size();
        writer.submit({image, dir.path(), "IMG_", false});
    }
    QTRY_COMPARE_WITH_TIMEOUT(written.size() + failed.size(), kCount, kTimeout);
    QCOMPARE(failed.size(), 0);
    QCOMPARE(signalThreads, QList<QThread*>(kCount, writer.thread()));

    QStringList expected;
    for (int i = 1; i <= kCount; ++i)
        expected << snapshotFileName("IMG_", i, false);
    QCOMPARE(entriesOf(dir.path()), expected);
    for (int i = 0; i < kCount; ++i)
        QCOMPARE(written.at(i).at(0).toString(), dir.filePath(expected[i]));
    for (int i = 0; i < kCount; ++i) {
        const QImage image(dir.filePath(expected[i]));
        QCOMPARE(image.size(), sizes[i]);
        if (i > 0)
            QCOMPARE(image.pixel(0, 0), colours[i].rgb());
    }
}

void TestSnapshotWriter::neverOverwritesExistingFiles() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile existing(dir.filePath("IMG_00001.jpg"));
    QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("first") == 5);
    existing.close();

    SnapshotWriter writer;
    QSignalSpy written(&writer, &SnapshotWriter::written);
    writer.submit({solid(Qt::red, {8, 8}), dir.path(), "IMG_", true});
    QTRY_COMPARE_WITH_TIMEOUT(written.size(), 1, kTimeout);
    QCOMPARE(written.at(0).at(0).toString(), dir.filePath("IMG_00002.jpg"));

    // Another program takes the next name between two snapshots.
    QFile appeared(dir.filePath("IMG_00003.jpg"));
    QVERIFY(appeared.open(QIODevice::WriteOnly) && appeared.write("other") == 5);
    appeared.close();
    writer.submit({solid(Qt::blue, {8, 8}), dir.path(), "IMG_", true});
    QTRY_COMPARE_WITH_TIMEOUT(written.size(), 2, kTimeout);
    QCOMPARE(written.at(1).at(0).toString(), dir.filePath("IMG_00004.jpg"));

    QCOMPARE(contentOf(dir.filePath("IMG_00001.jpg")), QByteArray("first"));
    QCOMPARE(contentOf(dir.filePath("IMG_00003.jpg")), QByteArray("other"));
    QVERIFY(closeTo(QImage(dir.filePath("IMG_00002.jpg")).pixelColor(4, 4), Qt::red, 8));
    QVERIFY(closeTo(QImage(dir.filePath("IMG_00004.jpg")).pixelColor(4, 4), Qt::blue, 8));
    QCOMPARE(entriesOf(dir.path()).size(), 4);
}

void TestSnapshotWriter::failuresReportOnceAndLeaveNothing_data() {
    QTest::addColumn<QString>("folder"); // relative to a fresh temporary folder
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("nullImage");
    QTest::addColumn<QStringList>("reasonParts"); // "<folder>": the folder, native

    QTest::newRow("missing folder")
        << "missing"
        << "IMG_" << false
        << QStringList{"Cannot write <folder>", "IMG_0000", ".png: No such file or directory"};
    QTest::newRow("folder is a regular file")
        << "plain.txt"
        << "IMG_" << false
        << QStringList{"Cannot write <folder>", "IMG_0000", ".png: Not a directory"};
    QTest::newRow("no folder") << ""
                               << "IMG_" << false << QStringList{"no snapshot folder"};
    QTest::newRow("prefix leaving the folder") << "."
                                               << "../" << false << QStringList{"prefix \"../\""};
    QTest::newRow("empty frame") << "."
                                 << "IMG_" << true << QStringList{"frame is empty"};
}

void TestSnapshotWriter::failuresReportOnceAndLeaveNothing() {
    QFETCH(QString, folder);
    QFETCH(QString, prefix);
    QFETCH(bool, nullImage);
    QFETCH(QStringList, reasonParts);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString work = root.filePath("work");
    QVERIFY(QDir().mkdir(work));
    QFile plain(QDir(work).filePath("plain.txt"));
    QVERIFY(plain.open(QIODevice::WriteOnly) && plain.write("text") == 4);
    plain.close();
    const QString target = folder.isEmpty() ? QString() : QDir(work).filePath(folder);
    reasonParts.replaceInStrings("<folder>", QDir::toNativeSeparators(target));

    SnapshotWriter writer;
    QSignalSpy written(&writer, &SnapshotWriter::written);
    QSignalSpy failed(&writer, &SnapshotWriter::failed);
    constexpr int kCount = 3;
    for (int i = 0; i < kCount; ++i)
        writer.submit({nullImage ? QImage() : solid(Qt::green, {64, 48}), target, prefix, false});
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), kCount, kTimeout);
    QVERIFY(writer.waitForDone(kTimeout));
    QCoreApplication::processEvents();
    QCOMPARE(failed.size(), kCount);
    QCOMPARE(written.size(), 0);
    QCOMPARE(writer.pending(), 0);
    for (const QList<QVariant>& signal : failed) {
        const QString reason = signal.at(0).toString();
        for (const QString& part : reasonParts)
            QVERIFY2(reason.contains(part), qPrintable(reason));
    }

    QCOMPARE(entriesOf(root.path()), QStringList{"work"});
    QCOMPARE(entriesOf(work), QStringList{"plain.txt"});
    QCOMPARE(contentOf(QDir(work).filePath("plain.txt")), QByteArray("text"));
}

// The data stops fitting part-way through the file, as on a full disk: the temporary file
// must go and nothing may appear under the final name.
void TestSnapshotWriter::writeErrorHalfwayLeavesNothing() {
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SnapshotWriter writer;
    QSignalSpy written(&writer, &SnapshotWriter::written);
    QSignalSpy failed(&writer, &SnapshotWriter::failed);
    const QImage frame = noise({128, 128});

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    writer.submit({frame, dir.path(), "IMG_", false});
    writer.submit({frame, dir.path(), "IMG_", true});
    const bool done = writer.waitForDone(kTimeout);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(done);
    QCOMPARE(written.size(), 0);
    QCOMPARE(failed.size(), 2);
    for (const QList<QVariant>& signal : failed)
        QVERIFY2(signal.at(0).toString().contains(
                     QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(dir.path()))),
                 qPrintable(signal.at(0).toString()));
    QCOMPARE(entriesOf(dir.path()), QStringList());

    writer.submit({frame, dir.path(), "IMG_", false});
    QVERIFY(writer.waitForDone(kTimeout));
    QCOMPARE(entriesOf(dir.path()), QStringList{"IMG_00001.png"});
#else
    QSKIP("needs a file size limit");
#endif
}

void TestSnapshotWriter::resultsComeInSubmissionOrder() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SnapshotWriter writer(2);
    QStringList results;
    connect(&writer, &SnapshotWriter::written,
            [&](const QString& path) { results << QFileInfo(path).fileName(); });
    connect(&writer, &SnapshotWriter::failed, [&](const QString&) { results << "failed"; });

    writer.submit({noise({1280, 720}), dir.path(), "IMG_", false});
    writer.submit({solid(Qt::red, {8, 8}), QString(), "IMG_", false});
    writer.submit({solid(Qt::red, {8, 8}), dir.path(), "IMG_", true});
    writer.submit({solid(Qt::red, {8, 8}), dir.filePath("missing"), "IMG_", false});
    writer.submit({solid(Qt::red, {8, 8}), dir.path(), "IMG_", false});
    QCOMPARE(writer.pending(), 5);

    QVERIFY(writer.waitForDone(kTimeout));
    // Every result has been announced by the time waitForDone returns on this thread.
    QCOMPARE(writer.pending(), 0);
    QCOMPARE(results,
             (QStringList{"IMG_00001.png", "failed", "IMG_00001.jpg", "failed", "IMG_00002.png"}));
}

void TestSnapshotWriter::destroyingWithPendingWorkIsSafe_data() {
    QTest::addColumn<int>("shutdownWait");
    QTest::newRow("drop what has not started") << 0;
    QTest::newRow("default wait") << SnapshotWriter().shutdownWait();
}

void TestSnapshotWriter::destroyingWithPendingWorkIsSafe() {
    QFETCH(int, shutdownWait);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QImage frame = noise({1280, 720});
    int reports = 0;
    {
        auto writer = std::make_unique<SnapshotWriter>(2);
        writer->setShutdownWait(shutdownWait);
        connect(writer.get(), &SnapshotWriter::written, [&] { ++reports; });
        for (int i = 0; i < 12; ++i)
            writer->submit({frame, dir.path(), "IMG_", false});
    }
    QCoreApplication::processEvents();
    QCOMPARE(reports, 0);

    // Whatever was finished is complete under its final name; nothing half-made is left.
    const QStringList files = entriesOf(dir.path());
    for (int i = 0; i < files.size(); ++i) {
        QCOMPARE(files[i], snapshotFileName("IMG_", i + 1, false));
        QVERIFY(sameRgb(QImage(dir.filePath(files[i])), frame));
    }
}

QTEST_GUILESS_MAIN(TestSnapshotWriter)
#include "tst_snapshotwriter.moc"
