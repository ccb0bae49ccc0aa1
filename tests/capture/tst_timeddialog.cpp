#include "capture/TimedSnapshotsDialog.h"
#include "localisation/TextLookup.h"
#include "platform/Twips.h"
#include "settings/Settings.h"
#include "support/FakePlatform.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

class TestTimedDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void controls_data();
    void controls();
    void showsIntervalSelected();
    void okCheck_data();
    void okCheck();
    void checkBoxWritesSkip_data();
    void checkBoxWritesSkip();
    void waysToCancel_data();
    void waysToCancel();
    void enterPressesOk();

private:
    std::unique_ptr<TimedSnapshotsDialog> makeDialog();
    QLineEdit* field() { return dialog_->findChild<QLineEdit*>(QStringLiteral("milliseconds")); }

    std::unique_ptr<QTemporaryDir> appDir_;
    Settings settings_;
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<TextLookup> text_;
    std::unique_ptr<TimedSnapshotsDialog> dialog_;
};

void TestTimedDialog::init() {
    appDir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(appDir_->isValid());
    settings_ = Settings{};
    settings_.timedInterval = 7250;
    platform_ = std::make_unique<FakePlatform>(appDir_->path());
    text_ = std::make_unique<TextLookup>(appDir_->path(), settings_);
    dialog_ = makeDialog();
}

void TestTimedDialog::cleanup() {
    dialog_.reset();
    text_.reset();
    platform_.reset();
    appDir_.reset();
}

std::unique_ptr<TimedSnapshotsDialog> TestTimedDialog::makeDialog() {
    return std::make_unique<TimedSnapshotsDialog>(settings_, *text_, *platform_,
                                                  QStringLiteral("&OK"), QStringLiteral("&Cancel"));
}

void TestTimedDialog::controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRectF>("twips");
    QTest::addColumn<QString>("caption");

    QTest::newRow("requestLabel") << "requestLabel" << QRectF(120, 240, 1815, 195)
                                  << "Capture a snapshot every";
    QTest::newRow("milliseconds") << "milliseconds" << QRectF(2040, 195, 975, 285) << "7250";
    QTest::newRow("millisecondsLabel")
        << "millisecondsLabel" << QRectF(3120, 240, 1485, 195) << "milliseconds.";
    QTest::newRow("Check1") << "Check1" << QRectF(120, 1080, 5895, 255)
                            << "Do not show this again and  use this value as the default.";
    QTest::newRow("OKButton") << "OKButton" << QRectF(4680, 120, 1215, 375) << "&OK";
    QTest::newRow("CancelButton") << "CancelButton" << QRectF(4680, 600, 1215, 375) << "&Cancel";
}

void TestTimedDialog::controls() {
    QFETCH(QString, name);
    QFETCH(QRectF, twips);
    QFETCH(QString, caption);

    QCOMPARE(dialog_->windowTitle(), QStringLiteral("Timed Snapshots"));
    const float tpp = dialogTwipsPerPixel(*dialog_);
    QCOMPARE(dialog_->size(), twipsToPixels(QRectF(0, 0, 6030, 1470), tpp).size());
    auto* control = dialog_->findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), twipsToPixels(twips, tpp));
    QString shown;
    if (auto* label = qobject_cast<QLabel*>(control))
        shown = label->text();
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        shown = button->text();
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        shown = edit->text();
    QCOMPARE(shown, caption);
}

void TestTimedDialog::showsIntervalSelected() {
    QCOMPARE(field()->selectedText(), QStringLiteral("7250"));
    auto* ok = dialog_->findChild<QPushButton*>(QStringLiteral("OKButton"));
    QVERIFY(ok->isDefault());
}

void TestTimedDialog::okCheck_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("999") << "999" << false;
    QTest::newRow("500") << "500" << false;
    QTest::newRow("60001") << "60001" << false;
    QTest::newRow("60000.4") << "60000.4" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("letters") << "abc" << false;
    QTest::newRow("negative") << "-2000" << false;
    QTest::newRow("1000") << "1000" << true;
    QTest::newRow("60000") << "60000" << true;
    QTest::newRow("blank inside") << "2 500" << true;
    QTest::newRow("fraction") << "1500.6" << true;
    QTest::newRow("unit after") << "1500 ms" << true;
}

void TestTimedDialog::okCheck() {
    QFETCH(QString, typed);
    QFETCH(bool, accepted);

    dialog_->show();
    field()->setText(typed);
    dialog_->OKButton_Click();
    if (accepted) {
        QVERIFY(platform_->messages.isEmpty());
        QCOMPARE(dialog_->Tag, typed);
        QCOMPARE(dialog_->result(), int(QDialog::Accepted));
        QVERIFY(dialog_->isHidden());
    } else {
        QCOMPARE(platform_->messages.size(), 1);
        const FakePlatform::Message& m = platform_->messages.front();
        QCOMPARE(m.text, QStringLiteral("Value should be numeric and greater than zero."));
        QCOMPARE(m.title, QStringLiteral("Error"));
        QCOMPARE(m.icon, MessageIcon::Critical);
        QCOMPARE(m.buttons, MessageButtons::Ok);
        QVERIFY(dialog_->isVisible());
        QCOMPARE(field()->text(), typed);
        QVERIFY(dialog_->Tag.isEmpty());
    }
    QCOMPARE(settings_.timedInterval, 7250); // the caller stores the interval, not the dialog
}

void TestTimedDialog::checkBoxWritesSkip_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("after");
    QTest::newRow("ticked") << 0 << true << 1;
    QTest::newRow("not ticked clears") << 1 << false << 0;
}

void TestTimedDialog::checkBoxWritesSkip() {
    QFETCH(int, before);
    QFETCH(bool, ticked);
    QFETCH(int, after);

    settings_.skipTimedPrompt = static_cast<std::uint8_t>(before);
    dialog_->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(ticked);
    field()->setText(QStringLiteral("3000"));
    dialog_->OKButton_Click();
    QCOMPARE(int(settings_.skipTimedPrompt), after);
}

void TestTimedDialog::waysToCancel_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "button";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("close box") << "close";
    QTest::newRow("after a refused OK") << "refused";
}

void TestTimedDialog::waysToCancel() {
    QFETCH(QString, how);

    settings_.skipTimedPrompt = 0;
    dialog_->findChild<QCheckBox*>(QStringLiteral("Check1"))->setChecked(true);
    dialog_->show();
    if (how == QLatin1String("button")) {
        QTest::mouseClick(dialog_->findChild<QPushButton*>(QStringLiteral("CancelButton")),
                          Qt::LeftButton);
    } else if (how == QLatin1String("esc")) {
        QTest::keyClick(field(), Qt::Key_Escape);
    } else if (how == QLatin1String("close")) {
        dialog_->close();
    } else {
        field()->setText(QStringLiteral("10"));
        dialog_->OKButton_Click();
        dialog_->CancelButton_Click();
    }
    QCOMPARE(dialog_->Tag, QStringLiteral("1"));
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QVERIFY(dialog_->isHidden());
    QCOMPARE(int(settings_.skipTimedPrompt), 0);
}

void TestTimedDialog::enterPressesOk() {
    // The way the caller uses it: modal through the platform, then read Tag.
    platform_->dialogScript = [this](QDialog& shown) {
        shown.show();
        field()->setText(QStringLiteral("4000"));
        QTest::keyClick(field(), Qt::Key_Return);
        return shown.result();
    };
    QCOMPARE(platform_->execDialog(*dialog_), int(QDialog::Accepted));
    QCOMPARE(dialog_->Tag, QStringLiteral("4000"));
}

QTEST_MAIN(TestTimedDialog)
#include "tst_timeddialog.moc"
