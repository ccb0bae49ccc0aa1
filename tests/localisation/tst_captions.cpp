#include "KeyTable.h"
#include "TempAppFolder.h"

#include "localisation/CaptionApplication.h"
#include "localisation/TextLookup.h"
#include "settings/Settings.h"

#include <QTest>
#include <functional>

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

using TextOf = std::function<QString(const char*)>;
Q_DECLARE_METATYPE(TextOf)

struct Applied {
    QList<Caption> captions;
    SharedCaptions shared;
};

// The captions applied with Lang/Test.ini holding body after its section line; with no
// pack at all when body is null.
static Applied applyPack(const QByteArray& body) {
    TempAppFolder app;
    Settings settings;
    if (!body.isNull()) {
        app.writePack(u"Test.ini"_s, "[Framora Language Pack]\r\n" + body);
        settings.languageFile = u"Test.ini"_s;
    }
    RecordingTargets targets;
    Applied applied;
    ApplyLanguageCaptions(TextLookup(app.path(), settings), targets, applied.shared);
    applied.captions = targets.captions;
    return applied;
}

class tst_Captions : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every caption in its order from its step's key; OK and Cancel kept for later dialogs.
    void captions_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<TextOf>("textOf");
        // A pack whose every text names its key shows which key each caption took.
        QByteArray everyKey;
        for (const LanguageKey& entry : languageKeys)
            everyKey += QByteArray(entry.key) + "=<" + entry.key + ">\r\n";
        const auto only = [](const char* key, const QString& text) {
            return TextOf(
                [=](const char* k) { return qstrcmp(k, key) == 0 ? text : defaultOf(k); });
        };
        QTest::newRow("no pack: the defaults") << QByteArray() << TextOf(defaultOf);
        QTest::newRow("every key names itself")
            << everyKey
            << TextOf([](const char* key) { return u"<%1>"_s.arg(QLatin1String(key)); });
        QTest::newRow("only 03 translated")
            << QByteArray("03=&Jawohl\r\n") << only("03", u"&Jawohl"_s);
        QTest::newRow("75 empty: label and frame empty")
            << QByteArray("75=\r\n") << only("75", QString());
    }

    void captions() {
        QFETCH(QByteArray, body);
        QFETCH(TextOf, textOf);
        QList<Caption> expected;
        for (const Step& step : steps) {
            QString text = textOf(step.key);
            if (QLatin1String(step.objectName) == "quickPath"_L1)
                text.chop(1); // the frame is the label less its last character
            expected.append({step.window, QString::fromLatin1(step.objectName), text});
        }
        const Applied applied = applyPack(body);
        QCOMPARE(applied.captions, expected);
        QCOMPARE(applied.shared.okCaption, textOf("03"));
        QCOMPARE(applied.shared.cancelCaption, textOf("04"));
    }

    void quickPathDropsTheLastCharacter_data() {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("frame");
        QTest::newRow("translated") << QByteArray("Speicherort:") << u"Speicherort"_s;
        QTest::newRow("single character") << QByteArray(":") << QString();
        QTest::newRow("ends in a character outside the BMP")
            << QByteArray("Pfad \xF0\x9F\x93\x81") << u"Pfad "_s;
    }

    void quickPathDropsTheLastCharacter() {
        QFETCH(QByteArray, value);
        QFETCH(QString, frame);
        const Applied applied = applyPack("75=" + value + "\r\n");
        QVERIFY(applied.captions.contains(Caption{CaptionWindow::Main, u"quickPath"_s, frame}));
    }
};

QTEST_GUILESS_MAIN(tst_Captions)
#include "tst_captions.moc"
