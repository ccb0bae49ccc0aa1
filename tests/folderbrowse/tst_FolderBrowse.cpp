#include "folderbrowse/FolderBrowse.h"
#include "folderbrowse/FolderBrowseError.h"
#include "folderbrowse/PropertyBag.h"
#include "support/FakePlatform.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <functional>

using Assign = std::function<void(FolderBrowse&)>;
Q_DECLARE_METATYPE(Assign)

class TestFolderBrowse : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void defaultsGiveWordAndTitle();
    void chosenFolderThenCancel();
    void resultSlotsStayEmptyAfterBrowse();
    void rootFolder_data();
    void rootFolder();
    void readOnlyAssignmentFails_data();
    void readOnlyAssignmentFails();
    void readWriteAssignmentNotifies_data();
    void readWriteAssignmentNotifies();
    void emptyBagRestoresDefaults();
    void freshInstanceStoresNoKeys();
    void changedInstanceStoresExactlyTheChangedKeys();
    void sizeIsForcedTo390Twips();

private:
    FakePlatform platform{QStringLiteral("/nonexistent")};
};

void TestFolderBrowse::defaultsGiveWordAndTitle() {
    FolderBrowse control(platform);
    platform.folderRequests.clear();
    platform.folderAnswer.clear();
    QVERIFY(!control.Browse());
    QCOMPARE(platform.folderRequests.size(), 1);
    QCOMPARE(platform.folderRequests[0].options, 0x0022u);
    QCOMPARE(platform.folderRequests[0].title, QStringLiteral("Folder Browser"));
    QCOMPARE(platform.folderRequests[0].rootFolder, QString());
}

void TestFolderBrowse::chosenFolderThenCancel() {
    FolderBrowse control(platform);
    control.setCaption(QStringLiteral("Pick the snapshot folder"));
    control.setIncludeFiles(true);
    platform.folderRequests.clear();

    platform.folderAnswer = QStringLiteral("/home/user/Pictures");
    QVERIFY(control.Browse());
    QCOMPARE(control.FullName(), QStringLiteral("/home/user/Pictures"));
    QCOMPARE(platform.folderRequests.last().title, QStringLiteral("Pick the snapshot folder"));
    QCOMPARE(platform.folderRequests.last().options, 0x4022u);

    // A cancel must not leave the previous choice behind.
    platform.folderAnswer.clear();
    QVERIFY(!control.Browse());
    QCOMPARE(control.FullName(), QString());
    QCOMPARE(platform.folderRequests.size(), 2);
}

void TestFolderBrowse::resultSlotsStayEmptyAfterBrowse() {
    FolderBrowse control(platform);
    platform.folderAnswer = QStringLiteral("/srv");
    QVERIFY(control.Browse());
    FolderBrowseState expected;
    expected.fullName = QStringLiteral("/srv");
    QCOMPARE(control.State(), expected);
}

void TestFolderBrowse::rootFolder_data() {
    QTest::addColumn<QString>("startDirectory");
    QTest::addColumn<bool>("rooted");

    QTest::newRow("empty") << QString() << false;
    QTest::newRow("existing folder") << QStringLiteral("<temp>") << true;
    QTest::newRow("missing folder") << QStringLiteral("<temp>/missing") << false;
    QTest::newRow("a file") << QStringLiteral("<temp>/file.txt") << false;
}

void TestFolderBrowse::rootFolder() {
    QFETCH(QString, startDirectory);
    QFETCH(bool, rooted);

    QTemporaryDir temp;
    QVERIFY(temp.isValid());
    QFile file(temp.filePath(QStringLiteral("file.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    startDirectory.replace(QStringLiteral("<temp>"), temp.path());

    FolderBrowse control(platform);
    control.setStartDirectory(startDirectory);
    platform.folderRequests.clear();
    (void)control.Browse();
    QCOMPARE(platform.folderRequests.size(), 1);
    QCOMPARE(platform.folderRequests[0].rootFolder, rooted ? startDirectory : QString());
}

void TestFolderBrowse::readOnlyAssignmentFails_data() {
    QTest::addColumn<Assign>("assign");
    QTest::addColumn<bool>("runTime");
    QTest::addColumn<int>("error");

    const QList<QPair<const char*, Assign>> assignments = {
        {"FolderName", [](FolderBrowse& c) { c.setFolderName(QStringLiteral("x")); }},
        {"FileName", [](FolderBrowse& c) { c.setFileName(QStringLiteral("x")); }},
        {"FullName", [](FolderBrowse& c) { c.setFullName(QStringLiteral("/elsewhere")); }},
        {"DisplayName", [](FolderBrowse& c) { c.setDisplayName(QStringLiteral("x")); }},
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

void TestFolderBrowse::readOnlyAssignmentFails() {
    QFETCH(Assign, assign);
    QFETCH(bool, runTime);
    QFETCH(int, error);

    FolderBrowse control(platform);
    platform.folderAnswer = QStringLiteral("/chosen");
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
    QCOMPARE(control.FullName(), QStringLiteral("/chosen"));
    QCOMPARE(changes.size(), 0);
}

void TestFolderBrowse::readWriteAssignmentNotifies_data() {
    QTest::addColumn<Assign>("assign");
    QTest::addColumn<QString>("name");

    QTest::newRow("Enabled") << Assign([](FolderBrowse& c) { c.setEnabled(false); })
                             << QStringLiteral("Enabled");
    QTest::newRow("StartDirectory")
        << Assign([](FolderBrowse& c) { c.setStartDirectory(QStringLiteral("/tmp")); })
        << QStringLiteral("StartDirectory");
    // Assigning the value already held still notifies; the container decides.
    QTest::newRow("Caption unchanged")
        << Assign([](FolderBrowse& c) { c.setCaption(QStringLiteral("Folder Browser")); })
        << QStringLiteral("Caption");
    QTest::newRow("UseNewUI") << Assign([](FolderBrowse& c) { c.setUseNewUI(true); })
                              << QStringLiteral("UseNewUI");
}

void TestFolderBrowse::readWriteAssignmentNotifies() {
    QFETCH(Assign, assign);
    QFETCH(QString, name);

    FolderBrowse control(platform);
    control.setUserMode(false);
    QSignalSpy changes(&control, &FolderBrowse::propertyChanged);
    assign(control);
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes[0][0].toString(), name);
}

void TestFolderBrowse::emptyBagRestoresDefaults() {
    FolderBrowse control(platform);
    control.setEnabled(false);
    control.setDontGoBelowDomain(false);
    control.setValidateSelection(false);
    control.setCaption(QStringLiteral("Other"));
    platform.folderAnswer = QStringLiteral("/chosen");
    QVERIFY(control.Browse());

    control.ReadProperties(PropertyBag{});
    QCOMPARE(control.State(), FolderBrowseState{});
    QVERIFY(control.Enabled());
    QVERIFY(control.DontGoBelowDomain());
    QVERIFY(control.ValidateSelection());
    QCOMPARE(control.Caption(), QStringLiteral("Folder Browser"));
}

void TestFolderBrowse::freshInstanceStoresNoKeys() {
    FolderBrowse control(platform);
    PropertyBag bag;
    control.WriteProperties(bag);
    QCOMPARE(bag.Keys(), QStringList());
    QCOMPARE(bag.Extent(), QSize(688, 688));
}

void TestFolderBrowse::changedInstanceStoresExactlyTheChangedKeys() {
    FolderBrowse control(platform);
    control.setIncludeFiles(true);
    control.setEnabled(false);
    control.setValidateSelection(false);
    control.setStartDirectory(QStringLiteral("/media"));
    control.setCaption(QStringLiteral("Choose"));

    PropertyBag bag;
    control.WriteProperties(bag);
    QCOMPARE(bag.Keys(),
             QStringList({QStringLiteral("Enabled"), QStringLiteral("StartDirectory"),
                          QStringLiteral("Caption"), QStringLiteral("ValidateSelection"),
                          QStringLiteral("IncludeFiles")}));

    FolderBrowse loaded(platform);
    loaded.ReadProperties(bag);
    QCOMPARE(loaded.State(), control.State());

    // Back to a default: the entry saved earlier must go, or it would come back on load.
    control.InitProperties();
    control.WriteProperties(bag);
    QCOMPARE(bag.Keys(), QStringList());
}

void TestFolderBrowse::sizeIsForcedTo390Twips() {
    QWidget form;
    form.resize(400, 300);
    auto* control = new FolderBrowse(platform, &form);
    form.show();
    // It lends its window to the dialog and must not show on the container.
    QVERIFY(!control->isVisible());

    const int width = qRound(390.0 * form.logicalDpiX() / 1440.0);
    const int height = qRound(390.0 * form.logicalDpiY() / 1440.0);
    if (form.logicalDpiX() == 96)
        QCOMPARE(width, 26);

    control->resize(300, 120);
    QCOMPARE(control->size(), QSize(width, height));
    control->setGeometry(10, 10, 5, 5);
    QCOMPARE(control->size(), QSize(width, height));
    control->show();
    control->resize(200, 200);
    QCOMPARE(control->size(), QSize(width, height));
}

QTEST_MAIN(TestFolderBrowse)
#include "tst_FolderBrowse.moc"
