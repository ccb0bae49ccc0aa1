#include "TempAppFolder.h"

#include "localisation/ErrorLog.h"
#include "localisation/TextLookup.h"
#include "settings/Settings.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

static const QByteArray header = "[Framora Language Pack]\r\n";

// A lookup whose pack reading fails the way an exhausted or broken reader would.
class FailingLookup : public TextLookup {
public:
    using TextLookup::TextLookup;
    bool outOfMemory = false;

protected:
    QByteArray readPack(const QString&) const override {
        if (outOfMemory)
            throw std::bad_alloc();
        throw std::runtime_error("Pack reader broke");
    }
};

static QString localDateNow() {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat);
}

class tst_Lookup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void packRules_data() {
        QTest::addColumn<QByteArray>("pack");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("expected");

        const QByteArray longValue(600, 'x');
        QTest::newRow("stored value") << header + "10=&Datei\r\n"
                                      << "10"
                                      << "&File"
                                      << "&Datei";
        QTest::newRow("10 is not 010") << header + "010=Fehler\r\n10=&Datei\r\n"
                                       << "10"
                                       << "&File"
                                       << "&Datei";
        QTest::newRow("010 is not 10") << header + "10=&Datei\r\n010=Fehler\r\n"
                                       << "010"
                                       << "Error"
                                       << "Fehler";
        QTest::newRow("section in other case")
            << QByteArray("[fRAMORA language PACK]\n03=Ja\n") << "03"
            << "&OK"
            << "Ja";
        QTest::newRow("blanks inside section brackets")
            << QByteArray("[  Framora Language Pack ]\n03=Ja\n") << "03"
            << "&OK"
            << "Ja";
        QTest::newRow("key in other case") << header + "aBc=found\r\n"
                                           << "AbC"
                                           << "d"
                                           << "found";
        QTest::newRow("blanks around key and value") << header + "  10  =   Datei  \t\r\n"
                                                     << "10"
                                                     << "&File"
                                                     << "Datei";
        QTest::newRow("equals sign inside value") << header + "10=a=b\r\n"
                                                  << "10"
                                                  << "x"
                                                  << "a=b";
        QTest::newRow("surrounding quotes removed") << header + "10=\"  Datei \"\r\n"
                                                    << "10"
                                                    << "&File"
                                                    << "Datei ";
        QTest::newRow("embedded quotes kept")
            << header + "78=Do not show \"Timed Snapshot\" input box again\r\n"
            << "78"
            << "-"
            << "Do not show \"Timed Snapshot\" input box again";
        QTest::newRow("lone leading quote kept") << header + "10=\"Datei\r\n"
                                                 << "10"
                                                 << "-"
                                                 << "\"Datei";
        QTest::newRow("pair of quotes only") << header + "10=\"\"\r\n"
                                             << "10"
                                             << "-"
                                             << "";
        QTest::newRow("empty value is not the default") << header + "75=\r\n"
                                                        << "75"
                                                        << "Snapshots Path:"
                                                        << "";
        QTest::newRow("missing key") << header + "11=Auf\r\n"
                                     << "10"
                                     << "&File"
                                     << "&File";
        QTest::newRow("key only in another section")
            << "[Other]\r\n10=Nein\r\n" + header + "11=Auf\r\n"
            << "10"
            << "&File"
            << "&File";
        QTest::newRow("key after the section ended") << header + "[Next]\r\n10=Nein\r\n"
                                                     << "10"
                                                     << "&File"
                                                     << "&File";
        QTest::newRow("key before any section") << "10=Nein\r\n" + header << "10"
                                                << "&File"
                                                << "&File";
        QTest::newRow("first entry wins") << header + "10=eins\r\n10=zwei\r\n"
                                          << "10"
                                          << "-"
                                          << "eins";
        QTest::newRow("commented-out line") << header + ";10=Nein\r\n10=Ja\r\n"
                                            << "10"
                                            << "-"
                                            << "Ja";
        QTest::newRow("600 characters cut to 499") << header + "53=" + longValue + "\r\n"
                                                   << "53"
                                                   << "-" << QString(499, u'x');
        QTest::newRow("quoted 600 characters cut to 499") << header + "53=\"" + longValue + "\"\r\n"
                                                          << "53"
                                                          << "-" << QString(499, u'x');
        QTest::newRow("default with blanks") << header << "10"
                                             << "  &File  "
                                             << "&File";
        QTest::newRow("long default cut to 499")
            << header << "10" << QString(600, u'd') << QString(499, u'd');
    }

    void packRules() {
        QFETCH(QByteArray, pack);
        QFETCH(QString, key);
        QFETCH(QString, defaultText);
        QFETCH(QString, expected);
        TempAppFolder app;
        app.writePack(QStringLiteral("Test.ini"), pack);
        Settings settings;
        settings.languageFile = QStringLiteral("Test.ini");
        const TextLookup text(app.path(), settings);
        QCOMPARE(text.SetCaptionfromINI(key, defaultText), expected);
        QVERIFY(app.readFile(QStringLiteral("errorlog.txt")).isEmpty());
    }

    void cutNeverSplitsACharacter() {
        TempAppFolder app;
        const QString value = QString(498, u'a') + QStringLiteral("\U0001F600tail");
        app.writePack(QStringLiteral("Test.ini"), header + "10=" + value.toUtf8());
        Settings settings;
        settings.languageFile = QStringLiteral("Test.ini");
        const QString result = TextLookup(app.path(), settings).SetCaptionfromINI("10", "-");
        QCOMPARE(result, QString(498, u'a'));
    }

    void decoding_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("UTF-8") << QByteArray("\xC3\x96"
                                             "ffnen \xE2\x82\xAC \xC3\xA7")
                               << u"Öffnen € ç"_s;
        QTest::newRow("Windows-1252") << QByteArray("Fran\xE7"
                                                    "ais \x80 \x93Zitat\x94 \x8A\x9F\xFF")
                                      << u"Français € “Zitat” ŠŸÿ"_s;
        QTest::newRow("Windows-1252 unassigned bytes")
            << QByteArray("a\x81\x8D\x8F\x90\x9D") << u"a\u0081\u008D\u008F\u0090\u009D"_s;
        // One byte that cannot be UTF-8 makes the whole pack Windows-1252.
        QTest::newRow("UTF-8 look-alike in a Windows-1252 pack")
            << QByteArray("\xC3\xA4 \xE4") << u"Ã¤ ä"_s;
    }

    void decoding() {
        QFETCH(QByteArray, value);
        QFETCH(QString, expected);
        TempAppFolder app;
        app.writePack(QStringLiteral("Test.ini"), header + "10=" + value + "\r\n");
        Settings settings;
        settings.languageFile = QStringLiteral("Test.ini");
        QCOMPARE(TextLookup(app.path(), settings).SetCaptionfromINI("10", "-"), expected);
    }

    void byteOrderMarkIsIgnored() {
        TempAppFolder app;
        app.writePack(QStringLiteral("Test.ini"), "\xEF\xBB\xBF" + header + "10=\xC3\x9C\r\n");
        Settings settings;
        settings.languageFile = QStringLiteral("Test.ini");
        QCOMPARE(TextLookup(app.path(), settings).SetCaptionfromINI("10", "-"), u"Ü"_s);
    }

    void missingPackGivesDefault_data() {
        QTest::addColumn<bool>("makeLangFolder");
        QTest::addColumn<QByteArray>("pack");
        QTest::addColumn<QString>("languageFile");
        QTest::newRow("no Lang folder") << false << QByteArray() << "English.ini";
        QTest::newRow("pack missing") << true << header + "10=x\r\n"
                                      << "German.ini";
        QTest::newRow("languageFile empty names the Lang folder") << true << header + "10=x\r\n"
                                                                  << "";
        QTest::newRow("empty pack") << true << QByteArray() << "Test.ini";
        QTest::newRow("pack without the section")
            << true << QByteArray("[Other]\r\n10=x\r\n") << "Test.ini";
    }

    void missingPackGivesDefault() {
        QFETCH(bool, makeLangFolder);
        QFETCH(QByteArray, pack);
        QFETCH(QString, languageFile);
        TempAppFolder app;
        if (makeLangFolder)
            app.writePack(QStringLiteral("Test.ini"), pack);
        Settings settings;
        settings.languageFile = languageFile;
        const TextLookup text(app.path(), settings);
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"&File"_s);
        QCOMPARE(text.SetCaptionfromINI("78", "Do not show \"Timed Snapshot\" input box again"),
                 u"Do not show \"Timed Snapshot\" input box again"_s);
        QVERIFY(app.readFile(QStringLiteral("errorlog.txt")).isEmpty());
    }

    void languageSwitchShowsAtTheNextLookup() {
        TempAppFolder app;
        app.writePack(QStringLiteral("German.ini"), header + "10=&Datei\r\n");
        app.writePack(QStringLiteral("French.ini"), header + "10=&Fichier\r\n");
        Settings settings;
        settings.languageFile = QStringLiteral("German.ini");
        const TextLookup text(app.path(), settings);
        QCOMPARE(text.packPath(), app.path() + u"/Lang/German.ini"_s);
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"&Datei"_s);
        settings.languageFile = QStringLiteral("French.ini");
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"&Fichier"_s);
        settings.languageFile = QStringLiteral("English.ini");
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"&File"_s);
    }

    void garbagePackNeverBreaksTheLookup() {
        TempAppFolder app;
        Settings settings;
        settings.languageFile = QStringLiteral("Garbage.ini");
        const TextLookup text(app.path(), settings);
        QRandomGenerator random(20240601);
        for (int round = 0; round < 20; ++round) {
            QByteArray bytes(64 * 1024, Qt::Uninitialized);
            for (char& c : bytes)
                c = static_cast<char>(random.bounded(256));
            // Sprinkle in what a parser trips over: headers, keys, quotes, line ends.
            for (int i = 0; i < 200; ++i) {
                static const QByteArray pieces[] = {
                    "\n", "\r\n", "[Framora Language Pack]\n", "10=", "=", "\"", "[",
                    "]",  "\xC3", QByteArray(1, '\0')};
                const qsizetype at = random.bounded(bytes.size());
                bytes.insert(at, pieces[random.bounded(10)]);
            }
            app.writePack(QStringLiteral("Garbage.ini"), bytes);
            const QString result = text.SetCaptionfromINI("10", "&File");
            QVERIFY2(result.size() <= TextLookup::maxTextLength, qPrintable(result));
        }
        QVERIFY(app.readFile(QStringLiteral("errorlog.txt")).isEmpty());
    }

    void hugePackIsReadOnlyInPart() {
        TempAppFolder app;
        QByteArray bytes = header + "10=early\r\n";
        const QByteArray filler = "; " + QByteArray(98, 'f') + "\r\n";
        while (bytes.size() < 3 * TextLookup::maxPackBytes)
            bytes += filler;
        bytes += "11=late\r\n12=" + QByteArray(TextLookup::maxPackBytes, 'y');
        app.writePack(QStringLiteral("Huge.ini"), bytes);
        Settings settings;
        settings.languageFile = QStringLiteral("Huge.ini");
        const TextLookup text(app.path(), settings);
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"early"_s);
        QCOMPARE(text.SetCaptionfromINI("11", "&Open"), u"&Open"_s);
        const QString endless = text.SetCaptionfromINI("12", "E&xit");
        QVERIFY(endless == u"E&xit"_s || endless == QString(499, u'y'));
    }

    void internalFailureIsLoggedAndGivesEmptyText() {
        TempAppFolder app;
        Settings settings;
        FailingLookup text(app.path(), settings);
        const QString before = localDateNow();
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), QString());
        text.outOfMemory = true;
        QCOMPARE(text.SetCaptionfromINI("11", "&Open"), QString());
        const QString after = localDateNow();

        static const QRegularExpression entry(
            QStringLiteral("\\A\"\r\nDate: ([^\"\r\n]+)\",\"Time: ([^\"\r\n]+)\","
                           "\"Error Description: Pack reader broke, Error Number: 51, Method: "
                           "SetCaptionfromINI\"\r\n"
                           "\"\r\nDate: ([^\"\r\n]+)\",\"Time: ([^\"\r\n]+)\","
                           "\"Error Description: Out of memory, Error Number: 7, Method: "
                           "SetCaptionfromINI\"\r\n\\z"));
        const QString log = QString::fromUtf8(app.readFile(QStringLiteral("errorlog.txt")));
        const QRegularExpressionMatch match = entry.match(log);
        QVERIFY2(match.hasMatch(), qPrintable(log));
        QVERIFY(match.captured(1) == before || match.captured(1) == after);
    }

    void errorLogAppendsTwoLineEntries() {
        TempAppFolder app;
        {
            QFile old(app.path() + u"/errorlog.txt"_s);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("earlier entry\r\n");
        }
        WriteErrorLog(app.path(), u"first \"quoted\" message"_s);
        WriteErrorLog(app.path(), u"second, with a comma"_s);

        const QByteArray log = app.readFile(QStringLiteral("errorlog.txt"));
        const QList<QByteArray> lines = log.split('\n');
        QCOMPARE(lines.size(), 6); // old line, two lines per entry, nothing after the last CR LF
        QCOMPARE(lines[0], QByteArray("earlier entry\r"));
        QCOMPARE(lines[1], QByteArray("\"\r"));
        QCOMPARE(lines[3], QByteArray("\"\r"));
        QCOMPARE(lines[5], QByteArray());
        const QString date = localDateNow();
        QVERIFY2(lines[2].startsWith("Date: "), lines[2].constData());
        QVERIFY(lines[2].endsWith("\",\"first \"quoted\" message\"\r"));
        QVERIFY(lines[4].endsWith("\",\"second, with a comma\"\r"));
        // Date and time come from the system's short formats.
        static const QRegularExpression fields(QStringLiteral("^Date: (.+)\",\"Time: (.+)\",\""));
        const QRegularExpressionMatch match = fields.match(QString::fromUtf8(lines[4]));
        QVERIFY(match.hasMatch());
        QVERIFY(match.captured(1) == date || match.captured(1) == localDateNow());
        QVERIFY(!match.captured(2).isEmpty());
    }

    void errorLogFailureIsSwallowed() {
        TempAppFolder app;
        const QString missing = app.path() + u"/no/such/folder"_s;
        WriteErrorLog(missing, u"lost"_s);
        QVERIFY(!QFile::exists(missing + u"/errorlog.txt"_s));
        // A folder in place of the log file cannot be appended to either.
        QVERIFY(QDir(app.path()).mkdir(QStringLiteral("errorlog.txt")));
        WriteErrorLog(app.path(), u"lost"_s);
        QVERIFY(QFileInfo(app.path() + u"/errorlog.txt"_s).isDir());
    }
};

QTEST_GUILESS_MAIN(tst_Lookup)
#include "tst_lookup.moc"
