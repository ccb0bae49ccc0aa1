// Config.cfg and the Options dialog that edits it.
#include "localisation/TextLookup.h"
#include "settings/ConfigFile.h"
#include "settings/OptionsDialog.h"
#include "settings/Settings.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>
#include <cstdint>
#include <memory>

using namespace Qt::Literals::StringLiterals;

// Settings that differ from the defaults in every field, the numbers at their limits.
static const Settings unusual{255,       u"/jö/a, \"b\""_s, u"a,b"_s,  1,
                              INT32_MIN, INT16_MIN,         INT16_MAX, u"Ñ.ini"_s};

static bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class TstSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // An application folder whose current pack renames the error title, so that a title
    // looked up in the pack and the fixed "Error" can be told apart.
    void init() {
        app_ = std::make_unique<TempAppFolder>();
        app_->writePack(u"English.ini"_s, "[Framora Language Pack]\r\n");
        app_->writePack(u"Deutsch.ini"_s, "[Framora Language Pack]\r\n010=Failure\r\n");
        configPath_ = app_->path() + u"/Config.cfg"_s;
        settings_ = Settings{};
        settings_.languageFile = u"Deutsch.ini"_s;
        videoShown_ = false;
        platform_ = std::make_unique<FakePlatform>(app_->path());
        text_ = std::make_unique<TextLookup>(app_->path(), settings_.languageFile);
        dialog_ = std::make_unique<OptionsDialog>(settings_, *text_, *platform_, configPath_,
                                                  [this] { return videoShown_; });
        dialog_->Form_Load();
        dialog_->show();
    }

    void cleanup() { dialog_.reset(); }

    // Numbers in the print form " 5000 ", texts bare in UTF-8; every field comes back and
    // nothing but the file is left behind.
    void roundTrip() {
        QString error;
        QVERIFY2(SaveConfiguration(configPath_, unusual, &error), qPrintable(error));
        QCOMPARE(app_->readFile(u"Config.cfg"_s),
                 QByteArray(" 255 \r\n/j\xC3\xB6/a, \"b\"\r\na,b\r\n 1 \r\n-2147483648 \r\n"
                            "-32768 \r\n 32767 \r\n\xC3\x91.ini\r\n"));
        Settings read;
        QVERIFY(LoadConfiguration(configPath_, read));
        QVERIFY(read == unusual);
        QCOMPARE(QDir(app_->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Config.cfg"_s});
    }

    void recovery_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        const QByteArray good = "7\r\n/pics\r\nIMG_\r\n8\r\n5000\r\n9\r\n1\r\nEnglish.ini\r\n";
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("seven lines") << good.first(good.lastIndexOf("English.ini"));
        QTest::newRow("300 for a byte") << QByteArray(good).replace("7\r", "300\r");
        QTest::newRow("-1 for a byte") << QByteArray(good).replace("8\r", "-1\r");
        QTest::newRow("not a number") << QByteArray(good).replace("5000", "5000.5");
        QTest::newRow("beyond int32") << QByteArray(good).replace("5000", "2147483648");
        QTest::newRow("beyond int16") << QByteArray(good).replace("9\r", "32768\r");
    }

    // A file that cannot be used changes nothing when read and is replaced by the defaults.
    void recovery() {
        QFETCH(QByteArray, content);
        if (!content.isNull())
            QVERIFY(writeBytes(configPath_, content));
        Settings settings = unusual;
        QVERIFY(!LoadConfiguration(configPath_, settings));
        QVERIFY(settings == unusual);
        QVERIFY(RecreateConfiguration(configPath_, settings));
        QVERIFY(settings == Settings{});
        QCOMPARE(app_->readFile(u"Config.cfg"_s),
                 "0\r\n" + defaultSnapshotFolder().toUtf8() +
                     "\r\nIMG_\r\n0\r\n5000\r\n0\r\n1\r\nEnglish.ini\r\n");
    }

    void acceptedForms_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("interval");
        const QByteArray rest = "\r\nIMG_\r\n0\r\n", end = "\r\n0\r\n1\r\nEnglish.ini\r\n";
        QTest::newRow("plus, zeros, blanks")
            << "+0\r\n\t/pics " + rest + " +0000000000005000\t" + end << u"/pics"_s << 5000;
        QTest::newRow("LF only, no last line end")
            << QByteArray("0\n/pics\nIMG_\n0\n-7\n0\n1\nEnglish.ini") << u"/pics"_s << -7;
        QTest::newRow("Windows-1252")
            << "0\r\nC:\\M\xfcller \x80" + rest + "10" + end << u"C:\\Müller €"_s << 10;
        QTest::newRow("UTF-16 with BOM")
            << QByteArray(QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom)
                              .encode(QString::fromUtf8("0\r\n/\xC3\xBC" + rest + "60000" + end)))
            << u"/ü"_s << 60000;
    }

    void acceptedForms() {
        QFETCH(QByteArray, content);
        QVERIFY(writeBytes(configPath_, content));
        Settings settings = unusual;
        QVERIFY(LoadConfiguration(configPath_, settings));
        QTEST(settings.snapshotFolder, "folder");
        QTEST(settings.timedInterval, "interval");
        QCOMPARE(settings.languageFile, u"English.ini"_s);
    }

    // A text with a line break would shift every later line; the old file stays whole.
    void failedSaveKeepsTheOldFile() {
        QVERIFY(SaveConfiguration(configPath_, unusual));
        const QByteArray before = app_->readFile(u"Config.cfg"_s);
        Settings broken = unusual;
        broken.filePrefix = u"two\rlines"_s;
        QVERIFY(!SaveConfiguration(configPath_, broken));
        QCOMPARE(app_->readFile(u"Config.cfg"_s), before);
    }

    void unwritablePlaces_data() {
        QTest::addColumn<QString>("relativePath");
        QTest::newRow("folder missing") << u"no/such/folder/Config.cfg"_s;
        QTest::newRow("a folder in place of the file") << u"Lang"_s;
    }

    // Nothing can be saved or read there; the program runs on with the defaults.
    void unwritablePlaces() {
        QFETCH(QString, relativePath);
        const QString path = app_->path() + u'/' + relativePath;
        QString error;
        QVERIFY(!SaveConfiguration(path, unusual, &error));
        QVERIFY(!error.isEmpty());
        Settings settings = unusual;
        QVERIFY(!LoadConfiguration(path, settings));
        QVERIFY(!RecreateConfiguration(path, settings));
        QVERIFY(settings == Settings{});
    }

    void okRefused_data() {
        QTest::addColumn<QString>("field"); // the one field changed from valid values
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message"); // "<title>: <text>"
        // The interval's title comes from the pack, the others' are always "Error".
        const QString time =
            u"Failure: Please enter a valid numeric time ranging from 1000 - 60000."_s;
        const QString prefix = u"Error: Please enter a valid snapshot prefix."_s;
        const QString notFull = u"Error: The snapshots path must be a full path, such as "_s +
                                QDir::toNativeSeparators(defaultSnapshotFolder());
        QTest::newRow("999") << u"milliseconds"_s << u"999"_s << time;
        QTest::newRow("60000.4") << u"milliseconds"_s << u"60000.4"_s << time;
        QTest::newRow("five letters")
            << u"snapshotPrefix"_s << u"ABCDE"_s
            << u"Error: Prefix should not be greater than 4 characters."_s;
        QTest::newRow("separator") << u"snapshotPrefix"_s << u"a/b"_s << prefix;
        QTest::newRow("leading blank") << u"snapshotPrefix"_s << u" ab"_s << prefix;
        QTest::newRow("relative folder") << u"snapshotPath"_s << u"pics"_s << notFull;
    }

    // Each refusal shows its message and leaves the dialog open, Settings and Config.cfg
    // untouched.
    void okRefused() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        const Settings before = settings_;
        edit(field)->setText(value);
        dialog_->OKButton_Click();
        QCOMPARE(platform_->messages.size(), 1);
        const FakePlatform::Message& shown = platform_->messages[0];
        QTEST(shown.title + u": "_s + shown.text, "message");
        QVERIFY(dialog_->isVisible());
        QVERIFY(settings_ == before);
        QVERIFY(!QFile::exists(configPath_));
    }

    void okStores_data() {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<bool>("videoShown");
        QTest::addColumn<MessageAnswer>("answer"); // to the reload question
        QTest::addColumn<QString>("tag");
        QTest::newRow("lower bound, no video: no question")
            << u"1000"_s << 1000 << u"IMG_"_s << false << MessageAnswer::Yes << QString();
        QTest::newRow("upper bound, reload")
            << u"60000"_s << 60000 << u"IMG_"_s << true << MessageAnswer::Yes << u"Reload"_s;
        QTest::newRow("blanks, half to even, characters beyond the basic plane, no reload")
            << u"  2500.5 "_s << 2500 << u"ab\U0001F600c"_s << true << MessageAnswer::No
            << QString();
    }

    // OK stores every field (the folder without blanks), rewrites Config.cfg and only then,
    // with a video on screen, asks whether to reload it.
    void okStores() {
        QFETCH(QString, interval);
        QFETCH(int, stored);
        QFETCH(QString, prefix);
        QFETCH(bool, videoShown);
        QFETCH(MessageAnswer, answer);
        videoShown_ = videoShown;
        platform_->answers = {answer};
        platform_->onMessage = [this](const FakePlatform::Message& shown) {
            QCOMPARE(shown.buttons, MessageButtons::YesNo);
            QVERIFY(QFile::exists(configPath_));
        };
        dialog_->findChild<QComboBox*>(u"availableLanguages"_s)->setCurrentText(u"English"_s);
        dialog_->findChild<QComboBox*>(u"imageFormats"_s)->setCurrentIndex(1);
        edit(u"snapshotPath"_s)->setText(u" /elsewhere/pics  "_s);
        edit(u"snapshotPrefix"_s)->setText(prefix);
        edit(u"milliseconds"_s)->setText(interval);
        dialog_->OKButton_Click();
        QCOMPARE(platform_->messages.size(), videoShown ? 1 : 0);
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
        QTEST(dialog_->Tag, "tag");
        const Settings expected{1, u"/elsewhere/pics"_s, prefix, 0, stored, 0, 1, u"English.ini"_s};
        QVERIFY(settings_ == expected);
        Settings saved;
        QVERIFY(LoadConfiguration(configPath_, saved));
        QVERIFY(saved == expected);
    }

    // Defaults changes the controls only; Cancel then keeps Settings and Config.cfg and
    // asks for no reload, even after an earlier OK that did.
    void defaultsThenCancel() {
        videoShown_ = true;
        platform_->answers = {MessageAnswer::Yes};
        dialog_->OKButton_Click();
        QCOMPARE(dialog_->Tag, u"Reload"_s);
        const Settings before = settings_;
        const QByteArray fileBefore = app_->readFile(u"Config.cfg"_s);
        dialog_->show();
        dialog_->findChild<QPushButton*>(u"Command1"_s)->click();
        QCOMPARE(edit(u"snapshotPath"_s)->text(), defaultSnapshotFolder());
        dialog_->findChild<QPushButton*>(u"CancelButton"_s)->click();
        QCOMPARE(dialog_->result(), int(QDialog::Rejected));
        QVERIFY(dialog_->Tag.isEmpty());
        QVERIFY(settings_ == before);
        QCOMPARE(app_->readFile(u"Config.cfg"_s), fileBefore);
    }

private:
    QLineEdit* edit(const QString& name) { return dialog_->findChild<QLineEdit*>(name); }

    std::unique_ptr<TempAppFolder> app_;
    QString configPath_;
    Settings settings_;
    bool videoShown_ = false;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<TextLookup> text_;
    std::unique_ptr<OptionsDialog> dialog_;
};

QTEST_MAIN(TstSettings)
#include "tst_settings.moc"
