// Config.cfg and the Options dialog that edits it.
#include "localisation/TextLookup.h"
#include "settings/ConfigFile.h"
#include "settings/OptionsDialog.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "support/FakePlatform.h"
#include "support/TempAppFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <cstdint>
#include <memory>

using namespace Qt::Literals::StringLiterals;

// Settings that differ from the defaults in every field, the numbers at their limits.
static const Settings unusual{255,       u"/jö/a, \"b\""_s, u"a,b"_s,  1,
                              INT32_MIN, INT16_MIN,         INT16_MAX, u"Ñ.ini"_s};

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
        platform_ = std::make_unique<FakePlatform>(app_->path());
        text_ = std::make_unique<TextLookup>(app_->path(), settings_.languageFile);
        dialog_ = std::make_unique<OptionsDialog>(settings_, *text_, *platform_, configPath_);
        dialog_->Form_Load();
        dialog_->show();
    }

    void cleanup() { dialog_.reset(); }

    // Numbers in the print form " 5000 ", texts bare in UTF-8; every field comes back and
    // nothing but the file is left behind. A text with a line break would shift every
    // later line: its save is refused and the old file stays whole.
    void roundTrip() {
        QVERIFY(SaveConfiguration(configPath_, unusual));
        Settings broken = unusual;
        broken.filePrefix = u"two\rlines"_s;
        QVERIFY(!SaveConfiguration(configPath_, broken));
        QCOMPARE(app_->readFile(u"Config.cfg"_s),
                 QByteArray(" 255 \r\n/j\xC3\xB6/a, \"b\"\r\na,b\r\n 1 \r\n-2147483648 \r\n"
                            "-32768 \r\n 32767 \r\n\xC3\x91.ini\r\n"));
        Settings read;
        QVERIFY(LoadConfiguration(configPath_, read));
        QVERIFY(read == unusual);
        QCOMPARE(QDir(app_->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"Config.cfg"_s});
        // A new file is readable by all, as files are; a save keeps the mode it had.
        QCOMPARE(QFileInfo(configPath_).permissions() & 0x0777, QFileDevice::Permissions(0x0644));
        QVERIFY(
            QFile::setPermissions(configPath_, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(SaveConfiguration(configPath_, unusual));
        QCOMPARE(QFileInfo(configPath_).permissions() & 0x0777, QFileDevice::Permissions(0x0600));
    }

    void load_data() {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<Settings>("expected");  // unusual: refused, nothing changed
        const QByteArray good = "7\r\n/pics\r\nIMG_\r\n8\r\n5000\r\n9\r\n1\r\nEnglish.ini\r\n";
        const Settings read{7, u"/pics"_s, u"IMG_"_s, 8, 5000, 9, 1, u"English.ini"_s};
        QTest::newRow("missing") << QByteArray() << unusual;
        QTest::newRow("seven lines") << good.first(good.lastIndexOf("English.ini")) << unusual;
        QTest::newRow("300 for a byte") << QByteArray(good).replace("7\r", "300\r") << unusual;
        QTest::newRow("not a number") << QByteArray(good).replace("5000", "5000.5") << unusual;
        QTest::newRow("beyond int16") << QByteArray(good).replace("9\r", "32768\r") << unusual;
        QTest::newRow("a lone CR inside a line")
            << QByteArray(good).replace("/pi", "/p\ri") << unusual;
        QTest::newRow("plus, zeros, blanks, LF only, no last line end")
            << QByteArray("+7\n\t/pics \nIMG_\n8\n +0000000000005000\t\n9\n1\nEnglish.ini") << read;
        QTest::newRow("Windows-1252, negative")
            << QByteArray(good).replace("/pics", "C:\\M\xfcller \x80").replace("5000", "-7")
            << Settings{7, u"C:\\Müller €"_s, u"IMG_"_s, 8, -7, 9, 1, u"English.ini"_s};
    }

    void load() {
        QFETCH(QByteArray, content);
        QFETCH(Settings, expected);
        QFile file(configPath_);
        QVERIFY(content.isNull() || (file.open(QIODevice::WriteOnly) && file.write(content) > 0));
        file.close();
        Settings settings = unusual;
        QCOMPARE(LoadConfiguration(configPath_, settings), !(expected == unusual));
        QVERIFY(settings == expected);
    }

    // A file that cannot be used is replaced by the defaults. Where nothing can be saved or
    // read (a folder in place of the file) the program runs on with the defaults.
    void recreate() {
        Settings settings = unusual;
        QVERIFY(RecreateConfiguration(configPath_, settings));
        QVERIFY(settings == Settings{});
        QCOMPARE(app_->readFile(u"Config.cfg"_s),
                 "0\r\n" + defaultSnapshotFolder().toUtf8() +
                     "\r\nIMG_\r\n0\r\n5000\r\n0\r\n1\r\nEnglish.ini\r\n");
        const QString folder = app_->path() + u"/Lang"_s;
        QVERIFY(!SaveConfiguration(folder, unusual));
        settings = unusual;
        QVERIFY(!LoadConfiguration(folder, settings));
        QVERIFY(!RecreateConfiguration(folder, settings));
        QVERIFY(settings == Settings{});
        // A link in the file's place, dangling or not, is replaced; nothing is written
        // where it points.
        const QString elsewhere = app_->path() + u"/elsewhere.txt"_s;
        for (bool dangling : {true, false}) {
            QFile::remove(configPath_);
            if (!dangling)
                QVERIFY(app_->writeFile(u"elsewhere.txt"_s, "someone's file"));
            QVERIFY(QFile::link(elsewhere, configPath_));
            QVERIFY(RecreateConfiguration(configPath_, settings));
            QVERIFY(!QFileInfo(configPath_).isSymLink());
            QCOMPARE(QFile::exists(elsewhere), !dangling);
        }
        QCOMPARE(app_->readFile(u"elsewhere.txt"_s), QByteArray("someone's file"));
    }

    // A new user gets the pack of the system's language in the defaults; a user with a
    // Config.cfg keeps theirs, and a damaged one beside the executable gets plain defaults.
    void startPack() {
        const QString home = app_->path() + u"/home"_s;
        Settings settings = unusual;
        (void)StartConfiguration({home, true}, settings, u"German.ini"_s);
        QCOMPARE(settings.languageFile, u"German.ini"_s);
        QVERIFY(app_->readFile(u"home/Config.cfg"_s).endsWith("\r\n1\r\nGerman.ini\r\n"));
        settings.languageFile = u"Spanish.ini"_s;
        QVERIFY(SaveConfiguration(home + u"/Config.cfg"_s, settings));
        (void)StartConfiguration({home, true}, settings, u"German.ini"_s);
        QCOMPARE(settings.languageFile, u"Spanish.ini"_s);
        QVERIFY(app_->writeFile(u"Config.cfg"_s, "damaged"));
        (void)StartConfiguration({app_->path(), false}, settings, u"German.ini"_s);
        QCOMPARE(settings.languageFile, u"English.ini"_s);
        // A settings folder that cannot be made is reported with its own reason, not with
        // the missing file's that follows from it.
        const ConfigurationStart blocked =
            StartConfiguration({app_->path() + u"/Config.cfg/framora"_s, true}, settings, {});
        QVERIFY2(blocked.error.contains(u"cannot be made"_s) &&
                     blocked.error.contains(qt_error_string(ENOTDIR)),
                 qPrintable(blocked.error));
    }

    // Beside the executable while a file can be made there and the installation does not
    // mark the folder as the system's; otherwise in the user's folder.
    void location() {
        const QString user = app_->path() + u"/user"_s;
        QCOMPARE(locateSettings(app_->path(), user).folder, app_->path());
        QVERIFY(locateSettings(configPath_ + u"/not-a-folder"_s, user).perUser);
        QFile marker(app_->path() + u"/"_s + kPerUserMarker);
        QVERIFY(marker.open(QIODevice::WriteOnly));
        const SettingsLocation installed = locateSettings(app_->path(), user);
        QVERIFY(installed.perUser);
        QCOMPARE(installed.configFile(), user + u"/Config.cfg"_s);
        QVERIFY(QDir(app_->path()).entryList({u".framora-probe*"_s}, QDir::Hidden).isEmpty());
    }

    void okRefused_data() {
        QTest::addColumn<QString>("field"); // the one field changed from valid values
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message"); // "<title>: <text>"
        // Every title comes from the pack (which calls errors "Failure" here).
        QTest::newRow("60000.4")
            << u"milliseconds"_s << u"60000.4"_s
            << u"Failure: Please enter a valid numeric time ranging from 1000 - 60000."_s;
        QTest::newRow("five letters")
            << u"snapshotPrefix"_s << u"ABCDE"_s
            << u"Failure: Prefix should not be greater than 4 characters."_s;
        QTest::newRow("leading blank") << u"snapshotPrefix"_s << u" ab"_s
                                       << u"Failure: Please enter a valid snapshot prefix."_s;
        QTest::newRow("relative folder")
            << u"snapshotPath"_s << u"pics"_s
            << u"Failure: The snapshots path must be a full path, such as "_s +
                   QDir::toNativeSeparators(defaultSnapshotFolder());
        QTest::newRow("folder ending in a blank (as Browse may pick)")
            << u"snapshotPath"_s << u"/elsewhere/pics "_s
            << u"Failure: The snapshots path cannot begin or end with a blank: \"/elsewhere/pics \""_s;
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
        QTEST(platform_->messages[0].title + u": "_s + platform_->messages[0].text, "message");
        QVERIFY(dialog_->isVisible());
        QVERIFY(settings_ == before);
        QVERIFY(!QFile::exists(configPath_));
    }

    void okStoresCancelKeeps_data() {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("stored");
        QTest::newRow("lower bound") << u"1000"_s << 1000;
        QTest::newRow("upper bound") << u"60000"_s << 60000;
        QTest::newRow("half to even") << u"  2500.5 "_s << 2500;
    }

    // OK stores every field (a prefix of characters beyond the
    // basic plane) and rewrites Config.cfg, asking nothing. Defaults then changes the
    // controls only, and Cancel keeps Settings and Config.cfg.
    void okStoresCancelKeeps() {
        QFETCH(QString, interval);
        QFETCH(int, stored);
        dialog_->findChild<QComboBox*>(u"availableLanguages"_s)->setCurrentText(u"English"_s);
        dialog_->findChild<QComboBox*>(u"imageFormats"_s)->setCurrentIndex(1);
        edit(u"snapshotPath"_s)->setText(u"/elsewhere/pics"_s);
        edit(u"snapshotPrefix"_s)->setText(u"ab\U0001F600c"_s);
        edit(u"milliseconds"_s)->setText(interval);
        dialog_->OKButton_Click();
        QVERIFY(platform_->messages.isEmpty());
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
        const Settings expected{1, u"/elsewhere/pics"_s, u"ab\U0001F600c"_s, 0, stored, 0,
                                1, u"English.ini"_s};
        QVERIFY(settings_ == expected);
        dialog_->show();
        dialog_->findChild<QPushButton*>(u"Command1"_s)->click();
        QCOMPARE(edit(u"snapshotPath"_s)->text(), defaultSnapshotFolder());
        dialog_->findChild<QPushButton*>(u"CancelButton"_s)->click();
        QCOMPARE(dialog_->result(), int(QDialog::Rejected));
        QVERIFY(settings_ == expected);
        Settings saved;
        QVERIFY(LoadConfiguration(configPath_, saved));
        QVERIFY(saved == expected);
    }

    // With the current pack gone the list shows no choice; OK keeps the stored name rather
    // than storing ".ini".
    void okKeepsAMissingPack() {
        QVERIFY(QFile::remove(app_->path() + u"/Lang/Deutsch.ini"_s));
        dialog_->Form_Load();
        dialog_->OKButton_Click();
        QCOMPARE(settings_.languageFile, u"Deutsch.ini"_s);
    }

private:
    QLineEdit* edit(const QString& name) { return dialog_->findChild<QLineEdit*>(name); }

    std::unique_ptr<TempAppFolder> app_;
    QString configPath_;
    Settings settings_;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<TextLookup> text_;
    std::unique_ptr<OptionsDialog> dialog_;
};

QTEST_MAIN(TstSettings)
#include "tst_settings.moc"
