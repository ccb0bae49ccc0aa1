#include "folderbrowse/BrowseProperties.h"
#include "folderbrowse/FolderBrowse.h"
#include "support/FakePlatform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

static const QStringList checkBoxNames = {
    QStringLiteral("chkEnabled"),           QStringLiteral("chkOnlyFileSystemDirectories"),
    QStringLiteral("chkDontGoBelowDomain"), QStringLiteral("chkAllowEditBox"),
    QStringLiteral("chkValidateSelection"), QStringLiteral("chkUseNewUI"),
    QStringLiteral("chkBrowseForComputer"), QStringLiteral("chkBrowseForPrinter"),
    QStringLiteral("chkIncludeFiles"),
};

class TestBrowseProperties : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freshControlLoads();
    void greyedBoxWritesFalse();
    void onlyFirstSelectedControlChanges();
    void applyWritesAllElevenInOrder();
    void loadingSetsChangedOnlyWhenValuesChange();
    void userEditSetsChanged_data();
    void userEditSetsChanged();
    void clickTogglesWithoutGreying();

private:
    static QCheckBox* box(BrowseProperties& page, const QString& name) {
        return page.findChild<QCheckBox*>(name);
    }
    // On the indicator: a click beyond a short text misses the box.
    static QPoint indicator(const QCheckBox& check) { return {8, check.height() / 2}; }
    FakePlatform platform{QStringLiteral("/nonexistent")};
};

void TestBrowseProperties::freshControlLoads() {
    FolderBrowse control(platform);
    BrowseProperties page;
    page.setSelectedControls({&control});
    page.SelectionChanged();

    const QStringList checked = {QStringLiteral("chkEnabled"),
                                 QStringLiteral("chkDontGoBelowDomain"),
                                 QStringLiteral("chkValidateSelection")};
    for (const QString& name : checkBoxNames)
        QCOMPARE(box(page, name)->checkState(),
                 checked.contains(name) ? Qt::Checked : Qt::Unchecked);
    QCOMPARE(page.findChild<QLineEdit*>(QStringLiteral("txtCaption"))->text(),
             QStringLiteral("Folder Browser"));
    QCOMPARE(page.findChild<QLineEdit*>(QStringLiteral("txtStartDirectory"))->text(), QString());
}

void TestBrowseProperties::greyedBoxWritesFalse() {
    FolderBrowse control(platform);
    control.setUseNewUI(true);
    control.setDontGoBelowDomain(true);
    BrowseProperties page;
    page.setSelectedControls({&control});
    page.SelectionChanged();
    box(page, QStringLiteral("chkUseNewUI"))->setCheckState(Qt::PartiallyChecked);
    box(page, QStringLiteral("chkDontGoBelowDomain"))->setCheckState(Qt::PartiallyChecked);

    page.ApplyChanges();
    QVERIFY(!control.UseNewUI());
    QVERIFY(!control.DontGoBelowDomain());
}

void TestBrowseProperties::onlyFirstSelectedControlChanges() {
    FolderBrowse first(platform);
    FolderBrowse second(platform);
    second.setCaption(QStringLiteral("Second"));
    second.setIncludeFiles(true);
    const FolderBrowseState secondBefore = second.State();

    BrowseProperties page;
    page.setSelectedControls({&first, &second});
    page.SelectionChanged();
    QCOMPARE(page.findChild<QLineEdit*>(QStringLiteral("txtCaption"))->text(),
             QStringLiteral("Folder Browser"));

    page.findChild<QLineEdit*>(QStringLiteral("txtCaption"))->setText(QStringLiteral("Edited"));
    box(page, QStringLiteral("chkAllowEditBox"))->setCheckState(Qt::Checked);
    QSignalSpy secondChanges(&second, &FolderBrowse::propertyChanged);
    page.ApplyChanges();

    QCOMPARE(first.Caption(), QStringLiteral("Edited"));
    QVERIFY(first.AllowEditBox());
    QCOMPARE(second.State(), secondBefore);
    QCOMPARE(secondChanges.size(), 0);
}

void TestBrowseProperties::applyWritesAllElevenInOrder() {
    FolderBrowse control(platform);
    control.setUserMode(false);
    BrowseProperties page;
    page.setSelectedControls({&control});
    page.SelectionChanged();
    box(page, QStringLiteral("chkBrowseForPrinter"))->setCheckState(Qt::Checked);
    page.findChild<QLineEdit*>(QStringLiteral("txtStartDirectory"))
        ->setText(QStringLiteral("  /media/usb "));

    QSignalSpy changes(&control, &FolderBrowse::propertyChanged);
    page.ApplyChanges();

    QStringList names;
    for (const auto& change : changes)
        names << change[0].toString();
    QCOMPARE(names,
             QStringList({QStringLiteral("IncludeFiles"), QStringLiteral("BrowseForPrinter"),
                          QStringLiteral("BrowseForComputer"), QStringLiteral("UseNewUI"),
                          QStringLiteral("ValidateSelection"), QStringLiteral("AllowEditBox"),
                          QStringLiteral("DontGoBelowDomain"),
                          QStringLiteral("OnlyFileSystemDirectories"), QStringLiteral("Caption"),
                          QStringLiteral("StartDirectory"), QStringLiteral("Enabled")}));
    FolderBrowseState expected;
    expected.browseForPrinter = true;
    expected.startDirectory = QStringLiteral("  /media/usb "); // taken as typed
    QCOMPARE(control.State(), expected);
}

void TestBrowseProperties::loadingSetsChangedOnlyWhenValuesChange() {
    FolderBrowse control(platform);
    BrowseProperties page;
    QVERIFY(!page.Changed());
    page.setSelectedControls({&control});
    page.SelectionChanged();
    QVERIFY(page.Changed()); // the boxes and the caption changed while loading

    page.setChanged(false);
    page.SelectionChanged(); // same values again: nothing changes, nothing reported
    QVERIFY(!page.Changed());

    control.setStartDirectory(QStringLiteral("/srv"));
    page.SelectionChanged();
    QVERIFY(page.Changed());

    page.setChanged(false);
    page.ApplyChanges(); // the host clears the flag, never the page
    page.setChanged(true);
    page.ApplyChanges();
    QVERIFY(page.Changed());
}

void TestBrowseProperties::userEditSetsChanged_data() {
    QTest::addColumn<QString>("element");
    for (const QString& name : checkBoxNames)
        QTest::newRow(qPrintable(name)) << name;
    QTest::newRow("txtCaption") << QStringLiteral("txtCaption");
    QTest::newRow("txtStartDirectory") << QStringLiteral("txtStartDirectory");
}

void TestBrowseProperties::userEditSetsChanged() {
    QFETCH(QString, element);

    FolderBrowse control(platform);
    BrowseProperties page;
    page.setSelectedControls({&control});
    page.SelectionChanged();
    page.setChanged(false);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    if (QCheckBox* check = box(page, element)) {
        QTest::mouseClick(check, Qt::LeftButton, {}, indicator(*check));
    } else {
        auto* edit = page.findChild<QLineEdit*>(element);
        QVERIFY(edit);
        edit->setFocus();
        QTest::keyClicks(edit, QStringLiteral("x"));
    }
    QVERIFY(page.Changed());
}

void TestBrowseProperties::clickTogglesWithoutGreying() {
    BrowseProperties page;
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QCheckBox* check = box(page, QStringLiteral("chkUseNewUI"));
    const QPoint centre = indicator(*check);

    QTest::mouseClick(check, Qt::LeftButton, {}, centre);
    QCOMPARE(check->checkState(), Qt::Checked);
    QTest::mouseClick(check, Qt::LeftButton, {}, centre);
    QCOMPARE(check->checkState(), Qt::Unchecked);
    check->setCheckState(Qt::PartiallyChecked);
    QTest::mouseClick(check, Qt::LeftButton, {}, centre);
    QCOMPARE(check->checkState(), Qt::Checked);
}

QTEST_MAIN(TestBrowseProperties)
#include "tst_BrowseProperties.moc"
