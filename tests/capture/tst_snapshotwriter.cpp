#include "capture/SnapshotDeflate.h"
#include "capture/SnapshotEncoder.h"
#include "capture/SnapshotFiles.h"
#include "capture/SnapshotNaming.h"
#include "capture/SnapshotNumbering.h"
#include "capture/SnapshotWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

static QImage solid(QColor colour, QSize size) {
    QImage image(size, QImage::Format_RGB32);
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

static QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

static QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

static bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

static QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TestSnapshotWriter : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileName_data() {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("jpeg");
        QTest::addColumn<QString>("expected");
        QTest::newRow("first png") << "IMG_" << 1 << false << "IMG_00001.png";
        QTest::newRow("last five-digit") << "IMG_" << 99999 << false << "IMG_99999.png";
        QTest::newRow("six digits after") << "IMG_" << 100000 << true << "IMG_100000.jpg";
        QTest::newRow("empty prefix") << "" << 7 << false << "00007.png";
        QTest::newRow("prefix kept as it is") << "a b." << 3 << false << "a b.00003.png";
    }
    void fileName() {
        QFETCH(QString, prefix);
        QFETCH(int, number);
        QFETCH(bool, jpeg);
        QTEST(snapshotFileName(prefix, number, jpeg), "expected");
    }

    // A script of steps: "+n" reserve gives n, "wn" snapshot n written, "-n" snapshot n failed.
    void numberingAfterFailures_data() {
        QTest::addColumn<QString>("script");
        QTest::newRow("all failed: numbering starts over") << "+1 +2 +3 -2 -3 -1 +1";
        QTest::newRow("last one failed: its number comes back") << "+1 w1 +2 -2 +2";
        QTest::newRow("failure before later ones in flight: no refill out of order")
            << "+1 +2 +3 -2 +4 w1 w3 w4 +5";
        QTest::newRow("failure after a later one was written: no refill") << "+1 +2 w2 -1 +3";
        QTest::newRow("failed ones below a running one come back after it")
            << "+1 +2 +3 -1 -2 +4 -3 -4 +1";
    }
    void numberingAfterFailures() {
        QFETCH(QString, script);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SnapshotNumbering numbering;
        for (const QString& step : script.split(' ')) {
            const int n = step.mid(1).toInt();
            if (step.startsWith('+')) {
                QCOMPARE(numbering.reserve(dir.path(), "IMG_", false), n);
            } else if (step.startsWith('w')) {
                QVERIFY(writeFile(snapshotFilePath(dir.path(), "IMG_", n, false), "x"));
                numbering.settle(dir.path(), "IMG_", false, n);
            } else {
                numbering.release(dir.path(), "IMG_", false, n);
            }
        }
    }

    // Another program creates the reserved name after the snapshot was numbered: the snapshot
    // goes to the next number and the other file stays as it was.
    void commitTakesNextNumberWhenNameIsTaken() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const auto pathFor = [&](int n) { return snapshotFilePath(dir.path(), "IMG_", n, false); };
        QVERIFY(writeFile(pathFor(1), "other"));
        QVERIFY(writeFile(pathFor(2), "other too"));
        QList<int> taken;
        const auto renumber = [&](int n) {
            taken << n;
            return n + 1;
        };
        const SnapshotCommit commit = commitSnapshotFile("snapshot", 1, pathFor, renumber);
        QVERIFY2(commit.error.isEmpty(), qPrintable(commit.error));
        QCOMPARE(commit.path, pathFor(3));
        QCOMPARE(commit.number, 3);
        QCOMPARE(taken, (QList<int>{1, 2}));
        QCOMPARE(contentOf(pathFor(1)), QByteArray("other"));
        QCOMPARE(contentOf(pathFor(2)), QByteArray("other too"));
        QCOMPARE(contentOf(pathFor(3)), QByteArray("snapshot"));

        // No number left: the error names the file, nothing is replaced or left behind.
        const SnapshotCommit none = commitSnapshotFile("late", 3, pathFor, [](int) { return 0; });
        QVERIFY(none.path.isEmpty());
        QVERIFY2(none.error.contains(QDir::toNativeSeparators(pathFor(3))), qPrintable(none.error));
        QCOMPARE(contentOf(pathFor(3)), QByteArray("snapshot"));
        QCOMPARE(entriesOf(dir.path()),
                 (QStringList{"IMG_00001.png", "IMG_00002.png", "IMG_00003.png"}));
    }

    // Fastest is libdeflate where the system has it, zlib again where it does not.
    void pngIsLossless_data() {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<SnapshotDeflate::Backend>("backend");
        const std::pair<const char*, QImage> images[] = {
            {"RGB32 noise, 720p", noise({1280, 720})},
            {"RGB888, padded rows", noise({31, 9}, QImage::Format_RGB888)},
            {"grayscale, converted", noise({20, 10}, QImage::Format_Grayscale8)},
            {"one pixel", solid(QColor(1, 2, 3), {1, 1})}};
        for (const auto& [name, image] : images) {
            QTest::addRow("%s, zlib", name) << image << SnapshotDeflate::Backend::Zlib;
            QTest::addRow("%s, fastest", name) << image << SnapshotDeflate::Backend::Fastest;
        }
    }
    void pngIsLossless() {
        QFETCH(QImage, image);
        QFETCH(SnapshotDeflate::Backend, backend);
        const EncodedSnapshot png = encodePng(image, SnapshotDeflate(backend));
        QVERIFY2(png.error.isEmpty(), qPrintable(png.error));
        QImage decoded;
        QVERIFY(decoded.loadFromData(png.bytes, "png"));
        QCOMPARE(rgb(decoded), rgb(image));
    }

    // The faster deflater must not buy its speed with bigger files at the same level.
    void pngSizeDoesNotDependOnTheDeflater() {
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
        QVERIFY2(
            fastSize <= zlibSize + zlibSize / 50,
            qPrintable(QStringLiteral("%1 bytes against zlib's %2").arg(fastSize).arg(zlibSize)));
    }

    // Two snapshots into a folder holding these names, one more appearing between them:
    // taken names are skipped and never replaced, each file is a real image of its format.
    void numbersOnDisk_data() {
        QTest::addColumn<bool>("jpeg");
        QTest::addColumn<QStringList>("existing"); // a trailing '/' makes a folder
        QTest::addColumn<QString>("appearing");
        QTest::addColumn<QList<int>>("numbers");
        QTest::newRow("empty folder") << false << QStringList() << "" << QList<int>{1, 2};
        QTest::newRow("taken names skipped, holes used")
            << false << QStringList{"IMG_00001.png", "IMG_00003.png"} << "" << QList<int>{2, 4};
        QTest::newRow("a name taken between two snapshots")
            << true << QStringList{"IMG_00001.jpg"} << "IMG_00003.jpg" << QList<int>{2, 4};
        QTest::newRow("JPG numbered on its own")
            << true << QStringList{"IMG_00001.png"} << "" << QList<int>{1, 2};
        QTest::newRow("other prefix")
            << false << QStringList{"ABC_00001.png"} << "" << QList<int>{1, 2};
        QTest::newRow("someone's temporary file")
            << false << QStringList{".IMG_00001.png.part"} << "" << QList<int>{1, 2};
        QTest::newRow("a folder of that name")
            << false << QStringList{"IMG_00001.png/"} << "" << QList<int>{2, 3};
    }
    void numbersOnDisk() {
        QFETCH(bool, jpeg);
        QFETCH(QStringList, existing);
        QFETCH(QString, appearing);
        QFETCH(QList<int>, numbers);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        for (const QString& name : existing)
            QVERIFY(name.endsWith('/') ? QDir(dir.path()).mkdir(name.chopped(1))
                                       : writeFile(dir.filePath(name), name.toUtf8()));
        SnapshotWriter writer;
        QSignalSpy written(&writer, &SnapshotWriter::written);
        QSignalSpy failed(&writer, &SnapshotWriter::failed);
        const QColor colours[] = {Qt::red, Qt::blue};
        for (const QColor& colour : colours) {
            writer.submit({solid(colour, {7, 5}), dir.path(), "IMG_", jpeg});
            QVERIFY(writer.waitForDone(kTimeout));
            if (!appearing.isEmpty() && written.size() == 1)
                QVERIFY(writeFile(dir.filePath(appearing), appearing.toUtf8()));
        }
        QCOMPARE(failed.size(), 0);
        QCOMPARE(written.size(), 2);
        for (const QString& name : existing + QStringList{appearing}) {
            if (!name.isEmpty() && !name.endsWith('/'))
                QCOMPARE(contentOf(dir.filePath(name)), name.toUtf8());
        }
        for (int i = 0; i < 2; ++i) {
            const QString path = dir.filePath(snapshotFileName("IMG_", numbers[i], jpeg));
            QCOMPARE(written.at(i).at(0).toString(), path);
            QVERIFY(contentOf(path).startsWith(jpeg ? "\xFF\xD8\xFF" : "\x89PNG\r\n\x1a\n"));
            const QImage image(path);
            QCOMPARE(image.size(), QSize(7, 5));
            const QColor shown = image.pixelColor(3, 2);
            QVERIFY(qAbs(shown.red() - colours[i].red()) +
                        qAbs(shown.green() - colours[i].green()) +
                        qAbs(shown.blue() - colours[i].blue()) <=
                    24);
        }
        QCOMPARE(entriesOf(dir.path()).size(), existing.size() + !appearing.isEmpty() + 2);
    }

    // Workers finish out of order (the first frame is by far the slowest to encode); the
    // numbers and the results, failures among them, still follow the order of submission,
    // and the results come on the writer's thread.
    void submissionOrder() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        SnapshotWriter writer(4);
        QStringList results;
        QList<QThread*> threads;
        const auto record = [&](const QString& result) {
            results << result;
            threads << QThread::currentThread();
        };
        connect(
            &writer, &SnapshotWriter::written, &writer,
            [&](const QString& path) { record(QFileInfo(path).fileName()); }, Qt::DirectConnection);
        connect(
            &writer, &SnapshotWriter::failed, &writer, [&] { record("failed"); },
            Qt::DirectConnection);

        struct Shot {
            QImage image;
            QString folder;
            bool jpeg;
            QString result;
        };
        QList<Shot> shots = {{noise({1280, 720}), dir.path(), false, "IMG_00001.png"},
                             {solid(Qt::red, {8, 8}), QString(), false, "failed"},
                             {solid(Qt::red, {8, 8}), dir.path(), true, "IMG_00001.jpg"},
                             {solid(Qt::red, {8, 8}), dir.filePath("missing"), false, "failed"}};
        for (int n = 2; n <= 13; ++n)
            shots.append({solid(QColor::fromHsv(n * 25, 255, 200), QSize(8 + 40 * (14 - n), 8 + n)),
                          dir.path(), false, snapshotFileName("IMG_", n, false)});
        QStringList expected;
        for (const Shot& shot : shots) {
            writer.submit({shot.image, shot.folder, "IMG_", shot.jpeg});
            expected << shot.result;
        }
        QCOMPARE(writer.pending(), int(shots.size()));
        QVERIFY(writer.waitForDone(kTimeout));
        // Every result has been announced by the time waitForDone returns on this thread.
        QCOMPARE(writer.pending(), 0);
        QCOMPARE(results, expected);
        QCOMPARE(threads, QList<QThread*>(shots.size(), writer.thread()));
        for (const Shot& shot : shots) {
            if (shot.result.endsWith(".png"))
                QCOMPARE(rgb(QImage(dir.filePath(shot.result))), rgb(shot.image));
        }
    }

    // Each failed snapshot is reported once with its reason; nothing is made or changed.
    void failuresReportOnceAndLeaveNothing_data() {
        QTest::addColumn<QString>("folder"); // in a folder holding plain.txt
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("nullImage");
        QTest::addColumn<QStringList>("reasonParts"); // "<folder>": the folder, native
        const auto row = [](const char* name, const char* folder, const char* prefix,
                            bool nullImage, const QStringList& parts) {
            QTest::newRow(name) << folder << prefix << nullImage << parts;
        };
        row("folder is a regular file", "plain.txt", "IMG_", false,
            {"Cannot write <folder>", "IMG_0000", ".png: Not a directory"});
        row("no folder", "", "IMG_", false, {"no snapshot folder"});
        row("prefix leaving the folder", ".", "../", false, {"prefix \"../\""});
        row("empty frame", ".", "IMG_", true, {"frame is empty"});
    }
    void failuresReportOnceAndLeaveNothing() {
        QFETCH(QString, folder);
        QFETCH(QString, prefix);
        QFETCH(bool, nullImage);
        QFETCH(QStringList, reasonParts);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString work = root.filePath("work");
        QVERIFY(QDir().mkdir(work) && writeFile(QDir(work).filePath("plain.txt"), "text"));
        const QString target = folder.isEmpty() ? QString() : QDir(work).filePath(folder);
        reasonParts.replaceInStrings("<folder>", QDir::toNativeSeparators(target));

        SnapshotWriter writer;
        QSignalSpy written(&writer, &SnapshotWriter::written);
        QSignalSpy failed(&writer, &SnapshotWriter::failed);
        for (int i = 0; i < 3; ++i)
            writer.submit(
                {nullImage ? QImage() : solid(Qt::green, {64, 48}), target, prefix, false});
        QVERIFY(writer.waitForDone(kTimeout));
        QCOMPARE(failed.size(), 3);
        QCOMPARE(written.size(), 0);
        for (const QList<QVariant>& signal : failed) {
            for (const QString& part : reasonParts)
                QVERIFY2(signal.at(0).toString().contains(part),
                         qPrintable(signal.at(0).toString()));
        }
        QCOMPARE(entriesOf(root.path()), QStringList{"work"});
        QCOMPARE(entriesOf(work), QStringList{"plain.txt"});
        QCOMPARE(contentOf(QDir(work).filePath("plain.txt")), QByteArray("text"));
    }

    // The data stops fitting part-way through the file, as on a full disk: the temporary file
    // must go and nothing may appear under the final name.
    void writeErrorHalfwayLeavesNothing() {
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
        const QString reason =
            QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(dir.path()));
        for (const QList<QVariant>& signal : failed) {
            const QString text = signal.at(0).toString();
            QVERIFY2(text.contains(reason), qPrintable(text));
            QVERIFY2(text.endsWith(qt_error_string(EFBIG)), qPrintable(text));
        }
        QCOMPARE(entriesOf(dir.path()), QStringList());
        // The number did not go to waste.
        writer.submit({frame, dir.path(), "IMG_", false});
        QVERIFY(writer.waitForDone(kTimeout));
        QCOMPARE(entriesOf(dir.path()), QStringList{"IMG_00001.png"});
#else
        QSKIP("needs a file size limit");
#endif
    }

    // Nothing is reported any more; whatever was finished is complete under its final
    // name, and nothing half-made is left.
    void destroyingWithPendingWorkIsSafe_data() {
        QTest::addColumn<int>("shutdownWait");
        QTest::newRow("drop what has not started") << 0;
        QTest::newRow("default wait") << SnapshotWriter().shutdownWait();
    }
    void destroyingWithPendingWorkIsSafe() {
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
        const QStringList files = entriesOf(dir.path());
        for (int i = 0; i < files.size(); ++i) {
            QCOMPARE(files[i], snapshotFileName("IMG_", i + 1, false));
            QCOMPARE(rgb(QImage(dir.filePath(files[i]))), frame);
        }
    }
};

QTEST_GUILESS_MAIN(TestSnapshotWriter)
#include "tst_snapshotwriter.moc"
