#include "capture/TimedSnapshotsDialog.h"
#include "localisation/TextLookup.h"
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

    QTemporaryDir appDir_;
    Settings settings_;
    TextLookup text_{appDir_.path(), settings_};
    std::unique_ptr<FakePlatform> platform_;
    std::unique_ptr<TimedSnapshotsDialog> dialog_;

    template <typename T> T* child(const char* name) {
        return dialog_->findChild<T*>(QString::fromLatin1(name));
    }
    QLineEdit* field() { return child<QLineEdit>("milliseconds"); }

private Q_SLOTS:
    void init() {
        settings_ = Settings{};
        settings_.timedInterval = 7250;
        platform_ = std::make_unique<FakePlatform>(appDir_.path());
        dialog_ = std::make_unique<TimedSnapshotsDialog>(
            settings_, text_, *platform_, QStringLiteral("&OK"), QStringLiteral("&Cancel"));
    }
    void cleanup() { dialog_.reset(); }

    // The texts under their names (the buttons' come from the caller), the interval selected for
    // typing over, OK the default.
    void opensWithTheInterval() {
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("Timed Snapshots"));
        QCOMPARE(child<QLabel>("requestLabel")->text(), QStringLiteral("Capture a snapshot every"));
        QCOMPARE(child<QLabel>("millisecondsLabel")->text(), QStringLiteral("milliseconds."));
        QCOMPARE(child<QCheckBox>("Check1")->text(),
                 QStringLiteral("Do not show this again and  use this value as the default."));
        QCOMPARE(field()->selectedText(), QStringLiteral("7250"));
        QVERIFY(child<QPushButton>("OKButton")->isDefault());
    }

    // An accepted value also sets skipTimedPrompt from the check box; a refused one
    // leaves it alone.
    void okCheck_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("999") << "999" << true << false;
        QTest::newRow("60001") << "60001" << false << false;
        QTest::newRow("empty") << "" << true << false;
        QTest::newRow("letters") << "abc" << false << false;
        QTest::newRow("1000") << "1000" << true << true;
        QTest::newRow("60000, not ticked") << "60000" << false << true;
        QTest::newRow("blank inside") << "2 500" << true << true;
        QTest::newRow("fraction, not ticked") << "1500.6" << false << true;
    }
    void okCheck() {
        QFETCH(QString, typed);
        QFETCH(bool, ticked);
        QFETCH(bool, accepted);
        settings_.skipTimedPrompt = ticked ? 0 : 1;
        dialog_->show();
        child<QCheckBox>("Check1")->setChecked(ticked);
        field()->setText(typed);
        dialog_->OKButton_Click();
        if (accepted) {
            QVERIFY(platform_->messages.isEmpty());
            QCOMPARE(dialog_->Tag, typed);
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
        QCOMPARE(bool(settings_.skipTimedPrompt), accepted == ticked);
    }

    // Every way out but OK gives "1" and leaves skipTimedPrompt alone.
    void waysToCancel_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel button") << "button";
        QTest::newRow("close box") << "close";
        QTest::newRow("after a refused OK") << "refused";
    }
    void waysToCancel() {
        QFETCH(QString, how);
        child<QCheckBox>("Check1")->setChecked(true);
        dialog_->show();
        if (how == QLatin1String("button")) {
            QTest::mouseClick(child<QPushButton>("CancelButton"), Qt::LeftButton);
        } else if (how == QLatin1String("close")) {
            dialog_->close();
        } else {
            field()->setText(QStringLiteral("10"));
            dialog_->OKButton_Click();
            dialog_->CancelButton_Click();
        }
        QCOMPARE(dialog_->Tag, QStringLiteral("1"));
        QVERIFY(dialog_->isHidden());
        QCOMPARE(int(settings_.skipTimedPrompt), 0);
    }
};

QTEST_MAIN(TestTimedDialog)
#include "tst_timeddialog.moc"
