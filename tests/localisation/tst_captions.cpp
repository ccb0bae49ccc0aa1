#include "KeyTable.h"
#include "TempAppFolder.h"

#include "localisation/CaptionApplication.h"
#include "localisation/TextLookup.h"
#include "settings/Settings.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

struct Caption {
    CaptionWindow window;
    QString objectName;
    QString text;
    friend bool operator==(const Caption&, const Caption&) = default;
};

char* toString(const Caption& caption) {
    static const char* windows[] = {"Main", "Options", "About"};
    return qstrdup(qPrintable(u"%1/%2=\"%3\""_s.arg(QLatin1String(windows[int(caption.window)]),
                                                    caption.objectName, caption.text)));
}

class RecordingTargets : public CaptionTargets {
public:
    QList<Caption> captions;
    void setCaption(CaptionWindow window, const QString& objectName, const QString& text) override {
        captions.append({window, objectName, text});
    }
};

// The captions in the order they are applied, each with its language key; the OK and
// Cancel buttons take the shared texts of keys "03" and "04".
struct Step {
    CaptionWindow window;
    const char* objectName;
    const char* key;
};

static const Step steps[] = {
    {CaptionWindow::Options, "Command1", "87"},
    {CaptionWindow::Main, "fileMenu", "10"},
    {CaptionWindow::Main, "openMenu", "11"},
    {CaptionWindow::Main, "exitCommand", "12"},
    {CaptionWindow::Main, "editMenu", "20"},
    {CaptionWindow::Main, "snapshotCommand", "21"},
    {CaptionWindow::Main, "continuousSnapshots", "22"},
    {CaptionWindow::Main, "timedSnapshots", "23"},
    {CaptionWindow::Main, "fullScreenMenu", "24"},
    {CaptionWindow::Main, "toolsMenu", "30"},
    {CaptionWindow::Main, "optionsMenuCommand", "31"},
    {CaptionWindow::Main, "helpMenu", "40"},
    {CaptionWindow::Main, "howToUseMenu", "41"},
    {CaptionWindow::Main, "checkUpdates", "42"},
    {CaptionWindow::Main, "aboutMenu", "43"},
    {CaptionWindow::About, "cmdOK", "03"},
    {CaptionWindow::Options, "OKButton", "03"},
    {CaptionWindow::Options, "CancelButton", "04"},
    {CaptionWindow::Options, "", "70"},
    {CaptionWindow::Options, "languageFrame", "71"},
    {CaptionWindow::Options, "languageLabel", "72"},
    {CaptionWindow::Options, "snapshotsFrame", "73"},
    {CaptionWindow::Options, "imageFormatLabel", "74"},
    {CaptionWindow::Options, "snapshotsPathLabel", "75"},
    {CaptionWindow::Options, "snapshotsBrowse", "76"},
    {CaptionWindow::Main, "quickPath", "75"},
    {CaptionWindow::Main, "browseCommand", "76"},
    {CaptionWindow::Options, "prefixLabel", "77"},
    {CaptionWindow::Options, "inputBoxCheck", "78"},
    {CaptionWindow::Options, "valueTitle", "79"},
    {CaptionWindow::Options, "millisecondsLabel", "80"},
    {CaptionWindow::Options, "previewSnapshot", "81"},
    {CaptionWindow::Options, "miscellaneousFrame", "85"},
    {CaptionWindow::Options, "screenSaver", "86"},
};

static QString defaultOf(const char* key) {
    for (const LanguageKey& entry : languageKeys) {
        if (qstrcmp(entry.key, key) == 0)
            return QString::fromUtf8(entry.defaultText);
    }
    return {};
}

// The expected captions when every key's text is textOf(key).
template <typename TextOf> static QList<Caption> expectedCaptions(TextOf textOf) {
    QList<Caption> expected;
    for (const Step& step : steps) {
        QString text = textOf(step.key);
        if (QLatin1String(step.objectName) == "quickPath"_L1)
            text.chop(1);
        expected.append({step.window, QString::fromLatin1(step.objectName), text});
    }
    return expected;
}

struct Run {
    RecordingTargets targets;
    SharedCaptions shared;
};

static void apply(const QString& appFolder, const Settings& settings, Run& run) {
    const TextLookup text(appFolder, settings);
    ApplyLanguageCaptions(text, run.targets, run.shared);
}

class tst_Captions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void noPackGivesTheDefaults() {
        TempAppFolder app;
        Settings settings;
        Run run;
        apply(app.path(), settings, run);
        QCOMPARE(run.targets.captions, expectedCaptions(defaultOf));
        QCOMPARE(run.shared.okCaption, u"&OK"_s);
        QCOMPARE(run.shared.cancelCaption, u"&Cancel"_s);
        QCOMPARE(run.targets.captions.at(25),
                 (Caption{CaptionWindow::Main, u"quickPath"_s, u"Snapshots Path"_s}));
    }

    void everyStepUsesItsOwnKey() {
        // A pack whose every text names its key shows which key each caption took.
        QByteArray pack = "[Framora Language Pack]\r\n";
        for (const LanguageKey& entry : languageKeys)
            pack += QByteArray(entry.key) + "=<" + entry.key + ">\r\n";
        TempAppFolder app;
        app.writePack(u"Keys.ini"_s, pack);
        Settings settings;
        settings.languageFile = u"Keys.ini"_s;
        Run run;
        apply(app.path(), settings, run);
        const auto keyText = [](const char* key) { return u"<%1>"_s.arg(QLatin1String(key)); };
        QCOMPARE(run.targets.captions, expectedCaptions(keyText));
        QCOMPARE(run.shared.okCaption, u"<03>"_s);
        QCOMPARE(run.shared.cancelCaption, u"<04>"_s);
    }

    void quickPathDropsTheLastCharacter_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("frame");
        QTest::newRow("translated")
            << QByteArray("Speicherort:") << u"Speicherort:"_s << u"Speicherort"_s;
        QTest::newRow("empty stays empty") << QByteArray("") << QString() << QString();
        QTest::newRow("single character") << QByteArray(":") << u":"_s << QString();
        QTest::newRow("ends in a character outside the BMP")
            << QByteArray("Pfad \xF0\x9F\x93\x81") << u"Pfad \U0001F4C1"_s << u"Pfad "_s;
    }

    void quickPathDropsTheLastCharacter() {
        QFETCH(QByteArray, value);
        QFETCH(QString, label);
        QFETCH(QString, frame);
        TempAppFolder app;
        app.writePack(u"Test.ini"_s, "[Framora Language Pack]\r\n75=" + value + "\r\n");
        Settings settings;
        settings.languageFile = u"Test.ini"_s;
        Run run;
        apply(app.path(), settings, run);
        const Caption labelCaption{CaptionWindow::Options, u"snapshotsPathLabel"_s, label};
        const Caption frameCaption{CaptionWindow::Main, u"quickPath"_s, frame};
        QVERIFY(run.targets.captions.contains(labelCaption));
        QVERIFY(run.targets.captions.contains(frameCaption));
    }

    void packTranslatingOnlyOk() {
        TempAppFolder app;
        app.writePack(u"Ok.ini"_s, "[Framora Language Pack]\r\n03=&Jawohl\r\n");
        Settings settings;
        settings.languageFile = u"Ok.ini"_s;
        Run run;
        apply(app.path(), settings, run);
        QCOMPARE(run.shared.okCaption, u"&Jawohl"_s);
        QCOMPARE(run.shared.cancelCaption, u"&Cancel"_s);
        const auto textOf = [](const char* key) {
            return qstrcmp(key, "03") == 0 ? u"&Jawohl"_s : defaultOf(key);
        };
        QCOMPARE(run.targets.captions, expectedCaptions(textOf));
    }

    void reapplyingShowsTheNewLanguage() {
        TempAppFolder app;
        app.writePack(u"German.ini"_s,
                      "[Framora Language Pack]\r\n03=&Gut\r\n10=&Datei\r\n75=Speicherort:\r\n");
        Settings settings;
        Run run;
        apply(app.path(), settings, run);
        QCOMPARE(run.shared.okCaption, u"&OK"_s);

        settings.languageFile = u"German.ini"_s;
        Run again;
        again.shared = run.shared;
        apply(app.path(), settings, again);
        QCOMPARE(again.shared.okCaption, u"&Gut"_s);
        QCOMPARE(again.shared.cancelCaption, u"&Cancel"_s);
        QCOMPARE(again.targets.captions.size(), run.targets.captions.size());
        QVERIFY(again.targets.captions.contains(
            Caption{CaptionWindow::Main, u"fileMenu"_s, u"&Datei"_s}));
        QVERIFY(again.targets.captions.contains(
            Caption{CaptionWindow::Main, u"quickPath"_s, u"Speicherort"_s}));
        QVERIFY(
            again.targets.captions.contains(Caption{CaptionWindow::About, u"cmdOK"_s, u"&Gut"_s}));
    }
};

QTEST_GUILESS_MAIN(tst_Captions)
#include "tst_captions.moc"
