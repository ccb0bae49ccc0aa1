#include "localisation/TextLookup.h"
#include "platform/Twips.h"
#include "settings/ConfigFile.h"
#include "settings/OptionsDialog.h"
#include "settings/Settings.h"
#include "support/FakePlatform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestOptionsDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Three packs and what FillLanguageList must skip (a hidden pack, a text file, a folder,
    // a pack whose ".INI" would not be found as ".ini");
    // English's flag is red, Deutsch's yellow, Espanol's is broken. The current pack renames
    // the error title, so that a looked-up title and the fixed "Error" can be told apart.
    void init() {
        appDir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(appDir_->path()).mkpath(u"Lang/Folder.ini"_s));
        const QByteArray header = "[Framora Language Pack]\r\n";
        for (const QString& name :
             {u"English.ini"_s, u"Espanol.ini"_s, u".Hidden.ini"_s, u"a.txt"_s, u"Upper.INI"_s})
            writeLangFile(name, header);
        writeLangFile(u"Deutsch.ini"_s, header + "010=Failure\r\n");
        writeLangFile(u"Espanol.bmp"_s, "not a bitmap");
        for (const auto& [name, colour] :
             {std::pair{"English.bmp", Qt::red}, {"Deutsch.bmp", Qt::yellow}}) {
            QImage flag(16, 16, QImage::Format_RGB32);
            flag.fill(colour);
            QVERIFY(flag.save(appDir_->filePath(u"Lang/"_s + QLatin1String(name)), "BMP"));
        }
        configPath_ = appDir_->filePath(u"Config.cfg"_s);

        settings_ = Settings{};
        settings_.snapshotFolder = u"/shots"_s;
        settings_.filePrefix = u"ABC"_s;
        settings_.skipTimedPrompt = 1;
        settings_.timedInterval = 7000;
        settings_.showPreview = 1;
        settings_.disableScreenSaver = 0;
        settings_.languageFile = u"Deutsch.ini"_s;
        videoShown_ = false;
        platform_ = std::make_unique<FakePlatform>(appDir_->path());
        text_ = std::make_unique<TextLookup>(appDir_->path(), settings_);
        makeDialog();
    }

    void cleanup() {
        dialog_.reset();
        text_.reset();
        platform_.reset();
        appDir_.reset();
    }

    // Every captioned control takes its text under its name; the empty name is the window.
    void setCaption() {
        const QStringList names = {
            u"languageFrame"_s,     u"languageLabel"_s,      u"snapshotsFrame"_s,
            u"imageFormatLabel"_s,  u"snapshotsPathLabel"_s, u"snapshotsBrowse"_s,
            u"prefixLabel"_s,       u"inputBoxCheck"_s,      u"valueTitle"_s,
            u"millisecondsLabel"_s, u"previewSnapshot"_s,    u"miscellaneousFrame"_s,
            u"screenSaver"_s,       u"Command1"_s,           u"OKButton"_s,
            u"CancelButton"_s};
        for (const QString& name : names + QStringList{QString(), u"noSuchControl"_s})
            dialog_->setCaption(name, u"<"_s + name + u">"_s);
        for (const QString& name : names) {
            QWidget* control = dialog_->findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            QString shown;
            if (auto* frame = qobject_cast<QGroupBox*>(control))
                shown = frame->title();
            else if (auto* button = qobject_cast<QAbstractButton*>(control))
                shown = button->text();
            else if (auto* label = qobject_cast<QLabel*>(control))
                shown = label->text();
            QCOMPARE(shown, u"<"_s + name + u">"_s);
        }
        QCOMPARE(dialog_->windowTitle(), u"<>"_s);
        const float tpp = dialogTwipsPerPixel(*dialog_);
        QCOMPARE(dialog_->size(), twipsToPixels(QRectF(0, 0, 6030, 5310), tpp).size());
    }

    void loadShowsSettings() {
        auto* languages = child<QComboBox>("availableLanguages");
        QStringList listed;
        for (int i = 0; i < languages->count(); ++i)
            listed << languages->itemText(i);
        QCOMPARE(listed, QStringList({"Deutsch", "English", "Espanol"}));
        QCOMPARE(languages->currentText(), u"Deutsch"_s);
        QCOMPARE(flagColour(), QColor(Qt::yellow));
        QCOMPARE(child<QComboBox>("imageFormats")->currentText(), u"PNG"_s);
        QCOMPARE(text("snapshotPath"), u"/shots"_s);
        QCOMPARE(text("snapshotPrefix"), u"ABC"_s);
        QVERIFY(child<QCheckBox>("inputBoxCheck")->isChecked());
        QCOMPARE(text("milliseconds"), u"7000"_s);
        QVERIFY(child<QLineEdit>("milliseconds")->isEnabled());
        QVERIFY(child<QCheckBox>("previewSnapshot")->isChecked());
        QVERIFY(!child<QCheckBox>("screenSaver")->isChecked());
        QVERIFY(dialog_->Tag.isEmpty());
    }

    void okRefused_data() {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("message"); // "<title>: <text>"
        QTest::addColumn<QString>("folder");
        const auto row = [](const char* name, const char* interval, const char* prefix,
                            const QString& message, const char* folder = "/shots") {
            QTest::newRow(name) << QString::fromUtf8(interval) << QString::fromUtf8(prefix)
                                << message << QString::fromUtf8(folder);
        };
        // The interval's title comes from the pack, the prefix's is always "Error".
        const QString time =
            u"Failure: Please enter a valid numeric time ranging from 1000 - 60000."_s;
        const QString length = u"Error: Prefix should not be greater than 4 characters."_s;
        const QString prefix = u"Error: Please enter a valid snapshot prefix."_s;
        row("999", "999", "IMG_", time);
        row("60000.4", "60000.4", "IMG_", time);
        row("60001", "60001", "IMG_", time);
        row("letters after digits", "12ab", "IMG_", time);
        row("blank inside", "2 500", "IMG_", time);
        row("empty interval", "", "IMG_", time);
        row("interval checked first", "0", "ABCDEF", time);
        row("five letters", "5000", "ABCDE", length);
        row("empty prefix", "5000", "", prefix);
        row("asterisk", "5000", "*", prefix);
        row("separator", "5000", "a/b", prefix);
        row("backslash", "5000", "a\\b", prefix);
        row("parent folder", "5000", "..", prefix);
        row("trailing dot", "5000", "a.", prefix);
        row("trailing blank", "5000", "ab ", prefix);
        row("control character", "5000", "a\tb", prefix);
        row("colon", "5000", "a:b", prefix);
        row("leading blank", "5000", " ab", prefix);
        const QString full = u"Error: The snapshots path must be a full path, such as "_s +
                             QDir::toNativeSeparators(defaultSnapshotFolder());
        row("no folder", "5000", "IMG_", full, "");
        row("folder not a full path", "5000", "IMG_", full, "pics");
#ifndef Q_OS_WIN
        row("folder from Windows", "5000", "IMG_", full, "C:\\");
#endif
    }

    void okRefused() {
        QFETCH(QString, interval);
        QFETCH(QString, prefix);
        QFETCH(QString, folder);
        setText("snapshotPath", folder);
        QFETCH(QString, message);
        const Settings before = settings_;
        setText("milliseconds", interval);
        setText("snapshotPrefix", prefix);
        child<QComboBox>("imageFormats")->setCurrentIndex(1);
        dialog_->OKButton_Click();

        QCOMPARE(platform_->messages.size(), 1);
        const FakePlatform::Message& shown = platform_->messages[0];
        QCOMPARE(shown.title + u": "_s + shown.text, message);
        QCOMPARE(shown.icon, MessageIcon::Critical);
        QCOMPARE(shown.buttons, MessageButtons::Ok);
        QVERIFY(dialog_->isVisible());
        QCOMPARE(settings_, before);
        QVERIFY(!QFile::exists(configPath_));
        QCOMPARE(text("milliseconds"), interval);
        QCOMPARE(text("snapshotPrefix"), prefix);
    }

    void okStores_data() {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("lower bound") << "1000" << 1000 << "IMG_";
        QTest::newRow("upper bound") << "60000" << 60000 << "IMG_";
        QTest::newRow("fraction") << "2500.4" << 2500 << "IMG_";
        QTest::newRow("half to even, down") << "2500.5" << 2500 << "IMG_";
        QTest::newRow("half to even, up") << "2501.5" << 2502 << "IMG_";
        QTest::newRow("blanks around") << "  3000  " << 3000 << "IMG_";
        QTest::newRow("four characters, one beyond the basic plane")
            << "5000" << 5000 << u"ab\U0001F600c"_s;
    }

    void okStores() {
        QFETCH(QString, interval);
        QFETCH(int, stored);
        QFETCH(QString, prefix);
        child<QComboBox>("availableLanguages")->setCurrentIndex(1);
        child<QComboBox>("imageFormats")->setCurrentIndex(1);
        setText("snapshotPath", u" /elsewhere/pics  "_s); // stored without the blanks
        setText("snapshotPrefix", prefix);
        child<QCheckBox>("inputBoxCheck")->setChecked(false);
        setText("milliseconds", interval);
        child<QCheckBox>("previewSnapshot")->setChecked(false);
        child<QCheckBox>("screenSaver")->setChecked(true);
        dialog_->OKButton_Click();

        QVERIFY(platform_->messages.isEmpty());
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
        QVERIFY(dialog_->isHidden());
        QVERIFY(dialog_->Tag.isEmpty());
        Settings expected;
        expected.languageFile = u"English.ini"_s;
        expected.imageFormat = 1;
        expected.snapshotFolder = u"/elsewhere/pics"_s;
        expected.filePrefix = prefix;
        expected.skipTimedPrompt = 0;
        expected.timedInterval = stored;
        expected.showPreview = 0;
        expected.disableScreenSaver = 1;
        QCOMPARE(settings_, expected);
        QCOMPARE(configBytes(), " 1 \r\n/elsewhere/pics\r\n" + prefix.toUtf8() + "\r\n 0 \r\n " +
                                    QByteArray::number(stored) +
                                    " \r\n 0 \r\n 1 \r\nEnglish.ini\r\n");
    }

    void saveFailureReported() {
        configPath_ = appDir_->filePath(u"no such folder/Config.cfg"_s);
        makeDialog();
        setText("milliseconds", u"4000"_s);
        dialog_->OKButton_Click();

        QCOMPARE(platform_->messages.size(), 1);
        const FakePlatform::Message& shown = platform_->messages[0];
        QVERIFY2(shown.text.startsWith(u"Could not save the settings to "_s +
                                       QDir::toNativeSeparators(configPath_)),
                 qPrintable(shown.text));
        QCOMPARE(shown.title, u"Failure"_s);
        QCOMPARE(shown.icon, MessageIcon::Critical);
        // Kept for this run, and the dialog closes as after any OK.
        QCOMPARE(settings_.timedInterval, 4000);
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    }

    // The prefix is tried out as a file name without touching a file of that name.
    void prefixProbeLeavesWorkingFolderAlone() {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(appDir_->path()));
        QFile existing(appDir_->filePath(u"PIC_"_s));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("keep me");
        existing.close();

        setText("snapshotPrefix", u"PIC_"_s);
        dialog_->OKButton_Click();
        QVERIFY(QDir::setCurrent(previous));

        QCOMPARE(settings_.filePrefix, u"PIC_"_s);
        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray("keep me"));
    }

    // Defaults changes the controls only; Cancel then leaves Settings and Config.cfg alone.
    void defaultsThenCancel() {
        QVERIFY(SaveConfiguration(configPath_, settings_));
        const QByteArray fileBefore = configBytes();
        const Settings before = settings_;

        dialog_->Command1_Click();
        QCOMPARE(child<QComboBox>("imageFormats")->currentText(), u"JPG"_s);
        QCOMPARE(text("snapshotPath"), defaultSnapshotFolder());
        QCOMPARE(text("snapshotPrefix"), u"IMG_"_s);
        QVERIFY(!child<QCheckBox>("inputBoxCheck")->isChecked());
        QVERIFY(!child<QLineEdit>("milliseconds")->isEnabled());
        QCOMPARE(text("milliseconds"), u"5000"_s);
        QVERIFY(!child<QCheckBox>("previewSnapshot")->isChecked());
        QVERIFY(child<QCheckBox>("screenSaver")->isChecked());
        QCOMPARE(child<QComboBox>("availableLanguages")->currentText(), u"English"_s);
        QCOMPARE(flagColour(), QColor(Qt::red));
        QCOMPARE(settings_, before);

        dialog_->CancelButton_Click();
        QCOMPARE(dialog_->result(), int(QDialog::Rejected));
        QCOMPARE(settings_, before);
        QCOMPARE(configBytes(), fileBefore);
    }

    // The list matches the stored name exactly; with nothing selected OK stores ".ini", so
    // every text falls back to English.
    void languageInOtherCase() {
        settings_.languageFile = u"english.ini"_s;
        dialog_->Form_Load();
        QCOMPARE(child<QComboBox>("availableLanguages")->currentIndex(), -1);
        dialog_->OKButton_Click();
        QCOMPARE(settings_.languageFile, u".ini"_s);
    }

    void noLangFolder() {
        QVERIFY(QDir(appDir_->filePath(u"Lang"_s)).removeRecursively());
        makeDialog();
        QCOMPARE(child<QComboBox>("availableLanguages")->count(), 0);
        QVERIFY(child<QLabel>("Picture1")->pixmap().isNull());
        dialog_->OKButton_Click();
        QVERIFY(platform_->messages.isEmpty());
        QCOMPARE(settings_.languageFile, u".ini"_s);
    }

    void reloadQuestion_data() {
        QTest::addColumn<bool>("videoShown");
        QTest::addColumn<MessageAnswer>("answer");
        QTest::addColumn<QString>("tag"); // "-": no question asked
        QTest::newRow("no video") << false << MessageAnswer::Yes << "-";
        QTest::newRow("video, Yes") << true << MessageAnswer::Yes << "Reload";
        QTest::newRow("video, No") << true << MessageAnswer::No << "";
    }

    void reloadQuestion() {
        QFETCH(bool, videoShown);
        QFETCH(MessageAnswer, answer);
        QFETCH(QString, tag);
        videoShown_ = videoShown;
        platform_->answers = {answer};
        dialog_->OKButton_Click();
        const bool asked = tag != u"-"_s;
        QCOMPARE(platform_->messages.size(), asked ? 1 : 0);
        if (asked) {
            const FakePlatform::Message& m = platform_->messages[0];
            QCOMPARE(m.text,
                     u"Some changes need the video to be reloaded. Do you want to reload the "
                     "video?"_s);
            QCOMPARE(m.title, u"Warning"_s);
            QCOMPARE(m.icon, MessageIcon::Question);
            QCOMPARE(m.buttons, MessageButtons::YesNo);
        }
        QCOMPARE(dialog_->Tag, asked ? tag : QString());
        QVERIFY(QFile::exists(configPath_)); // saved before the question

        // Opening again empties the marker.
        dialog_->Form_Load();
        QVERIFY(dialog_->Tag.isEmpty());
    }

    void missingFlagKeepsPicture() {
        auto* languages = child<QComboBox>("availableLanguages");
        languages->setCurrentIndex(1); // English: red
        QCOMPARE(flagColour(), QColor(Qt::red));
        const qint64 shown = child<QLabel>("Picture1")->pixmap().cacheKey();
        languages->setCurrentIndex(2); // Espanol: the bitmap is broken
        QCOMPARE(child<QLabel>("Picture1")->pixmap().cacheKey(), shown);
        QVERIFY(QFile::remove(appDir_->filePath(u"Lang/Deutsch.bmp"_s)));
        languages->setCurrentIndex(0); // Deutsch: no bitmap any more
        QCOMPARE(child<QLabel>("Picture1")->pixmap().cacheKey(), shown);
        QVERIFY(platform_->messages.isEmpty());
    }

    void intervalFieldFollowsCheckBox() {
        auto* check = child<QCheckBox>("inputBoxCheck");
        const QList<QWidget*> followers = {child<QLineEdit>("milliseconds"),
                                           child<QLabel>("valueTitle"),
                                           child<QLabel>("millisecondsLabel")};
        for (const bool checked : {false, true}) {
            if (checked)
                QTest::mouseClick(check, Qt::LeftButton);
            else
                check->setChecked(false);
            for (QWidget* w : followers)
                QVERIFY2(w->isEnabled() == checked, qPrintable(w->objectName()));
        }
        // The interval is checked even while its field is disabled.
        check->setChecked(false);
        setText("milliseconds", u"10"_s);
        dialog_->OKButton_Click();
        QCOMPARE(platform_->messages.size(), 1);
    }

    void browse_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("shown");
        QTest::newRow("chosen") << "/new/folder"
                                << "/new/folder";
        QTest::newRow("cancelled") << ""
                                   << "/shots";
    }

    // The chosen folder goes into the box only; the dialog is disabled while the folder
    // dialog is up.
    void browse() {
        QFETCH(QString, answer);
        QFETCH(QString, shown);
        platform_->folderAnswer = answer;
        bool disabledWhileBrowsing = false;
        auto* path = child<QLineEdit>("snapshotPath");
        // The fake answers at once; look at the dialog when the answer arrives.
        connect(path, &QLineEdit::textChanged, this,
                [&] { disabledWhileBrowsing = !dialog_->isEnabled(); });
        QTest::mouseClick(child<QPushButton>("snapshotsBrowse"), Qt::LeftButton);
        path->disconnect(this);

        QCOMPARE(platform_->folderRequests.size(), 1);
        QCOMPARE(path->text(), shown);
        QVERIFY(dialog_->isEnabled());
        QCOMPARE(disabledWhileBrowsing, !answer.isEmpty());
        QCOMPARE(settings_.snapshotFolder, u"/shots"_s);
    }

    void waysToCancel_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close box") << "close";
    }

    // After an earlier OK that asked for a reload, a cancelled opening reloads nothing.
    void waysToCancel() {
        QFETCH(QString, how);
        videoShown_ = true;
        platform_->answers = {MessageAnswer::Yes};
        dialog_->OKButton_Click();
        QCOMPARE(dialog_->Tag, u"Reload"_s);
        const Settings before = settings_;
        const QByteArray fileBefore = configBytes();

        dialog_->show();
        setText("snapshotPrefix", u"NEW"_s);
        child<QComboBox>("imageFormats")->setCurrentIndex(1);
        if (how == u"button"_s)
            QTest::mouseClick(child<QPushButton>("CancelButton"), Qt::LeftButton);
        else if (how == u"esc"_s)
            QTest::keyClick(child<QLineEdit>("snapshotPrefix"), Qt::Key_Escape);
        else
            dialog_->close();

        QCOMPARE(dialog_->result(), int(QDialog::Rejected));
        QVERIFY(dialog_->Tag.isEmpty());
        QCOMPARE(settings_, before);
        QCOMPARE(configBytes(), fileBefore);
        QCOMPARE(platform_->messages.size(), 1);
    }

private:
    template <typename T> T* child(const char* name) {
        T* control = dialog_->findChild<T*>(QLatin1String(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }
    QString text(const char* name) {
        return child<QLineEdit>(name)->text();
    }
    void setText(const char* name, const QString& text) {
        child<QLineEdit>(name)->setText(text);
    }
    QColor flagColour() {
        return child<QLabel>("Picture1")->pixmap().toImage().pixelColor(0, 0);
    }

    void makeDialog() {
        dialog_ = std::make_unique<OptionsDialog>(settings_, *text_, *platform_, configPath_,
                                                  [this] { return videoShown_; });
        dialog_->Form_Load();
        dialog_->show();
    }

    void writeLangFile(const QString& name, const QByteArray& content) {
        QFile file(appDir_->filePath(u"Lang/"_s + name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    [[nodiscard]] QByteArray configBytes() const {
        QFile file(configPath_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    std::unique_ptr<QTemporaryDir> appDir_;
    QString configPath_;
    Settings settings_;
    bool videoShown_ = false;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<TextLookup> text_;
    std::unique_ptr<OptionsDialog> dialog_;
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
