// Text lookup in the language packs, the error log, the captions of the windows and the
// packs the program ships.
#include "support/TempAppFolder.h"

#include "localisation/CaptionApplication.h"
#include "localisation/ErrorLog.h"
#include "localisation/PackLanguage.h"
#include "localisation/TextLookup.h"
#include "localisation/UiTranslation.h"

#include <QImage>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTest>
#include <future>
#include <stdexcept>
#include <sys/stat.h>

using namespace Qt::Literals::StringLiterals;

static const QByteArray header = "[Framora Language Pack]\r\n";
// Held by name: a lookup keeps a reference to the language file name.
static const QString testPack = QStringLiteral("Test.ini");

// The packs the program ships, in the source tree.
static const QString shippedFolder =
    qEnvironmentVariable("FRAMORA_SOURCE_DIR", QStringLiteral(FRAMORA_TEST_SOURCE_DIR)) +
    u"/lang/"_s;

static QByteArray readShipped(const QString& name) {
    QFile file(shippedFolder + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The keys of a shipped pack, sorted, duplicates included.
static QStringList keysOf(const QString& packName) {
    QStringList keys;
    for (const QByteArray& line : readShipped(packName).split('\n')) {
        if (const qsizetype equals = line.indexOf('='); equals > 0)
            keys << QString::fromUtf8(line.first(equals).trimmed());
    }
    keys.sort();
    return keys;
}

// A lookup whose pack reading fails the way an exhausted or broken reader would.
class FailingLookup : public TextLookup {
public:
    using TextLookup::TextLookup;
    QByteArray readPack(const QString&) const override {
        throw std::runtime_error("Pack \"reader\" broke");
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
    // Key 10 is looked up, with the default text "  &File  ".
    void lookup_data() {
        QTest::addColumn<QByteArray>("pack");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QByteArray& pack, const QString& expected) {
            QTest::newRow(name) << pack << expected;
        };
        row("stored value, 10 is not 010", header + "010=Fehler\r\n10=&Datei\r\n", u"&Datei"_s);
        row("case, blanks", "[ fRAMORA language PACK ]\n  10 = found \t\n", u"found"_s);
        // The quotes go before the cut to 499, the leading blanks after it.
        row("one pair of quotes removed, cut to 499",
            header + "10=\"  \"" + QByteArray(600, 'x') + "\" \"", u'"' + QString(496, 'x'));
        row("empty value is not missing", header + "10=\r\n", QString());
        row("UTF-8, cut never splits a character",
            header + "10=\xC3\x96" + QByteArray(497, 'a') + "\xF0\x9F\x98\x80",
            u"Ö"_s + QString(497, u'a'));
        // One byte that cannot be UTF-8 makes the whole pack Windows-1252.
        row("Windows-1252", header + "10=Gar\xE7on \x80 \xC3\xA4", u"Garçon € Ã¤"_s);
        row("UTF-16 with BOM",
            QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom)
                .encode(QString::fromUtf8(header) + u"10=\u00DCber \u20AC\r\n"_s),
            u"Über €"_s);
        // A key missing from the pack's section gives the default, trimmed like a value.
        row("key in another section", "[Other]\r\n10=Nein\r\n" + header, u"&File"_s);
        // Only the first megabyte of a stray huge file is read: a key beyond it is missing.
        row("huge pack", header + QByteArray(TextLookup::maxPackBytes, ';') + "\n10=x", u"&File"_s);
    }

    void lookup() {
        QFETCH(QByteArray, pack);
        TempAppFolder app;
        app.writePack(testPack, pack);
        QTEST(TextLookup(app.path(), testPack).SetCaptionfromINI(u"10"_s, u"  &File  "_s),
              "expected");
    }

    // Nothing is cached: each lookup reads the pack named at that moment, and a missing
    // pack gives the default.
    void languageSwitchShowsAtTheNextLookup() {
        TempAppFolder app;
        app.writePack(u"German.ini"_s, header + "10=&Datei\r\n");
        // A name leading out of Lang/ is no pack, even where a pack lies at its end.
        QVERIFY(app.writeFile(u"Outside.ini"_s, header + "10=&Outside\r\n"));
        QCOMPARE(TextLookup(app.path(), u"../Outside.ini"_s).SetCaptionfromINI(u"10"_s, u"&File"_s),
                 u"&File"_s);
        QString languageFile = u"German.ini"_s;
        const TextLookup text(app.path(), languageFile);
        QCOMPARE(text.SetCaptionfromINI(u"10"_s, u"&File"_s), u"&Datei"_s);
        languageFile = u"French.ini"_s;
        QCOMPARE(text.SetCaptionfromINI(u"10"_s, u"&File"_s), u"&File"_s);
        app.writePack(u"French.ini"_s, header + "10=&Fichier\r\n");
        QCOMPARE(text.SetCaptionfromINI(u"10"_s, u"&File"_s), u"&Fichier"_s);
    }

    // A lookup that fails inside gives an empty text and appends an entry of two CR LF
    // lines to the log, quotes kept as they are.
    void errorLogOnLookupFailure() {
        TempAppFolder app;
        const FailingLookup text(app.path(), testPack);
        QCOMPARE(text.SetCaptionfromINI(u"10"_s, u"&File"_s), QString());
        QCOMPARE(text.SetCaptionfromINI(u"10"_s, u"&File"_s), QString());
        const QRegularExpression twoEntries(
            u"\\A(\"\r\nDate: [^\"\r\n]+\",\"Time: [^\"\r\n]+\",\"Error Description: Pack "
            "\"reader\" broke, Error Number: 51, Method: SetCaptionfromINI\"\r\n){2}\\z"_s);
        const QString log = QString::fromUtf8(app.readFile(u"errorlog.txt"_s));
        QVERIFY2(twoEntries.match(log).hasMatch(), qPrintable(log));
        // A link in the log's place is replaced by a log of its own, never appended through.
        QVERIFY(QFile::remove(app.path() + u"/errorlog.txt"_s));
        QVERIFY(app.writeFile(u"elsewhere.txt"_s, "kept"));
        QVERIFY(QFile::link(app.path() + u"/elsewhere.txt"_s, app.path() + u"/errorlog.txt"_s));
        (void)text.SetCaptionfromINI(u"10"_s, u"&File"_s);
        QCOMPARE(app.readFile(u"elsewhere.txt"_s), QByteArray("kept"));
        QVERIFY(!QFileInfo(app.path() + u"/errorlog.txt"_s).isSymLink());
        // A pipe in its place, which nobody reads, does not hold the program.
        const QString pipe = app.path() + u"/pipe.txt"_s;
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        auto writing = std::async(std::launch::async, [&] { WriteErrorLog(pipe, u"x"_s); });
        const bool returned =
            writing.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        if (!returned) // let the writer go, so that the test can end and say so
            QFile(pipe).open(QIODevice::ReadOnly);
        QVERIFY(returned);
    }

    // The dialogs built later take OK and Cancel from the shared captions.
    void captionsTakeThePacksTexts() {
        TempAppFolder app;
        app.writePack(testPack, header + "10=&Datei\r\n03=&Ja\r\n04=&Nein\r\n75=Ort:\r\n");
        RecordingTargets targets;
        SharedCaptions shared;
        ApplyLanguageCaptions(TextLookup(app.path(), testPack), targets, shared);
        QCOMPARE(shared.okCaption + u'|' + shared.cancelCaption, u"&Ja|&Nein"_s);
        // The folder frame shows the label less its colon.
        for (const QString& caption :
             {u"0/fileMenu=&Datei"_s, u"1/OKButton=&Ja"_s, u"0/quickPath=Ort"_s})
            QVERIFY2(targets.captions_.contains(caption), qPrintable(caption));
    }

    // Qt's own texts (a shortcut's modifier, a message box's button) and the program's own
    // Qt-translated texts (the folder picker's) follow the pack; a pack of no known language
    // leaves Qt's in English. A new user's pack is the one of the system's language.
    void uiTranslation_data() {
        QTest::addColumn<QString>("pack");
        QTest::addColumn<QLocale::Language>("language");
        QTest::addColumn<QString>("ctrl");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("newFolder");
        QTest::addColumn<QString>("shippedPack"); // for a new user of that language
        QTest::newRow("German") << u"German.ini"_s << QLocale::German << u"Strg"_s << u"&Ja"_s
                                << u"Neuen Ordner erstellen"_s << u"German.ini"_s;
        QTest::newRow("French") << u"French.ini"_s << QLocale::French << u"Ctrl"_s << u"&Oui"_s
                                << u"Créer un nouveau dossier"_s << u"French.ini"_s;
        QTest::newRow("English") << u"English.ini"_s << QLocale::English << u"Ctrl"_s << u"&Yes"_s
                                 << u"Make New Folder"_s << u"English.ini"_s;
        QTest::newRow("native name, own pack")
            << u"Deutsch.ini"_s << QLocale::German << u"Strg"_s << u"&Ja"_s << u"Make New Folder"_s
            << u"German.ini"_s;
        QTest::newRow("no language") << u"Pirate.ini"_s << QLocale::AnyLanguage << u"Ctrl"_s
                                     << u"&Yes"_s << u"Make New Folder"_s << QString();
    }
    void uiTranslation() {
        QFETCH(QString, pack);
        QFETCH(QLocale::Language, language);
        QCOMPARE(languageOfPack(pack), language);
        const QStringList shipped = QDir(shippedFolder).entryList({u"*.ini"_s}, QDir::Files);
        QTEST(packForLanguage(shipped, language), "shippedPack");
        TempAppFolder app;
        app.writePack(pack, shipped.contains(pack) ? readShipped(pack) : header);
        const TextLookup text(app.path(), pack);
        UiTranslation translation(text);
        // Another pack first, so that following this one replaces a translation.
        translation.follow(u"Spanish.ini"_s);
        translation.follow(pack);
        QTEST(QCoreApplication::translate("QShortcut", "Ctrl"), "ctrl");
        QTEST(QCoreApplication::translate("QPlatformTheme", "&Yes"), "yes");
        QTEST(QCoreApplication::translate("FolderDialog", "Make New Folder"), "newFolder");
    }

    void shippedPack_data() {
        QTest::addColumn<QString>("name");
        const QStringList packs = QDir(shippedFolder).entryList({u"*.ini"_s}, QDir::Files);
        QVERIFY2(packs.contains(u"English.ini"_s), qPrintable(shippedFolder));
        for (const QString& name : packs)
            QTest::newRow(qPrintable(name)) << name;
    }

    // Exactly English's keys, a text for each, at most one access key per caption and none
    // shared by captions reachable at the same time, and a flag beside it.
    void shippedPack() {
        QFETCH(QString, name);
        const QStringList keys = keysOf(name);
        QCOMPARE(keys, keysOf(u"English.ini"_s)); // a duplicate shows as a key too many
        TempAppFolder app;
        app.writePack(name, readShipped(name));
        const TextLookup text(app.path(), name);
        for (const QString& key : keys) {
            const QString caption = text.SetCaptionfromINI(key, QString());
            QVERIFY2(!caption.isEmpty() && caption.count(u'&') <= 1, qPrintable(key));
        }
        // Captions reachable at the same time.
        for (const QString& menu : {u"10 20 32 35 30 40 76"_s, u"11 12"_s, u"21 22 23 24"_s,
                                    u"33 34"_s, u"41 42 43"_s, u"03 04 76"_s}) {
            QString letters; // the access keys so far
            for (const QString& key : menu.split(u' ')) {
                const QString caption = text.SetCaptionfromINI(key, QString());
                const QString letter = caption.mid(caption.indexOf(u'&') + 1, 1).toLower();
                QVERIFY2(caption.contains(u'&') && !letters.contains(letter), qPrintable(key));
                letters += letter;
            }
        }
        QVERIFY(!QImage(shippedFolder + name.chopped(4) + u".bmp"_s).isNull());
    }
};

QTEST_GUILESS_MAIN(TstLocalisation)
#include "tst_localisation.moc"
