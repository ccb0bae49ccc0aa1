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
        QTest::newRow("all eight")
            << BrowseOptions{true, true, true, true, true, true, true, true} << 0x7073u;
        // The new dialog style alone, never the combined new-UI value 0x0050; the rest at
        // their defaults.
        QTest::newRow("new UI, computers")
            << BrowseOptions{.useNewUI = true, .browseForComputer = true} << 0x1062u;
        QTest::newRow("file system, edit box, files")
            << BrowseOptions{true, false, true, false, false, false, false, true} << 0x4011u;
    }

    void flags() {
        QFETCH(BrowseOptions, options);
        QTEST(BuildBrowseFlags(options), "expected");
    }

    void browse_data() {
        QTest::addColumn<QString>("startDirectory");
        QTest::addColumn<bool>("rooted");
        QTest::newRow("a folder") << QDir::tempPath() << true;
        QTest::newRow("a file") << QCoreApplication::applicationFilePath() << false;
    }

    // The dialog gets the caption and the option word, and is held in the start directory
    // only when that is a folder (a missing one would leave the user in an empty tree).
    // The choice lands in FullName; a cancel takes it away again and leaves the rest as it was.
    void browse() {
        QFETCH(QString, startDirectory);
        QFETCH(bool, rooted);
        FolderBrowse control(platform_);
        control.setStartDirectory(startDirectory);
        control.setCaption(u"Pick"_s);
        control.setIncludeFiles(true);
        const FolderBrowseState before = control.State();
        platform_.folderAnswer = u"/home/user/Pictures"_s;
        QVERIFY(control.Browse());
        const FolderDialogRequest request = platform_.folderRequests.value(0);
        QCOMPARE(request.rootFolder, rooted ? startDirectory : QString());
        QCOMPARE(request.title, u"Pick"_s);
        QCOMPARE(request.options, 0x4022u);
        QCOMPARE(control.FullName(), platform_.folderAnswer);
        platform_.folderAnswer.clear();
        QVERIFY(!control.Browse());
        QCOMPARE(control.State(), before);
    }

    void readOnlyAssignmentFails_data() {
        QTest::addColumn<bool>("runTime");
        QTest::addColumn<int>("error");
        QTest::newRow("FullName at run time") << true << 382;
        QTest::newRow("FileHidden at design time") << false << 387;
    }

    // The error number tells run time from design time; the value stays as it was.
    void readOnlyAssignmentFails() {
        QFETCH(bool, runTime);
        FolderBrowse control(platform_);
        control.setUserMode(runTime);
        try {
            runTime ? control.setFullName(u"/elsewhere"_s) : control.setFileHidden(true);
            QFAIL("assigning a read-only property did not fail");
        } catch (const FolderBrowseError& e) {
            QTEST(e.Number(), "error");
        }
        QCOMPARE(control.State(), FolderBrowseState{});
    }

    // At design time the page loads and writes the first selected control only, and the
    // container saves only what differs from the defaults. Changed is set by edits, not by
    // loading the values already shown, and only the host clears it.
    void propertyPageAndBag() {
        FolderBrowse first(platform_), second(platform_);
        first.setCaption(u"First"_s);
        BrowseProperties page;
        page.setSelectedControls({&first, &second});
        page.SelectionChanged();
        page.setChanged(false);
        page.SelectionChanged();
        QVERIFY(!page.Changed());
        auto* caption = page.findChild<QLineEdit*>(u"txtCaption"_s);
        QCOMPARE(caption->text(), u"First"_s);
        caption->setText(u"Edited"_s);
        QVERIFY(page.Changed());
        page.setChanged(false);
        page.findChild<QCheckBox*>(u"chkEnabled"_s)->setCheckState(Qt::Unchecked);
        // Greyed reads as false.
        page.findChild<QCheckBox*>(u"chkValidateSelection"_s)->setCheckState(Qt::PartiallyChecked);
        page.ApplyChanges();
        QVERIFY(page.Changed()); // set by the check box, kept through the apply
        FolderBrowseState expected;
        expected.enabled = expected.validateSelection = false;
        expected.caption = u"Edited"_s;
        QCOMPARE(first.State(), expected);
        QVERIFY(first.isEnabled()); // the saved property is not the widget's own state
        QCOMPARE(second.State(), FolderBrowseState{});

        PropertyBag bag;
        first.WriteProperties(bag);
        QCOMPARE(bag.Keys(), QStringList({u"Enabled"_s, u"Caption"_s, u"ValidateSelection"_s}));
        second.ReadProperties(bag);
        QCOMPARE(second.State(), expected);
        // Back at the defaults, the entries saved earlier go, or they would come back on load.
        first.ReadProperties(PropertyBag{});
        QCOMPARE(first.State(), FolderBrowseState{});
        first.WriteProperties(bag);
        QCOMPARE(bag.Keys(), QStringList());
    }

private:
    FakePlatform platform_{u"/nonexistent"_s};
};

QTEST_MAIN(TstFolderbrowse)
#include "tst_folderbrowse.moc"
