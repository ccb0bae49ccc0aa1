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

class TestOptionsDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void controls_data();
    void controls();
    void loadShowsSettings();
    void okRefused_data();
    void okRefused();
    void okStores_data();
    void okStores();
    void saveFailureReported();
    void prefixProbeLeavesWorkingFolderAlone();
    void defaultsThenCancel();
    void languageInOtherCase();
    void noLangFolder();
    void reloadQuestion_data();
    void reloadQuestion();
    void missingFlagKeepsPicture();
    void intervalFieldFollowsCheckBox();
    void browse_data();
    void browse();
    void waysToCancel_data();
    void waysToCancel();
    void setCaption();

private:
    template <typename T> T* child(const char* name) {
        T* control = dialog_->findChild<T*>(QLatin1String(name));
        if (!control)
            qFatal("no control %s", name);
        return control;
    }
    void makeDialog();
    void writePack(const QString& name, const QByteArray& content = {});
    void writeFlag(const QString& name, Qt::GlobalColor color);
    [[nodiscard]] QByteArray configBytes() const;

    std::unique_ptr<QTemporaryDir> appDir_;
    QString configPath_;
    Settings settings_;
    bool videoShown_ = false;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<TextLookup> text_;
    std::unique_ptr<OptionsDialog> dialog_;
};

void TestOptionsDialog::writePack(const QString& name, const QByteArray& content) {
    QFile file(appDir_->filePath(QStringLiteral("Lang/") + name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Framora Language Pack]\r\n" + content);
}

void TestOptionsDialog::writeFlag(const QString& name, Qt::GlobalColor color) {
    QImage flag(16, 16, QImage::Format_RGB32);
    flag.fill(color);
    QVERIFY(flag.save(appDir_->filePath(QStringLiteral("Lang/") + name), "BMP"));
}

QByteArray TestOptionsDialog::configBytes() const {
    QFile file(configPath_);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void TestOptionsDialog::init() {
    appDir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(appDir_->isValid());
    QVERIFY(QDir(appDir_->path()).mkdir(QStringLiteral("Lang")));
    // The current pack renames the error title, so a looked-up title and the fixed
    // "Error" can be told apart.
    writePack(QStringLiteral("English.ini"));
    writePack(QStringLiteral("Deutsch.ini"), "010=Failure\r\n");
    writePack(QStringLiteral("Espanol.ini"));
    writePack(QStringLiteral(".Hidden.ini"));
    writePack(QStringLiteral("readme.txt"));
    QVERIFY(QDir(appDir_->path()).mkdir(QStringLiteral("Lang/Folder.ini")));
    writeFlag(QStringLiteral("English.bmp"), Qt::red);
    writeFlag(QStringLiteral("Deutsch.bmp"), Qt::yellow);
    {
        QFile broken(appDir_->filePath(QStringLiteral("Lang/Espanol.bmp")));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("not a bitmap");
    }
    configPath_ = appDir_->filePath(QStringLiteral("Config.cfg"));

    settings_ = Settings{};
    settings_.imageFormat = 0;
    settings_.snapshotFolder = QStringLiteral("/shots");
    settings_.filePrefix = QStringLiteral("ABC");
    settings_.skipTimedPrompt = 1;
    settings_.timedInterval = 7000;
    settings_.showPreview = 1;
    settings_.disableScreenSaver = 0;
    settings_.languageFile = QStringLiteral("Deutsch.ini");
    videoShown_ = false;
    platform_ = std::make_unique<FakePlatform>(appDir_->path());
    text_ = std::make_unique<TextLookup>(appDir_->path(), settings_);
    makeDialog();
}

void TestOptionsDialog::makeDialog() {
    dialog_ = std::make_unique<OptionsDialog>(settings_, *text_, *platform_, configPath_,
                                              [this] { return videoShown_; });
    dialog_->Form_Load();
    dialog_->show();
}

void TestOptionsDialog::cleanup() {
    dialog_.reset();
    text_.reset();
    platform_.reset();
    appDir_.reset();
}

void TestOptionsDialog::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRectF>("twips");
    QTest::addColumn<QString>("caption");

    const auto row = [](const char* name, const char* in, QRectF twips, const char* caption) {
        QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(in) << twips
                            << QString::fromUtf8(caption);
    };
    const char* dialog = "OptionsDialog";
    row("languageFrame", dialog, {120, 120, 5775, 855}, "Language");
    row("languageLabel", "languageFrame", {120, 360, 1215, 195}, "Select Language:");
    row("availableLanguages", "languageFrame", {1440, 360, 1815, 315}, "");
    row("Picture1", "languageFrame", {3480, 397, 240, 240}, "");
    row("snapshotsFrame", dialog, {120, 1080, 5775, 2775}, "Snapshots");
    row("imageFormatLabel", "snapshotsFrame", {285, 360, 1005, 195}, "Image Format:");
    row("imageFormats", "snapshotsFrame", {1440, 300, 1335, 315}, "");
    row("snapshotsPathLabel", "snapshotsFrame", {120, 840, 1170, 195}, "Snapshots Path:");
    row("snapshotPath", "snapshotsFrame", {1440, 795, 3135, 285}, "");
    row("snapshotsBrowse", "snapshotsFrame", {4680, 795, 975, 285}, "&Browse...");
    row("prefixLabel", "snapshotsFrame", {135, 1320, 1155, 195}, "Snapshot Prefix:");
    row("snapshotPrefix", "snapshotsFrame", {1440, 1275, 3135, 285}, "");
    row("inputBoxCheck", "snapshotsFrame", {120, 1680, 5535, 255},
        "Do not show \"Timed Snapshot\" input box again");
    row("valueTitle", "snapshotsFrame", {480, 2040, 1605, 195}, "Use this value instead:");
    row("milliseconds", "snapshotsFrame", {2160, 1995, 975, 285}, "");
    row("millisecondsLabel", "snapshotsFrame", {3240, 2010, 975, 255}, "milliseconds.");
    row("previewSnapshot", "snapshotsFrame", {120, 2400, 5535, 255}, "Preview snapshot");
    row("miscellaneousFrame", dialog, {120, 3960, 5775, 735}, "Miscellaneous");
    row("screenSaver", "miscellaneousFrame", {120, 360, 5535, 255}, "Disable screen saver");
    row("Command1", dialog, {120, 4800, 2295, 375}, "Defaults");
    row("OKButton", dialog, {3360, 4800, 1215, 375}, "&OK");
    row("CancelButton", dialog, {4680, 4800, 1215, 375}, "&Cancel");
}

void TestOptionsDialog::controls() {
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QRectF, twips);
    QFETCH(QString, caption);

    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Options"));
    const float tpp = dialogTwipsPerPixel(*dialog_);
    QCOMPARE(dialog_->size(), twipsToPixels(QRectF(0, 0, 6030, 5310), tpp).size());
    auto* control = dialog_->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget()->objectName(), container);
    QCOMPARE(control->geometry(), twipsToPixels(twips, tpp));
    if (auto* frame = qobject_cast<QGroupBox*>(control))
        QCOMPARE(frame->title(), caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        QCOMPARE(button->text(), caption);
    else if (auto* label = qobject_cast<QLabel*>(control); label && !caption.isEmpty())
        QCOMPARE(label->text(), caption);
}

void TestOptionsDialog::loadShowsSettings() {
    auto* languages = child<QComboBox>("availableLanguages");
    QStringList listed;
    for (int i = 0; i < languages->count(); ++i)
        listed << languages->itemText(i);
    QCOMPARE(listed, QStringList({"Deutsch", "English", "Espanol"}));
    QCOMPARE(languages->currentText(), QStringLiteral("Deutsch"));
    QCOMPARE(child<QLabel>("Picture1")->pixmap().toImage().pixelColor(0, 0), QColor(Qt::yellow));
    QCOMPARE(child<QComboBox>("imageFormats")->currentText(), QStringLiteral("PNG"));
    QCOMPARE(child<QLineEdit>("snapshotPath")->text(), QStringLiteral("/shots"));
    QCOMPARE(child<QLineEdit>("snapshotPrefix")->text(), QStringLiteral("ABC"));
    QVERIFY(child<QCheckBox>("inputBoxCheck")->isChecked());
    QCOMPARE(child<QLineEdit>("milliseconds")->text(), QStringLiteral("7000"));
    QVERIFY(child<QLineEdit>("milliseconds")->isEnabled());
    QVERIFY(child<QCheckBox>("previewSnapshot")->isChecked());
    QVERIFY(!child<QCheckBox>("screenSaver")->isChecked());
    QVERIFY(dialog_->Tag.isEmpty());
}

void TestOptionsDialog::okRefused_data() {
    QTest::addColumn<QString>("interval");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");

    const QString timeText = "Please enter a valid numeric time ranging from 1000 - 60000.";
    const QString lengthText = "Prefix should not be greater than 4 characters.";
    const QString prefixText = "Please enter a valid snapshot prefix.";
    QTest::newRow("999") << "999"
                         << "IMG_" << timeText << "Failure";
    QTest::newRow("60000.4") << "60000.4"
                             << "IMG_" << timeText << "Failure";
    QTest::newRow("60001") << "60001"
                           << "IMG_" << timeText << "Failure";
    QTest::newRow("letters after digits") << "12ab"
                                          << "IMG_" << timeText << "Failure";
    QTest::newRow("blank inside") << "2 500"
                                  << "IMG_" << timeText << "Failure";
    QTest::newRow("empty interval") << ""
                                    << "IMG_" << timeText << "Failure";
    QTest::newRow("interval first") << "0"
                                    << "ABCDEF" << timeText << "Failure";
    QTest::newRow("five letters") << "5000"
                                  << "ABCDE" << lengthText << "Error";
    QTest::newRow("empty prefix") << "5000"
                                  << "" << prefixText << "Error";
    QTest::newRow("asterisk") << "5000"
                              << "*" << prefixText << "Error";
    QTest::newRow("separator") << "5000"
                               << "a/b" << prefixText << "Error";
    QTest::newRow("backslash") << "5000"
                               << "a\\b" << prefixText << "Error";
    QTest::newRow("parent folder") << "5000"
                                   << ".." << prefixText << "Error";
    QTest::newRow("trailing dot") << "5000"
                                  << "a." << prefixText << "Error";
    QTest::newRow("trailing blank") << "5000"
                                    << "ab " << prefixText << "Error";
    QTest::newRow("control character") << "5000"
                                       << "a\tb" << prefixText << "Error";
    QTest::newRow("colon") << "5000"
                           << "a:b" << prefixText << "Error";
}

void TestOptionsDialog::okRefused() {
    QFETCH(QString, interval);
    QFETCH(QString, prefix);
    QFETCH(QString, text);
    QFETCH(QString, title);

    const Settings before = settings_;
    child<QLineEdit>("milliseconds")->setText(interval);
    child<QLineEdit>("snapshotPrefix")->setText(prefix);
    child<QComboBox>("imageFormats")->setCurrentIndex(1);
    dialog_->OKButton_Click();

    QCOMPARE(platform_->messages.size(), 1);
    QCOMPARE(platform_->messages[0].text, text);
    QCOMPARE(platform_->messages[0].title, title);
    QCOMPARE(platform_->messages[0].icon, MessageIcon::Critical);
    QCOMPARE(platform_->messages[0].buttons, MessageButtons::Ok);
    QVERIFY(dialog_->isVisible());
    QVERIFY(settings_ == before);
    QVERIFY(!QFile::exists(configPath_));
    QCOMPARE(child<QLineEdit>("milliseconds")->text(), interval);
    QCOMPARE(child<QLineEdit>("snapshotPrefix")->text(), prefix);
}

void TestOptionsDialog::okStores_data() {
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("stored");
    QTest::newRow("5000") << "5000" << 5000;
    QTest::newRow("lower bound") << "1000" << 1000;
    QTest::newRow("upper bound") << "60000" << 60000;
    QTest::newRow("fraction") << "2500.4" << 2500;
    QTest::newRow("half to even, down") << "2500.5" << 2500;
    QTest::newRow("half to even, up") << "2501.5" << 2502;
    QTest::newRow("blanks around") << "  3000  " << 3000;
}

void TestOptionsDialog::okStores() {
    QFETCH(QString, interval);
    QFETCH(int, stored);

    child<QComboBox>("availableLanguages")->setCurrentIndex(1);
    child<QComboBox>("imageFormats")->setCurrentIndex(1);
    child<QLineEdit>("snapshotPath")->setText(QStringLiteral("/elsewhere/pics"));
    child<QLineEdit>("snapshotPrefix")->setText(QStringLiteral("IMG_"));
    child<QCheckBox>("inputBoxCheck")->setChecked(false);
    child<QLineEdit>("milliseconds")->setText(interval);
    child<QCheckBox>("previewSnapshot")->setChecked(false);
    child<QCheckBox>("screenSaver")->setChecked(true);
    dialog_->OKButton_Click();

    QVERIFY(platform_->messages.isEmpty());
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
    QVERIFY(dialog_->isHidden());
    QVERIFY(dialog_->Tag.isEmpty());
    Settings expected;
    expected.languageFile = QStringLiteral("English.ini");
    expected.imageFormat = 1;
    expected.snapshotFolder = QStringLiteral("/elsewhere/pics");
    expected.filePrefix = QStringLiteral("IMG_");
    expected.skipTimedPrompt = 0;
    expected.timedInterval = stored;
    expected.showPreview = 0;
    expected.disableScreenSaver = 1;
    QVERIFY(settings_ == expected);

    Settings reread;
    reread.timedInterval = -1;
    QVERIFY(LoadConfiguration(configPath_, reread));
    QVERIFY(reread == expected);
}

void TestOptionsDialog::saveFailureReported() {
    configPath_ = appDir_->filePath(QStringLiteral("no such folder/Config.cfg"));
    makeDialog();
    child<QLineEdit>("milliseconds")->setText(QStringLiteral("4000"));
    dialog_->OKButton_Click();

    QCOMPARE(platform_->messages.size(), 1);
    QVERIFY2(
        platform_->messages[0].text.startsWith(QStringLiteral("Could not save the settings to ") +
                                               QDir::toNativeSeparators(configPath_)),
        qPrintable(platform_->messages[0].text));
    QCOMPARE(platform_->messages[0].title, QStringLiteral("Failure"));
    QCOMPARE(platform_->messages[0].icon, MessageIcon::Critical);
    // Kept for this run, and the dialog closes as after any OK.
    QCOMPARE(settings_.timedInterval, 4000);
    QCOMPARE(dialog_->result(), int(QDialog::Accepted));
}

void TestOptionsDialog::prefixProbeLeavesWorkingFolderAlone() {
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(appDir_->path()));
    QFile existing(appDir_->filePath(QStringLiteral("PIC_")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("keep me");
    existing.close();

    child<QLineEdit>("snapshotPrefix")->setText(QStringLiteral("PIC_"));
    dialog_->OKButton_Click();
    QVERIFY(QDir::setCurrent(previous));

    QCOMPARE(settings_.filePrefix, QStringLiteral("PIC_"));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("keep me"));
}

void TestOptionsDialog::defaultsThenCancel() {
    QVERIFY(SaveConfiguration(configPath_, settings_));
    const QByteArray fileBefore = configBytes();
    const Settings before = settings_;

    dialog_->Command1_Click();
    QCOMPARE(child<QComboBox>("imageFormats")->currentText(), QStringLiteral("JPG"));
    QCOMPARE(child<QLineEdit>("snapshotPath")->text(), defaultSnapshotFolder());
    QCOMPARE(child<QLineEdit>("snapshotPrefix")->text(), QStringLiteral("IMG_"));
    QVERIFY(!child<QCheckBox>("inputBoxCheck")->isChecked());
    QVERIFY(!child<QLineEdit>("milliseconds")->isEnabled());
    QCOMPARE(child<QLineEdit>("milliseconds")->text(), QStringLiteral("5000"));
    QVERIFY(!child<QCheckBox>("previewSnapshot")->isChecked());
    QVERIFY(child<QCheckBox>("screenSaver")->isChecked());
    QCOMPARE(child<QComboBox>("availableLanguages")->currentText(), QStringLiteral("English"));
    QCOMPARE(child<QLabel>("Picture1")->pixmap().toImage().pixelColor(0, 0), QColor(Qt::red));

    dialog_->CancelButton_Click();
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QVERIFY(settings_ == before);
    QCOMPARE(configBytes(), fileBefore);
}

void TestOptionsDialog::languageInOtherCase() {
    settings_.languageFile = QStringLiteral("english.ini");
    dialog_->Form_Load();
    QCOMPARE(child<QComboBox>("availableLanguages")->currentIndex(), -1);
    dialog_->OKButton_Click();
    QCOMPARE(settings_.languageFile, QStringLiteral(".ini"));
}

void TestOptionsDialog::noLangFolder() {
    QVERIFY(QDir(appDir_->filePath(QStringLiteral("Lang"))).removeRecursively());
    makeDialog();
    QCOMPARE(child<QComboBox>("availableLanguages")->count(), 0);
    QVERIFY(child<QLabel>("Picture1")->pixmap().isNull());
    dialog_->OKButton_Click();
    QVERIFY(platform_->messages.isEmpty());
    QCOMPARE(settings_.languageFile, QStringLiteral(".ini"));
}

void TestOptionsDialog::reloadQuestion_data() {
    QTest::addColumn<bool>("videoShown");
    QTest::addColumn<MessageAnswer>("answer");
    QTest::addColumn<int>("questions");
    QTest::addColumn<QString>("tag");
    QTest::newRow("no video") << false << MessageAnswer::Yes << 0 << "";
    QTest::newRow("video, Yes") << true << MessageAnswer::Yes << 1 << "Reload";
    QTest::newRow("video, No") << true << MessageAnswer::No << 1 << "";
}

void TestOptionsDialog::reloadQuestion() {
    QFETCH(bool, videoShown);
    QFETCH(MessageAnswer, answer);
    QFETCH(int, questions);
    QFETCH(QString, tag);

    videoShown_ = videoShown;
    platform_->answers = {answer};
    dialog_->OKButton_Click();
    QCOMPARE(platform_->messages.size(), questions);
    if (questions == 1) {
        const FakePlatform::Message& m = platform_->messages[0];
        QCOMPARE(m.text, QStringLiteral("Some changes need the video to be reloaded. Do you want "
                                        "to reload the video?"));
        QCOMPARE(m.title, QStringLiteral("Warning"));
        QCOMPARE(m.icon, MessageIcon::Question);
        QCOMPARE(m.buttons, MessageButtons::YesNo);
    }
    QCOMPARE(dialog_->Tag, tag);
    QVERIFY(QFile::exists(configPath_)); // saved before the question

    // Opening again empties the marker.
    dialog_->Form_Load();
    QVERIFY(dialog_->Tag.isEmpty());
}

void TestOptionsDialog::missingFlagKeepsPicture() {
    auto* languages = child<QComboBox>("availableLanguages");
    auto* picture = child<QLabel>("Picture1");
    languages->setCurrentIndex(1); // English: red
    QCOMPARE(picture->pixmap().toImage().pixelColor(0, 0), QColor(Qt::red));
    const qint64 shown = picture->pixmap().cacheKey();

    languages->setCurrentIndex(2); // Espanol: the bitmap is broken
    QCOMPARE(picture->pixmap().cacheKey(), shown);
    QVERIFY(QFile::remove(appDir_->filePath(QStringLiteral("Lang/Deutsch.bmp"))));
    languages->setCurrentIndex(0); // Deutsch: no bitmap any more
    QCOMPARE(picture->pixmap().cacheKey(), shown);
    QVERIFY(platform_->messages.isEmpty());
}

void TestOptionsDialog::intervalFieldFollowsCheckBox() {
    auto* check = child<QCheckBox>("inputBoxCheck");
    const QList<QWidget*> followers = {child<QLineEdit>("milliseconds"),
                                       child<QLabel>("valueTitle"),
                                       child<QLabel>("millisecondsLabel")};
    check->setChecked(false);
    for (QWidget* w : followers)
        QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    QTest::mouseClick(check, Qt::LeftButton);
    QVERIFY(check->isChecked());
    for (QWidget* w : followers)
        QVERIFY2(w->isEnabled(), qPrintable(w->objectName()));

    // The interval is checked even while its field is disabled.
    check->setChecked(false);
    child<QLineEdit>("milliseconds")->setText(QStringLiteral("10"));
    dialog_->OKButton_Click();
    QCOMPARE(platform_->messages.size(), 1);
}

void TestOptionsDialog::browse_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("shown");
    QTest::newRow("chosen") << "/new/folder"
                            << "/new/folder";
    QTest::newRow("cancelled") << ""
                               << "/shots";
}

void TestOptionsDialog::browse() {
    QFETCH(QString, answer);
    QFETCH(QString, shown);

    platform_->folderAnswer = answer;
    bool disabledWhileBrowsing = false;
    // The fake answers at once; look at the dialog from inside the folder request.
    auto* path = child<QLineEdit>("snapshotPath");
    QMetaObject::Connection watch = connect(path, &QLineEdit::textChanged, this,
                                            [&] { disabledWhileBrowsing = !dialog_->isEnabled(); });
    QTest::mouseClick(child<QPushButton>("snapshotsBrowse"), Qt::LeftButton);
    disconnect(watch);

    QCOMPARE(platform_->folderRequests.size(), 1);
    QCOMPARE(path->text(), shown);
    QVERIFY(dialog_->isEnabled());
    if (!answer.isEmpty())
        QVERIFY(disabledWhileBrowsing);
    QCOMPARE(settings_.snapshotFolder, QStringLiteral("/shots"));
}

void TestOptionsDialog::waysToCancel_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "button";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("close box") << "close";
}

void TestOptionsDialog::waysToCancel() {
    QFETCH(QString, how);

    // An earlier OK asked for a reload; this time nothing must come of it.
    videoShown_ = true;
    platform_->answers = {MessageAnswer::Yes};
    dialog_->OKButton_Click();
    QCOMPARE(dialog_->Tag, QStringLiteral("Reload"));
    const Settings before = settings_;
    const QByteArray fileBefore = configBytes();

    dialog_->show();
    child<QLineEdit>("snapshotPrefix")->setText(QStringLiteral("NEW"));
    child<QComboBox>("imageFormats")->setCurrentIndex(1);
    if (how == QLatin1String("button"))
        QTest::mouseClick(child<QPushButton>("CancelButton"), Qt::LeftButton);
    else if (how == QLatin1String("esc"))
        QTest::keyClick(child<QLineEdit>("snapshotPrefix"), Qt::Key_Escape);
    else
        dialog_->close();

    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QVERIFY(dialog_->Tag.isEmpty());
    QVERIFY(settings_ == before);
    QCOMPARE(configBytes(), fileBefore);
    QCOMPARE(platform_->messages.size(), 1);
}

void TestOptionsDialog::setCaption() {
    dialog_->setCaption(QStringLiteral("snapshotsFrame"), QStringLiteral("Bilder"));
    dialog_->setCaption(QStringLiteral("OKButton"), QStringLiteral("&Gut"));
    dialog_->setCaption(QStringLiteral("valueTitle"), QStringLiteral("Wert:"));
    dialog_->setCaption(QStringLiteral("screenSaver"), QStringLiteral("Schoner"));
    dialog_->setCaption(QString(), QStringLiteral("Optionen"));
    dialog_->setCaption(QStringLiteral("noSuchControl"), QStringLiteral("x"));
    QCOMPARE(child<QGroupBox>("snapshotsFrame")->title(), QStringLiteral("Bilder"));
    QCOMPARE(child<QPushButton>("OKButton")->text(), QStringLiteral("&Gut"));
    QCOMPARE(child<QLabel>("valueTitle")->text(), QStringLiteral("Wert:"));
    QCOMPARE(child<QCheckBox>("screenSaver")->text(), QStringLiteral("Schoner"));
    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Optionen"));
}

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
