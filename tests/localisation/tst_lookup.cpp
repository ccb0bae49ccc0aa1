#include "TempAppFolder.h"

#include "localisation/ErrorLog.h"
#include "localisation/TextLookup.h"
#include "settings/Settings.h"

#include <QLocale>
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
    void lookup_data() {
        QTest::addColumn<QByteArray>("pack"); // null: no Lang folder at all
        QTest::addColumn<QString>("languageFile");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QByteArray& pack, const char* key,
                            const QString& defaultText, const QString& expected,
                            const QString& languageFile = u"Test.ini"_s) {
            QTest::newRow(name) << pack << languageFile << QString::fromLatin1(key) << defaultText
                                << expected;
        };
        const QByteArray x600(600, 'x');
        row("stored value", header + "10=&Datei\r\n", "10", u"&File"_s, u"&Datei"_s);
        row("10 is not 010", header + "010=Fehler\r\n10=&Datei\r\n", "10", u"-"_s, u"&Datei"_s);
        row("010 is not 10", header + "10=&Datei\r\n010=Fehler\r\n", "010", u"-"_s, u"Fehler"_s);
        row("section in other case", "[fRAMORA language PACK]\n03=Ja\n", "03", u"-"_s, u"Ja"_s);
        row("blanks inside section brackets", "[  Framora Language Pack ]\n03=Ja\n", "03", u"-"_s,
            u"Ja"_s);
        row("key in other case", header + "aBc=found\r\n", "AbC", u"-"_s, u"found"_s);
        row("blanks around key and value", header + "  10  =   Datei  \t\r\n", "10", u"-"_s,
            u"Datei"_s);
        row("equals sign inside value", header + "10=a=b\r\n", "10", u"-"_s, u"a=b"_s);
        row("surrounding quotes removed", header + "10=\"  Datei \"\r\n", "10", u"-"_s,
            u"Datei "_s);
        row("embedded quotes kept", header + "78=Say \"Hi\" again\r\n", "78", u"-"_s,
            u"Say \"Hi\" again"_s);
        row("lone leading quote kept", header + "10=\"Datei\r\n", "10", u"-"_s, u"\"Datei"_s);
        row("pair of quotes only", header + "10=\"\"\r\n", "10", u"-"_s, QString());
        row("empty value stays empty", header + "75=\r\n", "75", u"Snapshots Path:"_s, QString());
        row("first entry wins", header + "10=eins\r\n10=zwei\r\n", "10", u"-"_s, u"eins"_s);
        row("commented-out line", header + ";10=Nein\r\n10=Ja\r\n", "10", u"-"_s, u"Ja"_s);
        row("600 characters cut to 499", header + "53=" + x600, "53", u"-"_s, QString(499, 'x'));
        row("quoted 600 cut to 499", header + "53=\"" + x600 + "\"", "53", u"-"_s,
            QString(499, 'x'));
        row("cut never splits a character",
            header + "10=" + QString(498, u'a').toUtf8() + "\xF0\x9F\x98\x80tail", "10", u"-"_s,
            QString(498, u'a'));
        row("UTF-8",
            header + "10=\xC3\x96"
                     "ffnen \xE2\x82\xAC \xC3\xA7",
            "10", u"-"_s, u"Öffnen € ç"_s);
        // One byte that cannot be UTF-8 makes the whole pack Windows-1252.
        row("Windows-1252", header + "10=Fran\xE7" + "ais \x80 \x93Zitat\x94 \xC3\xA4 \x81\x8D",
            "10", u"-"_s, u"Français € “Zitat” Ã¤ \u0081\u008D"_s);
        row("byte order mark", "\xEF\xBB\xBF" + header + "10=\xC3\x9C\r\n", "10", u"-"_s, u"Ü"_s);
        const QString unicode = QString::fromUtf8(header) + u"10=\u00DCber \u20AC\r\n"_s;
        QByteArray le("\xFF\xFE", 2), be("\xFE\xFF", 2);
        for (const QChar c : unicode) {
            le.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
            be.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        }
        row("UTF-16 little-endian (Notepad's Unicode)", le, "10", u"-"_s, u"Über €"_s);
        row("UTF-16 big-endian", be, "10", u"-"_s, u"Über €"_s);
        // The euro sign and the line end replaced by half a pair.
        row("UTF-16 with half a character", le.chopped(6) + QByteArray("\x3D\xD8", 2), "10", u"-"_s,
            u"Über \uFFFD"_s);
        // The default for anything missing, trimmed and cut like a stored value.
        row("missing key", header + "11=Auf\r\n", "10", u"&File"_s, u"&File"_s);
        row("key only in another section", "[Other]\r\n10=Nein\r\n" + header, "10", u"&File"_s,
            u"&File"_s);
        row("key after the section ended", header + "[Next]\r\n10=Nein\r\n", "10", u"&File"_s,
            u"&File"_s);
        row("key before any section", "10=Nein\r\n" + header, "10", u"&File"_s, u"&File"_s);
        row("empty pack", "", "10", u"&File"_s, u"&File"_s);
        row("no Lang folder", QByteArray(), "10", u"&File"_s, u"&File"_s);
        row("pack missing", header + "10=x\r\n", "10", u"&File"_s, u"&File"_s, u"German.ini"_s);
        row("languageFile empty names the Lang folder", header + "10=x\r\n", "10", u"&File"_s,
            u"&File"_s, QString());
        row("default with blanks", header, "10", u"  &File  "_s, u"&File"_s);
        row("long default cut to 499", header, "10", QString(600, u'd'), QString(499, u'd'));
    }

    void lookup() {
        QFETCH(QByteArray, pack);
        QFETCH(QString, languageFile);
        QFETCH(QString, key);
        QFETCH(QString, defaultText);
        TempAppFolder app;
        if (!pack.isNull())
            app.writePack(u"Test.ini"_s, pack);
        Settings settings;
        settings.languageFile = languageFile;
        QTEST(TextLookup(app.path(), settings).SetCaptionfromINI(key, defaultText), "expected");
        QVERIFY(app.readFile(u"errorlog.txt"_s).isEmpty());
    }

    // No cache: each lookup reads the pack the settings name at that moment.
    void languageSwitchShowsAtTheNextLookup() {
        TempAppFolder app;
        app.writePack(u"German.ini"_s, header + "10=&Datei\r\n");
        app.writePack(u"French.ini"_s, header + "10=&Fichier\r\n");
        Settings settings;
        settings.languageFile = u"German.ini"_s;
        const TextLookup text(app.path(), settings);
        QCOMPARE(text.packPath(), app.path() + u"/Lang/German.ini"_s);
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"&Datei"_s);
        settings.languageFile = u"French.ini"_s;
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"&Fichier"_s);
        settings.languageFile = u"English.ini"_s;
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"&File"_s);
        app.writePack(u"English.ini"_s, header + "10=&Fichier anglais\r\n");
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"&Fichier anglais"_s);
    }

    void hugePackIsReadOnlyInPart() {
        TempAppFolder app;
        QByteArray bytes = header + "10=early\r\n";
        while (bytes.size() < 3 * TextLookup::maxPackBytes)
            bytes += "; " + QByteArray(98, 'f') + "\r\n";
        bytes += "11=late\r\n12=" + QByteArray(TextLookup::maxPackBytes, 'y');
        app.writePack(u"Huge.ini"_s, bytes);
        Settings settings;
        settings.languageFile = u"Huge.ini"_s;
        const TextLookup text(app.path(), settings);
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), u"early"_s);
        QCOMPARE(text.SetCaptionfromINI("11", "&Open"), u"&Open"_s);
        const QString endless = text.SetCaptionfromINI("12", "E&xit");
        QVERIFY(endless == u"E&xit"_s || endless == QString(499, u'y'));
    }

    // Entries are appended after what is there, two CR LF lines each; a lookup that fails
    // inside logs its error with the method's name and gives an empty text.
    void errorLogEntries() {
        TempAppFolder app;
        {
            QFile old(app.path() + u"/errorlog.txt"_s);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("earlier entry\r\n");
        }
        Settings settings;
        FailingLookup text(app.path(), settings);
        const QString before = localDateNow();
        QCOMPARE(text.SetCaptionfromINI("10", "&File"), QString());
        text.outOfMemory = true;
        QCOMPARE(text.SetCaptionfromINI("11", "&Open"), QString());
        WriteErrorLog(app.path(), u"a \"quoted\", message"_s);
        const QString after = localDateNow();

        QString pattern = u"\\Aearlier entry\r\n"_s;
        for (
            const QString& message :
            {u"Error Description: Pack reader broke, Error Number: 51, Method: SetCaptionfromINI"_s,
             u"Error Description: Out of memory, Error Number: 7, Method: SetCaptionfromINI"_s,
             u"a \"quoted\", message"_s})
            pattern += u"\"\r\nDate: ([^\"\r\n]+)\",\"Time: [^\"\r\n]+\",\""_s +
                       QRegularExpression::escape(message) + u"\"\r\n"_s;
        const QString log = QString::fromUtf8(app.readFile(u"errorlog.txt"_s));
        const QRegularExpressionMatch match = QRegularExpression(pattern + u"\\z"_s).match(log);
        QVERIFY2(match.hasMatch(), qPrintable(log));
        // The date in the system's short format.
        for (int entry = 1; entry <= 3; ++entry)
            QVERIFY(match.captured(entry) == before || match.captured(entry) == after);
    }

    void errorLogFailureIsSwallowed() {
        TempAppFolder app;
        const QString missing = app.path() + u"/no/such/folder"_s;
        WriteErrorLog(missing, u"lost"_s);
        QVERIFY(!QFile::exists(missing + u"/errorlog.txt"_s));
        // A folder in place of the log file cannot be appended to either.
        QVERIFY(QDir(app.path()).mkdir(u"errorlog.txt"_s));
        WriteErrorLog(app.path(), u"lost"_s);
        QVERIFY(QFileInfo(app.path() + u"/errorlog.txt"_s).isDir());
    }
};

QTEST_GUILESS_MAIN(tst_Lookup)
#include "tst_lookup.moc"
