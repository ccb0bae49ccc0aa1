// Text lookup in the language packs, the error log, the captions of the windows and the
// packs the program ships.
#include "support/TempAppFolder.h"

#include "localisation/CaptionApplication.h"
#include "localisation/ErrorLog.h"
#include "localisation/TextLookup.h"

#include <QDirIterator>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QStringEncoder>
#include <QTest>
#include <stdexcept>

using namespace Qt::Literals::StringLiterals;

static const QByteArray header = "[Framora Language Pack]\r\n";
// Held by name: a lookup keeps a reference to the language file name.
static const QString testPack = QStringLiteral("Test.ini");

static QString sourceFolder() {
    const QString fromEnvironment = qEnvironmentVariable("FRAMORA_SOURCE_DIR");
    return fromEnvironment.isEmpty() ? QStringLiteral(FRAMORA_TEST_SOURCE_DIR) : fromEnvironment;
}

static QByteArray readShipped(const QString& name) {
    QFile file(sourceFolder() + u"/lang/"_s + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The keys of a shipped pack in file order, duplicates included.
static QStringList keysOf(const QString& packName) {
    QStringList keys;
    for (const QByteArray& line : readShipped(packName).split('\n')) {
        if (const qsizetype equals = line.indexOf('='); equals > 0)
            keys << QString::fromUtf8(line.first(equals).trimmed());
    }
    return keys;
}

// A lookup whose pack reading fails the way an exhausted or broken reader would.
class FailingLookup : public TextLookup {
public:
    using TextLookup::TextLookup;

protected:
    QByteArray readPack(const QString&) const override {
        throw std::runtime_error("Pack reader broke");
    }
};

class RecordingTargets : public CaptionTargets {
public:
    QStringList captions_; // "<window>/<objectName>=<text>"
    void setCaption(CaptionWindow window, const QString& objectName, const QString& text) override {
        captions_ << u"%1/%2=%3"_s.arg(int(window)).arg(objectName, text);
    }
};

class TstLocalisation : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lookup_data() {
        QTest::addColumn<QByteArray>("pack"); // null: no Lang folder at all
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // the default text is always "  &File  "
        const auto row = [](const char* name, const QByteArray& pack, const char* key,
                            const QString& expected) {
            QTest::newRow(name) << pack << QString::fromLatin1(key) << expected;
        };
        const QString unicode = QString::fromUtf8(header) + u"10=\u00DCber \u20AC\r\n"_s;
        row("stored value", header + "10=&Datei\r\n", "10", u"&Datei"_s);
        row("10 is not 010", header + "010=Fehler\r\n10=Datei\r\n", "10", u"Datei"_s);
        row("names in other case, blanks around", "[ fRAMORA language PACK ]\n  aBc = found \t\n",
            "AbC", u"found"_s);
        row("one pair of quotes removed", header + "10=\"  \"Da\" tei \"\r\n", "10",
            u"\"Da\" tei "_s);
        row("empty value is not missing", header + "10=\r\n", "10", QString());
        row("cut to 499", header + "10=\"" + QByteArray(600, 'x') + "\"", "10", QString(499, 'x'));
        row("cut never splits a character",
            header + "10=" + QByteArray(498, 'a') + "\xF0\x9F\x98\x80", "10", QString(498, u'a'));
        row("UTF-8", header + "10=\xC3\x96l \xE2\x82\xAC", "10", u"Öl €"_s);
        // One byte that cannot be UTF-8 makes the whole pack Windows-1252.
        row("Windows-1252", header + "10=Gar\xE7on \x80 \xC3\xA4", "10", u"Garçon € Ã¤"_s);
        row("UTF-16 with BOM",
            QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom).encode(unicode),
            "10", u"Über €"_s);
        // Anything missing gives the default, trimmed like a stored value.
        row("missing key", header + "11=Auf\r\n", "10", u"&File"_s);
        row("key in another section", "[Other]\r\n10=Nein\r\n" + header, "10", u"&File"_s);
        row("no pack", QByteArray(), "10", u"&File"_s);
        // Only the first megabyte of a stray huge file is read: a key beyond it is missing.
        row("huge pack", header + QByteArray(2 * TextLookup::maxPackBytes, ';') + "\n10=late\n",
            "10", u"&File"_s);
    }

    void lookup() {
        QFETCH(QByteArray, pack);
        QFETCH(QString, key);
        TempAppFolder app;
        if (!pack.isNull())
            app.writePack(testPack, pack);
        QTEST(TextLookup(app.path(), testPack).SetCaptionfromINI(key, u"  &File  "_s), "expected");
    }

    // Nothing is cached: each lookup reads the pack named at that moment.
    void languageSwitchShowsAtTheNextLookup() {
        TempAppFolder app;
        app.writePack(u"German.ini"_s, header + "10=&Datei\r\n");
        app.writePack(u"French.ini"_s, header + "10=&Fichier\r\n");
        QString languageFile = u"German.ini"_s;
        const TextLookup text(app.path(), languageFile);
        QCOMPARE(text.SetCaptionfromINI(u"10"_s, u"&File"_s), u"&Datei"_s);
        languageFile = u"French.ini"_s;
        QCOMPARE(text.SetCaptionfromINI(u"10"_s, u"&File"_s), u"&Fichier"_s);
        app.writePack(u"French.ini"_s, header + "10=Fichier &modifié\r\n");
        QCOMPARE(text.SetCaptionfromINI(u"10"_s, u"&File"_s), u"Fichier &modifié"_s);
    }

    // A lookup that fails inside gives an empty text and appends an entry of two CR LF
    // lines to what the log held (quotes kept as they are); a log that cannot be written
    // is passed over.
    void errorLogOnLookupFailure() {
        TempAppFolder app;
        WriteErrorLog(app.path(), u"say \"hi\", then"_s);
        const FailingLookup text(app.path(), testPack);
        QCOMPARE(text.SetCaptionfromINI(u"10"_s, u"&File"_s), QString());
        const QString entry = u"\"\r\nDate: [^\"\r\n]+\",\"Time: [^\"\r\n]+\",\"%1\"\r\n"_s;
        const QRegularExpression expected(
            u"\\A"_s + entry.arg(QRegularExpression::escape(u"say \"hi\", then"_s)) +
            entry.arg(u"Error Description: Pack reader broke, Error Number: 51, Method: "
                      "SetCaptionfromINI"_s) +
            u"\\z"_s);
        const QString log = QString::fromUtf8(app.readFile(u"errorlog.txt"_s));
        QVERIFY2(expected.match(log).hasMatch(), qPrintable(log));

        const QString missing = app.path() + u"/no/such/folder"_s;
        QCOMPARE(FailingLookup(missing, testPack).SetCaptionfromINI(u"10"_s, u"x"_s), QString());
        QVERIFY(!QFile::exists(missing + u"/errorlog.txt"_s));
    }

    void captionsTakeThePacksTexts() {
        TempAppFolder app;
        app.writePack(testPack,
                      header + "10=&Datei\r\n03=&Jawohl\r\n04=&Nein\r\n75=Speicherort:\r\n");
        RecordingTargets targets;
        SharedCaptions shared;
        ApplyLanguageCaptions(TextLookup(app.path(), testPack), targets, shared);
        QCOMPARE(shared.okCaption, u"&Jawohl"_s);
        QCOMPARE(shared.cancelCaption, u"&Nein"_s);
        for (const QString& caption : {u"0/fileMenu=&Datei"_s, u"1/OKButton=&Jawohl"_s,
                                       u"0/quickPath=Speicherort"_s}) // the label less its colon
            QVERIFY2(targets.captions_.contains(caption), qPrintable(caption));
    }

    void shippedPack_data() {
        QTest::addColumn<QString>("name");
        const QStringList packs =
            QDir(sourceFolder() + u"/lang"_s).entryList({u"*.ini"_s}, QDir::Files);
        QVERIFY2(packs.contains(u"English.ini"_s), qPrintable(sourceFolder()));
        for (const QString& name : packs)
            QTest::newRow(qPrintable(name)) << name;
    }

    // Exactly English's keys, a text for each, at most one access key per caption and none
    // shared by captions reachable at the same time, and a flag beside it.
    void shippedPack() {
        QFETCH(QString, name);
        QStringList keys = keysOf(name), english = keysOf(u"English.ini"_s);
        keys.sort();
        english.sort();
        QCOMPARE(keys, english); // a duplicate shows as a key too many
        TempAppFolder app;
        app.writePack(name, readShipped(name));
        const TextLookup text(app.path(), name);
        for (const QString& key : keys) {
            const QString caption = text.SetCaptionfromINI(key, QString());
            QVERIFY2(!caption.isEmpty() && caption.count(u'&') <= 1, qPrintable(key));
        }
        for (const QString& menu :
             {u"10 20 30 40 76"_s, u"11 12"_s, u"21 22 23 24"_s, u"41 42 43"_s,
              u"03 04 76"_s}) { // captions reachable at the same time
            QSet<QString> letters;
            for (const QString& key : menu.split(u' ')) {
                const QString caption = text.SetCaptionfromINI(key, QString());
                const QString letter = caption.mid(caption.indexOf(u'&') + 1, 1).toLower();
                QVERIFY2(caption.contains(u'&') && !letters.contains(letter), qPrintable(key));
                letters.insert(letter);
            }
        }
        QVERIFY(!QImage(sourceFolder() + u"/lang/"_s + name.chopped(4) + u".bmp"_s).isNull());
    }

    // Every key the program looks up has its English text.
    void sourceKeysAreInTheEnglishPack() {
        static const QRegularExpression use(
            uR"re((?:\btext\(|QStringLiteral\(|\bset\(\w+,\s*"\w*",)\s*"(\d{2,3})")re"_s);
        const QStringList english = keysOf(u"English.ini"_s);
        QSet<QString> used;
        for (const char* folder :
             {"shell", "settings", "capture", "localisation", "folderbrowse", "playback"}) {
            QDirIterator files(sourceFolder() + u'/' + QLatin1String(folder), {u"*.cpp"_s},
                               QDir::Files, QDirIterator::Subdirectories);
            while (files.hasNext()) {
                QFile file(files.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                for (const QRegularExpressionMatch& match :
                     use.globalMatch(QString::fromUtf8(file.readAll()))) {
                    used.insert(match.captured(1));
                    QVERIFY2(english.contains(match.captured(1)),
                             qPrintable(match.captured(1) + u" in "_s + file.fileName()));
                }
            }
        }
        QVERIFY2(used.size() > 40, "the scan found next to no keys");
    }
};

QTEST_GUILESS_MAIN(TstLocalisation)
#include "tst_localisation.moc"
