#include "settings/ConfigFile.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

using namespace Qt::Literals::StringLiterals;

Q_DECLARE_METATYPE(Settings)

char* toString(const Settings& s) {
    return qstrdup(qPrintable(u"{%1|%2|%3|%4|%5|%6|%7|%8}"_s.arg(s.imageFormat)
                                  .arg(s.snapshotFolder, s.filePrefix)
                                  .arg(s.skipTimedPrompt)
                                  .arg(s.timedInterval)
                                  .arg(s.showPreview)
                                  .arg(s.disableScreenSaver)
                                  .arg(s.languageFile)));
}

static QByteArray recoveryBytes() {
    return "0\r\n" + defaultSnapshotFolder().toUtf8() +
           "\r\nIMG_\r\n0\r\n5000\r\n0\r\n1\r\nEnglish.ini\r\n";
}

// Settings that differ from the defaults in every field.
static Settings unusualSettings() {
    Settings s;
    s.imageFormat = 1;
    s.snapshotFolder = u"/srv/My Snapshots"_s;
    s.filePrefix = u"a,b"_s;
    s.skipTimedPrompt = 1;
    s.timedInterval = 12345;
    s.showPreview = 1;
    s.disableScreenSaver = 0;
    s.languageFile = u"German.ini"_s;
    return s;
}

static bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

static QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class tst_Config : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data() {
        QTest::addColumn<Settings>("settings");
        QTest::newRow("defaults") << Settings{};
        QTest::newRow("every field changed") << unusualSettings();
        Settings s = unusualSettings();
        s.snapshotFolder = u"C:\\Users\\Jo Doe\\My Pictures\\"_s;
        s.filePrefix = u"\"q"_s;
        QTest::newRow("Windows folder, leading quote") << s;
        s.filePrefix = u"\"a,b\""_s;
        s.snapshotFolder = u"/home/jo/Bilder, \"alt\""_s;
        QTest::newRow("quotes and commas") << s;
        s.snapshotFolder = u"/home/jö/Fotos € 2024"_s;
        s.languageFile = u"Español.ini"_s;
        QTest::newRow("non-ASCII texts") << s;
        s = Settings{};
        s.imageFormat = 255;
        s.skipTimedPrompt = 255;
        s.timedInterval = std::numeric_limits<std::int32_t>::max();
        s.showPreview = std::numeric_limits<std::int16_t>::min();
        s.disableScreenSaver = std::numeric_limits<std::int16_t>::max();
        QTest::newRow("largest and smallest numbers") << s;
        s.timedInterval = std::numeric_limits<std::int32_t>::min();
        s.showPreview = -1;
        QTest::newRow("negative numbers") << s;
        s = Settings{};
        s.filePrefix.clear();
        s.languageFile.clear();
        QTest::newRow("empty texts") << s;
    }

    void roundTrip() {
        QFETCH(Settings, settings);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Config.cfg"_s);
        QString error;
        QVERIFY2(SaveConfiguration(path, settings, &error), qPrintable(error));
        Settings read = unusualSettings();
        read.timedInterval = 777;
        QVERIFY(LoadConfiguration(path, read));
        QCOMPARE(read, settings);
        // Nothing but the file itself is left behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList{u"Config.cfg"_s});
    }

    void saveWritesThePrintFormOfNumbers() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Config.cfg"_s);
        QVERIFY(writeBytes(path, QByteArray(5000, 'o'))); // a longer old file is replaced whole
        Settings s = unusualSettings();
        s.showPreview = -1;
        QVERIFY(SaveConfiguration(path, s));
        QCOMPARE(readBytes(path), QByteArray(" 1 \r\n/srv/My Snapshots\r\na,b\r\n 1 \r\n 12345 \r\n"
                                             "-1 \r\n 0 \r\nGerman.ini\r\n"));
    }

    void recovery_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        const QByteArray good =
            " 0 \r\n/pics\r\nIMG_\r\n 0 \r\n 5000 \r\n 0 \r\n 1 \r\nEnglish.ini\r\n";
        const auto withLine = [&](int index, const QByteArray& value) {
            QList<QByteArray> lines = good.split('\n');
            lines[index] = value + '\r';
            return lines.join('\n');
        };
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("five lines") << QByteArray("0\r\n/pics\r\nIMG_\r\n0\r\n5000\r\n");
        QTest::newRow("seven lines") << good.first(good.lastIndexOf("English.ini"));
        QTest::newRow("300 on line 1") << withLine(0, "300");
        QTest::newRow("-1 on line 1") << withLine(0, "-1");
        QTest::newRow("256 on line 4") << withLine(3, "256");
        QTest::newRow("not a number") << withLine(4, "five thousand");
        QTest::newRow("empty number line") << withLine(4, "");
        QTest::newRow("fraction") << withLine(4, "5000.5");
        QTest::newRow("two numbers") << withLine(4, "50 00");
        QTest::newRow("beyond int32") << withLine(4, "2147483648");
        QTest::newRow("below int32") << withLine(4, "-2147483649");
        QTest::newRow("far beyond int64") << withLine(4, "99999999999999999999999");
        QTest::newRow("beyond int16") << withLine(5, "32768");
        QTest::newRow("below int16") << withLine(6, "-32769");
        QTest::newRow("binary garbage") << QByteArray("\x01\x02\x00\xff\r\n\r\n", 8);
    }

    void recovery() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Config.cfg"_s);
        if (!content.isNull())
            QVERIFY(writeBytes(path, content));

        Settings settings = unusualSettings();
        QVERIFY(!LoadConfiguration(path, settings));
        QCOMPARE(settings, unusualSettings()); // nothing half-read

        QVERIFY(RecreateConfiguration(path, settings));
        QCOMPARE(settings, Settings{});
        QCOMPARE(settings.snapshotFolder, defaultSnapshotFolder());
        QCOMPARE(readBytes(path), recoveryBytes());

        Settings reread = unusualSettings();
        QVERIFY(LoadConfiguration(path, reread));
        QCOMPARE(reread, Settings{});
    }

    void acceptedForms_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<Settings>("expected");
        // The defaults with /pics as bare lines, some of them changed by each row.
        const auto file = [](std::initializer_list<std::pair<int, QByteArray>> changes,
                             const QByteArray& end = "\r\n") {
            QList<QByteArray> lines = {"0", "/pics", "IMG_", "0", "5000", "0", "1", "English.ini"};
            for (const auto& [line, value] : changes)
                lines[line] = value;
            return lines.join(end) + end;
        };
        Settings s;
        s.snapshotFolder = u"/pics"_s;
        QTest::newRow("bare numbers") << file({}) << s;
        QTest::newRow("print form")
            << file({{0, " 0 "}, {3, " 0 "}, {4, " 5000 "}, {5, " 0 "}, {6, " 1 "}}) << s;
        QTest::newRow("LF only") << file({}, "\n") << s;
        QTest::newRow("last line without ending") << file({}).chopped(2) << s;
        QTest::newRow("lines after the eighth ignored") << file({}) + "more\r\n300\r\n" << s;
        QTest::newRow("blanks and tabs around values") << file({{0, "\t0 "},
                                                                {1, "  /pics  "},
                                                                {2, " IMG_\t"},
                                                                {4, "  5000\t"},
                                                                {7, " English.ini "}})
                                                       << s;
        QTest::newRow("plus sign") << file({{0, "+0"}, {4, "+5000"}}) << s;
        QTest::newRow("leading zeros") << file({{4, "0000000000005000"}}) << s;

        Settings edge = s;
        edge.imageFormat = 255;
        edge.timedInterval = 10;
        edge.showPreview = std::numeric_limits<std::int16_t>::min();
        edge.disableScreenSaver = 5;
        QTest::newRow("in range but outside meaning")
            << file({{0, "255"}, {4, "10"}, {5, "-32768"}, {6, "5"}}) << edge;

        Settings texts = s;
        texts.snapshotFolder = u"C:\\Bilder\\Müller"_s;
        texts.filePrefix = u"ß€"_s;
        QTest::newRow("Windows-1252 texts")
            << file({{1, "C:\\Bilder\\M\xfcller"}, {2, "\xdf\x80"}}) << texts;
        QTest::newRow("UTF-8 texts")
            << file({{1, "C:\\Bilder\\M\xc3\xbcller"}, {2, "\xc3\x9f\xe2\x82\xac"}}) << texts;
        Settings empty = s;
        empty.filePrefix.clear();
        empty.languageFile.clear();
        QTest::newRow("empty text lines") << file({{2, ""}, {7, ""}}) << empty;
    }

    void acceptedForms() {
        QFETCH(QByteArray, content);
        QFETCH(Settings, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Config.cfg"_s);
        QVERIFY(writeBytes(path, content));
        Settings settings = unusualSettings();
        QVERIFY(LoadConfiguration(path, settings));
        QCOMPARE(settings, expected);
    }

    void failedSaveKeepsTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Config.cfg"_s);
        QVERIFY(SaveConfiguration(path, unusualSettings()));
        const QByteArray before = readBytes(path);

        // A text with a line break would shift every later line.
        Settings broken = unusualSettings();
        broken.snapshotFolder = u"/two\nlines"_s;
        QString error;
        QVERIFY(!SaveConfiguration(path, broken, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(readBytes(path), before);
        broken.snapshotFolder = u"/carriage\rreturn"_s;
        QVERIFY(!SaveConfiguration(path, broken));
        QCOMPARE(readBytes(path), before);
    }

    void unwritablePlaces_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::addColumn<bool>("directoryInPlace");
        QTest::newRow("folder missing") << u"no/such/folder/Config.cfg"_s << false;
        QTest::newRow("directory in place of the file") << u"Config.cfg"_s << true;
    }

    void unwritablePlaces() {
        QFETCH(QString, relativePath);
        QFETCH(bool, directoryInPlace);
        QTemporaryDir dir;
        const QString path = dir.filePath(relativePath);
        if (directoryInPlace) {
            QVERIFY(QDir(dir.path()).mkpath(relativePath + u"/keep"_s));
        }

        QString error;
        QVERIFY(!SaveConfiguration(path, unusualSettings(), &error));
        QVERIFY(!error.isEmpty());

        Settings settings = unusualSettings();
        QVERIFY(!LoadConfiguration(path, settings));
        QVERIFY(!RecreateConfiguration(path, settings));
        QCOMPARE(settings, Settings{}); // the program runs on with the defaults

        if (directoryInPlace)
            QVERIFY(QFileInfo(path + u"/keep"_s).isDir());
        else
            QVERIFY(!QFileInfo::exists(path));
    }
};

QTEST_GUILESS_MAIN(tst_Config)
#include "tst_config.moc"
