// The folder browse property page: loading a selection, applying it, and its Changed flag.
#include "folderbrowse/BrowseProperties.h"
#include "folderbrowse/FolderBrowse.h"
#include "support/FakePlatform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

static const QStringList checkBoxNames = {
    u"chkEnabled"_s,           u"chkOnlyFileSystemDirectories"_s, u"chkDontGoBelowDomain"_s,
    u"chkAllowEditBox"_s,      u"chkValidateSelection"_s,         u"chkUseNewUI"_s,
    u"chkBrowseForComputer"_s, u"chkBrowseForPrinter"_s,          u"chkIncludeFiles"_s,
};

// A page loaded with the given controls.
struct Page : BrowseProperties {
    explicit Page(const QList<FolderBrowse*>& controls = {}) {
        setSelectedControls(controls);
        SelectionChanged();
    }
    QCheckBox* box(const QString& name) { return findChild<QCheckBox*>(name); }
    QLineEdit* edit(const QString& name) { return findChild<QLineEdit*>(name); }
    // Clicks on the indicator: a click beyond a short text misses the box.
    void clickBox(const QString& name) {
        QTest::mouseClick(box(name), Qt::LeftButton, {}, {8, box(name)->height() / 2});
    }
};

class TestBrowseProperties : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void freshControlLoads() {
        FolderBrowse control(platform);
        Page page({&control});
        const QStringList checked = {u"chkEnabled"_s, u"chkDontGoBelowDomain"_s,
                                     u"chkValidateSelection"_s};
        for (const QString& name : checkBoxNames)
            QCOMPARE(page.box(name)->checkState(),
                     checked.contains(name) ? Qt::Checked : Qt::Unchecked);
        QCOMPARE(page.edit(u"txtCaption"_s)->text(), u"Folder Browser"_s);
        QCOMPARE(page.edit(u"txtStartDirectory"_s)->text(), QString());
    }

    void onlyFirstSelectedControlIsWritten() {
        FolderBrowse first(platform);
        FolderBrowse second(platform);
        second.setCaption(u"Second"_s);
        second.setIncludeFiles(true);
        const FolderBrowseState secondBefore = second.State();
        Page page({&first, &second});
        QCOMPARE(page.edit(u"txtCaption"_s)->text(), u"Folder Browser"_s);

        page.edit(u"txtCaption"_s)->setText(u"Edited"_s);
        page.box(u"chkAllowEditBox"_s)->setCheckState(Qt::Checked);
        QSignalSpy secondChanges(&second, &FolderBrowse::propertyChanged);
        page.ApplyChanges();
        QCOMPARE(first.Caption(), u"Edited"_s);
        QVERIFY(first.AllowEditBox());
        QCOMPARE(second.State(), secondBefore);
        QCOMPARE(secondChanges.size(), 0);
    }

    // Every property is written, in the page's order; a greyed box writes false, a text is
    // taken as typed.
    void applyWritesAllElevenInOrder() {
        FolderBrowse control(platform);
        control.setUserMode(false);
        control.setUseNewUI(true);
        Page page({&control});
        page.box(u"chkBrowseForPrinter"_s)->setCheckState(Qt::Checked);
        page.box(u"chkUseNewUI"_s)->setCheckState(Qt::PartiallyChecked);
        page.box(u"chkDontGoBelowDomain"_s)->setCheckState(Qt::PartiallyChecked);
        page.edit(u"txtStartDirectory"_s)->setText(u"  /media/usb "_s);

        QSignalSpy changes(&control, &FolderBrowse::propertyChanged);
        page.ApplyChanges();
        QStringList names;
        for (const auto& change : changes)
            names << change[0].toString();
        QCOMPARE(names,
                 QStringList({u"IncludeFiles"_s, u"BrowseForPrinter"_s, u"BrowseForComputer"_s,
                              u"UseNewUI"_s, u"ValidateSelection"_s, u"AllowEditBox"_s,
                              u"DontGoBelowDomain"_s, u"OnlyFileSystemDirectories"_s, u"Caption"_s,
                              u"StartDirectory"_s, u"Enabled"_s}));
        FolderBrowseState expected;
        expected.browseForPrinter = true;
        expected.dontGoBelowDomain = false;
        expected.startDirectory = u"  /media/usb "_s;
        QCOMPARE(control.State(), expected);
    }

    void changedOnlyWhenValuesChange() {
        QVERIFY(!BrowseProperties().Changed());
        FolderBrowse control(platform);
        Page page({&control});
        QVERIFY(page.Changed()); // the boxes and the caption changed while loading

        page.setChanged(false);
        page.SelectionChanged(); // the same values again: nothing changes, nothing reported
        QVERIFY(!page.Changed());
        control.setStartDirectory(u"/srv"_s);
        page.SelectionChanged();
        QVERIFY(page.Changed());

        page.setChanged(false);
        page.ApplyChanges(); // the host clears the flag, never the page
        page.setChanged(true);
        page.ApplyChanges();
        QVERIFY(page.Changed());
    }

    void userEditSetsChanged_data() {
        QTest::addColumn<QString>("element");
        for (const QString& name :
             checkBoxNames + QStringList{u"txtCaption"_s, u"txtStartDirectory"_s})
            QTest::newRow(qPrintable(name)) << name;
    }

    void userEditSetsChanged() {
        QFETCH(QString, element);
        FolderBrowse control(platform);
        Page page({&control});
        page.setChanged(false);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        if (page.box(element)) {
            page.clickBox(element);
        } else {
            page.edit(element)->setFocus();
            QTest::keyClicks(page.edit(element), u"x"_s);
        }
        QVERIFY(page.Changed());
    }

    void clickTogglesWithoutGreying() {
        Page page;
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QCheckBox* check = page.box(u"chkUseNewUI"_s);
        for (const Qt::CheckState after : {Qt::Checked, Qt::Unchecked}) {
            page.clickBox(u"chkUseNewUI"_s);
            QCOMPARE(check->checkState(), after);
        }
        check->setCheckState(Qt::PartiallyChecked);
        page.clickBox(u"chkUseNewUI"_s);
        QCOMPARE(check->checkState(), Qt::Checked);
    }

private:
    FakePlatform platform{u"/nonexistent"_s};
};

QTEST_MAIN(TestBrowseProperties)
#include "tst_BrowseProperties.moc"
