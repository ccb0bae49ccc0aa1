#include "capture/SnapshotFiles.h"
#include "capture/SnapshotNaming.h"
#include "capture/SnapshotNumbering.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(RenameOutcome)

static bool makeFile(const QString& path, const QByteArray& content = "x") {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

static QByteArray contentOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class TestSnapshotNaming : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fileName_data();
    void fileName();
    void numberingOnDisk_data();
    void numberingOnDisk();
    void numberingAfterFailures_data();
    void numberingAfterFailures();
    void renameNeverReplaces_data();
    void renameNeverReplaces();
    void commitTakesNextNumberWhenNameIsTaken();
    void partFileLeavesNothingBehind();
};

void TestSnapshotNaming::fileName_data() {
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("jpeg");
    QTest::addColumn<QString>("expected");

    QTest::newRow("first png") << "IMG_" << 1 << false << "IMG_00001.png";
    QTest::newRow("first jpg") << "IMG_" << 1 << true << "IMG_00001.jpg";
    QTest::newRow("two digits") << "IMG_" << 42 << false << "IMG_00042.png";
    QTest::newRow("last five-digit") << "IMG_" << 99999 << false << "IMG_99999.png";
    QTest::newRow("six digits after") << "IMG_" << 100000 << true << "IMG_100000.jpg";
    QTest::newRow("empty prefix") << "" << 7 << false << "00007.png";
    QTest::newRow("prefix kept as it is") << "a b." << 3 << false << "a b.00003.png";
}

void TestSnapshotNaming::fileName() {
    QFETCH(QString, prefix);
    QFETCH(int, number);
    QFETCH(bool, jpeg);
    QFETCH(QString, expected);
    QCOMPARE(snapshotFileName(prefix, number, jpeg), expected);
}

void TestSnapshotNaming::numberingOnDisk_data() {
    QTest::addColumn<QStringList>("existing");  // before the first snapshot
    QTest::addColumn<QStringList>("appearing"); // after the first, before the second
    QTest::addColumn<bool>("jpeg");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("empty folder") << QStringList() << QStringList() << false << QList<int>{1, 2};
    QTest::newRow("existing 00001 is skipped")
        << QStringList{"IMG_00001.png"} << QStringList() << false << QList<int>{2, 3};
    QTest::newRow("holes are used, files are skipped")
        << QStringList{"IMG_00001.png", "IMG_00003.png"} << QStringList() << false
        << QList<int>{2, 4};
    QTest::newRow("file appearing between two snapshots")
        << QStringList() << QStringList{"IMG_00002.png"} << false << QList<int>{1, 3};
    QTest::newRow("other format does not count")
        << QStringList{"IMG_00001.jpg"} << QStringList() << false << QList<int>{1, 2};
    QTest::newRow("jpg numbering on its own") << QStringList{"IMG_00001.png", "IMG_00001.jpg"}
                                              << QStringList() << true << QList<int>{2, 3};
    QTest::newRow("other prefix does not count")
        << QStringList{"ABC_00001.png"} << QStringList() << false << QList<int>{1, 2};
    QTest::newRow("leftover temporary file does not count")
        << QStringList{".IMG_00001.png.part"} << QStringList() << false << QList<int>{1, 2};
    QTest::newRow("folder of that name blocks it")
        << QStringList{"IMG_00001.png/"} << QStringList() << false << QList<int>{2, 3};
}

void TestSnapshotNaming::numberingOnDisk() {
    QFETCH(QStringList, existing);
    QFETCH(QStringList, appearing);
    QFETCH(bool, jpeg);
    QFETCH(QList<int>, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto create = [&](const QString& name) {
        return name.endsWith('/') ? QDir(dir.path()).mkdir(name.chopped(1))
                                  : makeFile(dir.filePath(name));
    };
    for (const QString& name : existing)
        QVERIFY(create(name));

    SnapshotNumbering numbering;
    const int first = numbering.reserve(dir.path(), "IMG_", jpeg);
    QVERIFY(makeFile(snapshotFilePath(dir.path(), "IMG_", first, jpeg)));
    numbering.settle(dir.path(), "IMG_", jpeg, first);
    for (const QString& name : appearing)
        QVERIFY(create(name));
    const int second = numbering.reserve(dir.path(), "IMG_", jpeg);
    QCOMPARE((QList<int>{first, second}), expected);
}

// A script of steps: "+n" reserve gives n, "wn" snapshot n written, "-n" snapshot n failed.
void TestSnapshotNaming::numberingAfterFailures_data() {
    QTest::addColumn<QString>("script");

    QTest::newRow("all failed: numbering starts over") << "+1 +2 +3 -2 -3 -1 +1";
    QTest::newRow("last one failed: its number comes back") << "+1 w1 +2 -2 +2";
    QTest::newRow("failure before later ones in flight: no refill out of order")
        << "+1 +2 +3 -2 +4 w1 w3 w4 +5";
    QTest::newRow("failure after a later one was written: no refill") << "+1 +2 w2 -1 +3";
    QTest::newRow("failed ones below a running one come back after it")
        << "+1 +2 +3 -1 -2 +4 -3 -4 +1";
}

void TestSnapshotNaming::numberingAfterFailures() {
    QFETCH(QString, script);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    SnapshotNumbering numbering;
    for (const QString& step : script.split(' ')) {
        const int n = step.mid(1).toInt();
        switch (step.at(0).toLatin1()) {
        case '+':
            QCOMPARE(numbering.reserve(dir.path(), "IMG_", false), n);
            break;
        case 'w':
            QVERIFY(makeFile(snapshotFilePath(dir.path(), "IMG_", n, false)));
            numbering.settle(dir.path(), "IMG_", false, n);
            break;
        case '-':
            numbering.release(dir.path(), "IMG_", false, n);
            break;
        default:
            QFAIL(qPrintable("bad step " + step));
        }
    }
}

void TestSnapshotNaming::renameNeverReplaces_data() {
    QTest::addColumn<bool>("sourceExists");
    QTest::addColumn<QString>("target"); // relative to the folder
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<RenameOutcome>("outcome");

    QTest::newRow("free name") << true << "IMG_00001.png" << false << RenameOutcome::Renamed;
    QTest::newRow("taken name") << true << "IMG_00001.png" << true << RenameOutcome::TargetExists;
    QTest::newRow("source gone") << false << "IMG_00001.png" << false << RenameOutcome::Failed;
    QTest::newRow("target folder missing")
        << true << "missing/IMG_00001.png" << false << RenameOutcome::Failed;
}

void TestSnapshotNaming::renameNeverReplaces() {
    QFETCH(bool, sourceExists);
    QFETCH(QString, target);
    QFETCH(bool, targetExists);
    QFETCH(RenameOutcome, outcome);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString from = dir.filePath(".IMG_00001.png.part");
    const QString to = dir.filePath(target);
    if (sourceExists)
        QVERIFY(makeFile(from, "new"));
    if (targetExists)
        QVERIFY(makeFile(to, "other"));

    QString error;
    QCOMPARE(renameWithoutReplacing(from, to, &error), outcome);
    QCOMPARE(error.isEmpty(), outcome != RenameOutcome::Failed);
    if (outcome == RenameOutcome::Renamed) {
        QCOMPARE(contentOf(to), QByteArray("new"));
        QVERIFY(!QFile::exists(from));
    }
    if (targetExists)
        QCOMPARE(contentOf(to), QByteArray("other"));
    if (sourceExists && outcome != RenameOutcome::Renamed)
        QCOMPARE(contentOf(from), QByteArray("new"));
}

// Another program creates the reserved name after the snapshot was numbered: the snapshot
// goes to the next number and the other file stays as it was.
void TestSnapshotNaming::commitTakesNextNumberWhenNameIsTaken() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto pathFor = [&](int n) { return snapshotFilePath(dir.path(), "IMG_", n, false); };
    QVERIFY(makeFile(pathFor(1), "other"));
    QVERIFY(makeFile(pathFor(2), "other too"));
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
    QCOMPARE(entriesOf(dir.path()),
             (QStringList{"IMG_00001.png", "IMG_00002.png", "IMG_00003.png"}));

    const SnapshotCommit none = commitSnapshotFile("late", 3, pathFor, [](int) { return 0; });
    QVERIFY(none.path.isEmpty());
    QVERIFY2(none.error.contains(QDir::toNativeSeparators(pathFor(3))), qPrintable(none.error));
    QCOMPARE(contentOf(pathFor(3)), QByteArray("snapshot"));
    QCOMPARE(entriesOf(dir.path()).size(), 3);
}

void TestSnapshotNaming::partFileLeavesNothingBehind() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString finalPath = dir.filePath("IMG_00001.png");
    QVERIFY(makeFile(dir.filePath(".IMG_00001.png.part"), "leftover"));
    {
        SnapshotPartFile part;
        QString error;
        QVERIFY(part.write(finalPath, "bytes", &error));
        QVERIFY(QFileInfo(part.path()).fileName().startsWith(".IMG_00001.png"));
        QVERIFY(part.path() != dir.filePath(".IMG_00001.png.part"));
        QCOMPARE(contentOf(part.path()), QByteArray("bytes"));
    }
    // Dropped without commit: only the leftover of someone else remains, untouched.
    QCOMPARE(entriesOf(dir.path()), QStringList{".IMG_00001.png.part"});
    QCOMPARE(contentOf(dir.filePath(".IMG_00001.png.part")), QByteArray("leftover"));

    SnapshotPartFile missing;
    QString error;
    QVERIFY(!missing.write(dir.filePath("gone/IMG_00001.png"), "bytes", &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(missing.path().isEmpty());
}

QTEST_GUILESS_MAIN(TestSnapshotNaming)
#include "tst_snapshotnaming.moc"
