// The folder browse control: its option word, the dialog it asks for, read-only
// properties, the property bag and its fixed size.
#include "folderbrowse/BrowseFlags.h"
#include "folderbrowse/FolderBrowse.h"
#include "folderbrowse/FolderBrowseError.h"
#include "folderbrowse/PropertyBag.h"
#include "support/FakePlatform.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using namespace Qt::Literals::StringLiterals;

using Assign = std::function<void(FolderBrowse&)>;
Q_DECLARE_METATYPE(Assign)
Q_DECLARE_METATYPE(BrowseOptions)

class TestFolderBrowse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() {
        platform.folderRequests.clear();
        platform.folderAnswer.clear();
    }

    void flags_data() {
        QTest::addColumn<BrowseOptions>("options");
        QTest::addColumn<unsigned>("expected");
        BrowseOptions none;
        none.dontGoBelowDomain = false;
        none.validateSelection = false;
        QTest::newRow("defaults") << BrowseOptions{} << 0x0022u;
        QTest::newRow("none") << none << 0x0000u;
        const auto only = [&](const char* name, bool BrowseOptions::*option, unsigned bit) {
            BrowseOptions o = none;
            o.*option = true;
            QTest::newRow(name) << o << bit;
        };
        only("OnlyFileSystemDirectories", &BrowseOptions::onlyFileSystemDirectories, 0x0001);
        only("DontGoBelowDomain", &BrowseOptions::dontGoBelowDomain, 0x0002);
        only("AllowEditBox", &BrowseOptions::allowEditBox, 0x0010);
        only("ValidateSelection", &BrowseOptions::validateSelection, 0x0020);
        // The new dialog style alone, never the combined new-UI value 0x0050.
        only("UseNewUI", &BrowseOptions::useNewUI, 0x0040);
        only("BrowseForComputer", &BrowseOptions::browseForComputer, 0x1000);
        only("BrowseForPrinter", &BrowseOptions::browseForPrinter, 0x2000);
        only("IncludeFiles", &BrowseOptions::includeFiles, 0x4000);
        QTest::newRow("all eight")
            << BrowseOptions{true, true, true, true, true, true, true, true} << 0x7073u;
    }

    void flags() {
        QFETCH(BrowseOptions, options);
        QTEST(BuildBrowseFlags(options), "expected");
    }

    void browse() {
        FolderBrowse control(platform);
        QVERIFY(!control.Browse()); // the defaults, cancelled

        control.setCaption(u"Pick the snapshot folder"_s);
        control.setIncludeFiles(true);
        platform.folderAnswer = u"/home/user/Pictures"_s;
        QVERIFY(control.Browse());
        // Only FullName is filled in; the other result properties stay empty.
        FolderBrowseState expected;
        expected.caption = u"Pick the snapshot folder"_s;
        expected.includeFiles = true;
        expected.fullName = u"/home/user/Pictures"_s;
        QCOMPARE(control.State(), expected);

        // A cancel must not leave the previous choice behind.
        platform.folderAnswer.clear();
        QVERIFY(!control.Browse());
        QCOMPARE(control.FullName(), QString());

        QCOMPARE(platform.folderRequests.size(), 3);
        QCOMPARE(platform.folderRequests[0].options, 0x0022u);
        QCOMPARE(platform.folderRequests[0].title, u"Folder Browser"_s);
        QCOMPARE(platform.folderRequests[1].options, 0x4022u);
        QCOMPARE(platform.folderRequests[1].title, u"Pick the snapshot folder"_s);
    }

    void rootFolder_data() {
        QTest::addColumn<QString>("startDirectory");
        QTest::addColumn<bool>("rooted");
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("existing folder") << u"<temp>"_s << true;
        QTest::newRow("missing folder") << u"<temp>/missing"_s << false;
        QTest::newRow("a file") << u"<temp>/file.txt"_s << false;
    }

    // The start directory becomes the dialog's root only when it is a folder.
    void rootFolder() {
        QFETCH(QString, startDirectory);
        QFETCH(bool, rooted);
        QTemporaryDir temp;
        QFile file(temp.filePath(u"file.txt"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        startDirectory.replace(u"<temp>"_s, temp.path());

        FolderBrowse control(platform);
        control.setStartDirectory(startDirectory);
        (void)control.Browse();
        QCOMPARE(platform.folderRequests.size(), 1);
        QCOMPARE(platform.folderRequests[0].rootFolder, rooted ? startDirectory : QString());
    }

    void readOnlyAssignmentFails_data() {
        QTest::addColumn<Assign>("assign");
        QTest::addColumn<bool>("runTime");
        QTest::addColumn<int>("error");
        const QList<std::pair<const char*, Assign>> assignments = {
            {"FolderName", [](FolderBrowse& c) { c.setFolderName(u"x"_s); }},
            {"FileName", [](FolderBrowse& c) { c.setFileName(u"x"_s); }},
            {"FullName", [](FolderBrowse& c) { c.setFullName(u"/elsewhere"_s); }},
            {"DisplayName", [](FolderBrowse& c) { c.setDisplayName(u"x"_s); }},
            {"FileReadOnly", [](FolderBrowse& c) { c.setFileReadOnly(true); }},
            {"FileHidden", [](FolderBrowse& c) { c.setFileHidden(true); }},
            {"FileSystem", [](FolderBrowse& c) { c.setFileSystem(true); }},
            {"FileCompressed", [](FolderBrowse& c) { c.setFileCompressed(true); }},
            {"FileArchived", [](FolderBrowse& c) { c.setFileArchived(true); }},
        };
        for (const auto& [name, assign] : assignments) {
            QTest::addRow("%s at run time", name) << assign << true << 382;
            QTest::addRow("%s at design time", name) << assign << false << 387;
        }
    }

    void readOnlyAssignmentFails() {
        QFETCH(Assign, assign);
        QFETCH(bool, runTime);
        QFETCH(int, error);
        FolderBrowse control(platform);
        platform.folderAnswer = u"/chosen"_s;
        QVERIFY(control.Browse());
        control.setUserMode(runTime);
        const FolderBrowseState before = control.State();
        QSignalSpy changes(&control, &FolderBrowse::propertyChanged);
        try {
            assign(control);
            QFAIL("assigning a read-only property did not fail");
        } catch (const FolderBrowseError& e) {
            QCOMPARE(e.Number(), error);
            QVERIFY(QByteArray(e.what()).contains(QByteArray::number(error)));
        }
        QCOMPARE(control.State(), before);
        QCOMPARE(control.FullName(), u"/chosen"_s);
        QCOMPARE(changes.size(), 0);
    }

    void readWriteAssignmentNotifies_data() {
        QTest::addColumn<Assign>("assign");
        QTest::addColumn<QString>("name");
        QTest::newRow("Enabled") << Assign([](FolderBrowse& c) { c.setEnabled(false); })
                                 << u"Enabled"_s;
        QTest::newRow("StartDirectory")
            << Assign([](FolderBrowse& c) { c.setStartDirectory(u"/tmp"_s); })
            << u"StartDirectory"_s;
        // Assigning the value already held still notifies; the container decides.
        QTest::newRow("Caption unchanged")
            << Assign([](FolderBrowse& c) { c.setCaption(u"Folder Browser"_s); }) << u"Caption"_s;
        QTest::newRow("UseNewUI") << Assign([](FolderBrowse& c) { c.setUseNewUI(true); })
                                  << u"UseNewUI"_s;
    }

    void readWriteAssignmentNotifies() {
        QFETCH(Assign, assign);
        QFETCH(QString, name);
        FolderBrowse control(platform);
        control.setUserMode(false);
        QSignalSpy changes(&control, &FolderBrowse::propertyChanged);
        assign(control);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(changes[0][0].toString(), name);
    }

    void bagStoresOnlyWhatDiffers_data() {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QVariant>("defaultValue");
        QTest::addColumn<bool>("stored");
        QTest::newRow("true, default true") << QVariant(true) << QVariant(true) << false;
        QTest::newRow("false, default true") << QVariant(false) << QVariant(true) << true;
        QTest::newRow("null text, default empty")
            << QVariant(QString()) << QVariant(u""_s) << false;
        QTest::newRow("text, default empty") << QVariant(u"/tmp"_s) << QVariant(QString()) << true;
    }

    void bagStoresOnlyWhatDiffers() {
        QFETCH(QVariant, value);
        QFETCH(QVariant, defaultValue);
        QFETCH(bool, stored);
        PropertyBag bag;
        bag.WriteProperty(u"Key"_s, value, defaultValue);
        QCOMPARE(bag.Contains(u"Key"_s), stored);
        QCOMPARE(bag.ReadProperty(u"Key"_s, defaultValue), value);
        // Writing the default later removes what an earlier write stored.
        bag.WriteProperty(u"Key"_s, defaultValue, defaultValue);
        QVERIFY(bag.Keys().isEmpty());
    }

    void controlInTheBag() {
        FolderBrowse control(platform);
        PropertyBag bag;
        control.WriteProperties(bag);
        QCOMPARE(bag.Keys(), QStringList()); // a fresh instance stores nothing
        QCOMPARE(bag.Extent(), QSize(688, 688));

        control.setIncludeFiles(true);
        control.setEnabled(false);
        control.setValidateSelection(false);
        control.setStartDirectory(u"/media"_s);
        control.setCaption(u"Choose"_s);
        control.WriteProperties(bag);
        QCOMPARE(bag.Keys(), QStringList({u"Enabled"_s, u"StartDirectory"_s, u"Caption"_s,
                                          u"ValidateSelection"_s, u"IncludeFiles"_s}));
        FolderBrowse loaded(platform);
        loaded.ReadProperties(bag);
        QCOMPARE(loaded.State(), control.State());

        // An empty bag gives every default, a chosen folder included.
        platform.folderAnswer = u"/chosen"_s;
        QVERIFY(control.Browse());
        control.ReadProperties(PropertyBag{});
        QCOMPARE(control.State(), FolderBrowseState{});
        // Back at the defaults, the entries saved earlier go, or they would come back on load.
        control.WriteProperties(bag);
        QCOMPARE(bag.Keys(), QStringList());
    }

    void sizeIsForcedTo390Twips() {
        QWidget form;
        form.resize(400, 300);
        auto* control = new FolderBrowse(platform, &form);
        form.show();
        // It lends its window to the dialog and must not show on the container.
        QVERIFY(!control->isVisible());
        const QSize size(qRound(390.0 * form.logicalDpiX() / 1440.0),
                         qRound(390.0 * form.logicalDpiY() / 1440.0));
        control->resize(300, 120);
        QCOMPARE(control->size(), size);
        control->setGeometry(10, 10, 5, 5);
        QCOMPARE(control->size(), size);
        control->show();
        control->resize(200, 200);
        QCOMPARE(control->size(), size);
    }

private:
    FakePlatform platform{u"/nonexistent"_s};
};

QTEST_MAIN(TestFolderBrowse)
#include "tst_FolderBrowse.moc"
