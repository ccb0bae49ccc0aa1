#include "KeyTable.h"
#include "TempAppFolder.h"

#include "localisation/TextLookup.h"
#include "settings/Settings.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QStringDecoder>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

static QString shippedLangFolder() {
    return qEnvironmentVariable("FRAMORA_SOURCE_DIR") + u"/lang"_s;
}

static QStringList shippedPacks() {
    return QDir(shippedLangFolder()).entryList({u"*.ini"_s}, QDir::Files, QDir::Name);
}

// The letter after the single ampersand, in lower case; empty when there is none.
static QString accessKey(const QString& caption) {
    const qsizetype at = caption.indexOf(u'&');
    return at < 0 || at + 1 >= caption.size() ? QString() : caption.mid(at + 1, 1).toLower();
}

class tst_Packs : public QObject {
    Q_OBJECT

private:
    // Every key of the pack looked up through the program's own reader.
    static QHash<QString, QString> lookUpAll(const QString& packName) {
        TempAppFolder app;
        QFile shipped(shippedLangFolder() + u'/' + packName);
        if (!shipped.open(QIODevice::ReadOnly))
            return {};
        app.writePack(packName, shipped.readAll());
        Settings settings;
        settings.languageFile = packName;
        const TextLookup text(app.path(), settings);
        QHash<QString, QString> texts;
        for (const LanguageKey& entry : languageKeys) {
            const QString key = QString::fromLatin1(entry.key);
            texts.insert(key, text.SetCaptionfromINI(key, u"\u0001missing"_s));
        }
        return texts;
    }

private Q_SLOTS:
    void theFourLanguagesShip() {
        const QStringList packs = shippedPacks();
        for (const QString& name :
             {u"English.ini"_s, u"German.ini"_s, u"French.ini"_s, u"Spanish.ini"_s})
            QVERIFY2(packs.contains(name), qPrintable(name));
    }

    void pack_data() {
        QTest::addColumn<QString>("packName");
        for (const QString& name : shippedPacks())
            QTest::newRow(qPrintable(name)) << name;
    }

    // UTF-8, one section with exactly the program's keys, every text there and sensible,
    // access keys that do not collide, and a flag beside it.
    void pack() {
        QFETCH(QString, packName);
        QFile file(shippedLangFolder() + u'/' + packName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString content = utf8.decode(file.readAll());
        QVERIFY2(!utf8.hasError(), "pack is not valid UTF-8");

        const QStringList lines = content.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0).trimmed(), u"[Framora Language Pack]"_s);
        QStringList keysInFile;
        for (const QString& line : lines.sliced(1)) {
            QVERIFY2(line.indexOf(u'=') > 0, qPrintable(line));
            keysInFile << line.first(line.indexOf(u'='));
        }
        QStringList programKeys;
        for (const LanguageKey& entry : languageKeys)
            programKeys << QString::fromLatin1(entry.key);
        keysInFile.sort();
        programKeys.sort();
        QCOMPARE(keysInFile, programKeys); // a duplicate shows as a key too many

        const QHash<QString, QString> texts = lookUpAll(packName);
        for (const LanguageKey& entry : languageKeys) {
            const QString text = texts.value(QString::fromLatin1(entry.key));
            const QString english = QString::fromUtf8(entry.defaultText);
            QVERIFY2(!text.isEmpty() && !text.startsWith(u'\u0001'), entry.key);
            // Where the English caption has an access key, the translation has exactly one.
            QVERIFY2(text.count(u'&') == english.count(u'&'), entry.key);
            if (packName == u"English.ini"_s)
                QCOMPARE(text, english);
        }
        QCOMPARE(texts.value(u"78"_s).count(u'"'), 2);
        QVERIFY(texts.value(u"75"_s).endsWith(u':'));

        // Captions reachable by their access keys at the same time.
        const QList<QStringList> groups = {
            {u"10"_s, u"20"_s, u"30"_s, u"40"_s, u"76"_s}, // main window: menu bar, Browse
            {u"11"_s, u"12"_s},                            // File
            {u"21"_s, u"22"_s, u"23"_s, u"24"_s},          // Edit
            {u"41"_s, u"42"_s, u"43"_s},                   // Help
            {u"03"_s, u"04"_s, u"76"_s},                   // Options dialog buttons
        };
        for (const QStringList& group : groups) {
            QSet<QString> seen;
            for (const QString& key : group) {
                const QString letter = accessKey(texts.value(key));
                QVERIFY2(!letter.isEmpty() && !seen.contains(letter), qPrintable(key));
                seen.insert(letter);
            }
        }

        // The Options dialog shows the flag in a 16-pixel square.
        QImageReader flag(shippedLangFolder() + u'/' + QFileInfo(packName).completeBaseName() +
                          u".bmp"_s);
        QCOMPARE(flag.format(), QByteArray("bmp"));
        const QImage image = flag.read();
        QVERIFY2(!image.isNull(), qPrintable(flag.errorString()));
        QVERIFY(image.width() >= 8 && image.width() <= 16);
        QVERIFY(image.height() >= 8 && image.height() <= 16);
    }
};

QTEST_GUILESS_MAIN(tst_Packs)
#include "tst_packs.moc"
