// The folder browse control: its option word, the dialog request, read-only properties,
// the property bag and the design-time property page.
#include "folderbrowse/BrowseFlags.h"
#include "folderbrowse/BrowseProperties.h"
#include "folderbrowse/FolderBrowse.h"
#include "folderbrowse/FolderBrowseError.h"
#include "folderbrowse/PropertyBag.h"
#include "support/FakePlatform.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class TstFolderbrowse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { platform_ = FakePlatform(u"/nonexistent"_s); }

    // The word carries the shell's published bit values, which the folder dialog reads.
    void flags_data() {
        QTest::addColumn<BrowseOptions>("options");
        QTest::addColumn<unsigned>("expected");
        QTest::newRow("defaults") << BrowseOptions{} << 0x0022u;
        QTest::newRow("all eight")
            << BrowseOptions{true, true, true, true, true, true, true, true} << 0x7073u;
        // The new dialog style alone, never the combined new-UI value 0x0050.
        QTest::newRow("new UI") << BrowseOptions{.useNewUI = true} << 0x0062u;
        QTest::newRow("computers, edit box")
            << BrowseOptions{.allowEditBox = true, .browseForComputer = true} << 0x1032u;
        QTest::newRow("only file system and files")
            << BrowseOptions{true, false, false, false, false, false, false, true} << 0x4001u;
    }

    void flags() {
        QFETCH(BrowseOptions, options);
        QTEST(BuildBrowseFlags(options), "expected");
    }

    void browse_data() {
        QTest::addColumn<QString>("startDirectory"); // below a temporary folder
        QTest::addColumn<bool>("rooted");
        QTest::newRow("no start directory") << QString() << false;
        QTest::newRow("existing folder") << u"."_s << true;
        QTest::newRow("missing folder") << u"missing"_s << false;
        QTest::newRow("a file") << u"file.txt"_s << false;
    }

    // The dialog gets the caption and the option word, and is held in the start directory
    // only when that is a folder (a missing one would leave the user in an empty tree).
    // The choice lands in FullName alone; a cancel takes it away again.
    void browse() {
        QFETCH(QString, startDirectory);
        QTemporaryDir temp;
        QFile file(temp.filePath(u"file.txt"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        if (!startDirectory.isEmpty())
            startDirectory = temp.filePath(startDirectory);
        FolderBrowse control(platform_);
        control.setStartDirectory(startDirectory);
        control.setCaption(u"Pick"_s);
        control.setIncludeFiles(true);
        FolderBrowseState expected = control.State();
        platform_.folderAnswer = u"/home/user/Pictures"_s;
        QVERIFY(control.Browse());
        const FolderDialogRequest request = platform_.folderRequests.value(0);
        QFETCH(bool, rooted);
        QCOMPARE(request.rootFolder, rooted ? startDirectory : QString());
        QCOMPARE(request.title, u"Pick"_s);
        QCOMPARE(request.options, 0x4022u);
        expected.fullName = platform_.folderAnswer;
        QCOMPARE(control.State(), expected);
        platform_.folderAnswer.clear();
        QVERIFY(!control.Browse());
        expected.fullName.clear();
        QCOMPARE(control.State(), expected);
    }

    void readOnlyAssignmentFails_data() {
        QTest::addColumn<bool>("runTime");
        QTest::addColumn<int>("error");
        QTest::newRow("FullName at run time") << true << 382;
        QTest::newRow("FileHidden at design time") << false << 387;
    }

    void readOnlyAssignmentFails() {
        QFETCH(bool, runTime);
        FolderBrowse control(platform_);
        platform_.folderAnswer = u"/chosen"_s;
        QVERIFY(control.Browse());
        control.setUserMode(runTime);
        const FolderBrowseState before = control.State();
        QSignalSpy changes(&control, &FolderBrowse::propertyChanged);
        try {
            runTime ? control.setFullName(u"/elsewhere"_s) : control.setFileHidden(true);
            QFAIL("assigning a read-only property did not fail");
        } catch (const FolderBrowseError& e) {
            QTEST(e.Number(), "error");
        }
        QCOMPARE(control.State(), before);
        QCOMPARE(changes.size(), 0);
    }

    void propertyBagStoresOnlyWhatDiffers() {
        FolderBrowse control(platform_);
        PropertyBag bag;
        control.WriteProperties(bag);
        QCOMPARE(bag.Keys(), QStringList()); // a fresh control stores nothing
        control.setBrowseEnabled(false);
        control.setValidateSelection(false);
        control.setCaption(u"Choose"_s);
        control.WriteProperties(bag);
        QCOMPARE(bag.Keys(), QStringList({u"Enabled"_s, u"Caption"_s, u"ValidateSelection"_s}));
        FolderBrowse loaded(platform_);
        loaded.ReadProperties(bag);
        QCOMPARE(loaded.State(), control.State());
        // Back at the defaults, the entries saved earlier go, or they would come back on load.
        control.ReadProperties(PropertyBag{});
        QCOMPARE(control.State(), FolderBrowseState{});
        control.WriteProperties(bag);
        QCOMPARE(bag.Keys(), QStringList());
    }

    // The page loads and writes the first selected control only; Changed is set by edits,
    // not by loading the values already shown, and only the host clears it.
    void propertyPage() {
        FolderBrowse first(platform_), second(platform_);
        second.setCaption(u"Second"_s);
        const FolderBrowseState secondBefore = second.State();
        BrowseProperties page;
        page.setSelectedControls({&first, &second});
        page.SelectionChanged();
        page.setChanged(false);
        page.SelectionChanged();
        QVERIFY(!page.Changed());
        auto* caption = page.findChild<QLineEdit*>(u"txtCaption"_s);
        QCOMPARE(caption->text(), u"Folder Browser"_s);
        caption->setText(u"Edited"_s);
        QVERIFY(page.Changed());
        page.setChanged(false);
        page.findChild<QCheckBox*>(u"chkEnabled"_s)->setCheckState(Qt::Unchecked);
        QVERIFY(page.Changed());
        // Greyed reads as false.
        page.findChild<QCheckBox*>(u"chkValidateSelection"_s)->setCheckState(Qt::PartiallyChecked);
        page.ApplyChanges();
        QVERIFY(page.Changed());
        FolderBrowseState expected;
        expected.caption = u"Edited"_s;
        expected.enabled = false;
        expected.validateSelection = false;
        QCOMPARE(first.State(), expected);
        QVERIFY(first.isEnabled()); // the saved property is not the widget's own state
        QCOMPARE(second.State(), secondBefore);
    }

private:
    FakePlatform platform_{u"/nonexistent"_s};
};

QTEST_MAIN(TstFolderbrowse)
#include "tst_folderbrowse.moc"
