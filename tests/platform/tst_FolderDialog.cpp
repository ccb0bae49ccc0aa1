#include "platform/FolderDialog.h"

#include <QAbstractItemModel>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

// The dialog over a folder tree:  <tmp>/root/{Alpha, Beta/Inner, readme.txt}, and
// <tmp>/outside beside the root.
class FolderDialogTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void rootIsTheOnlyTopItem();
    void filesListedOnlyOnRequest_data();
    void filesListedOnlyOnRequest();
    void controlsFollowTheOptions_data();
    void controlsFollowTheOptions();
    void selectionStaysInsideTheRoot();
    void confirmSelection_data();
    void confirmSelection();
    void typedName_data();
    void typedName();
    void noRootStartsAtHome_data();
    void noRootStartsAtHome();
    void newFolder();

private:
    QString root() const { return tmp_.filePath("root"); }
    static QStringList childNames(const QTreeView& tree, const QModelIndex& parent);
    QTemporaryDir tmp_;
};

void FolderDialogTest::initTestCase() {
    QVERIFY(QDir().mkpath(root() + "/Alpha"));
    QVERIFY(QDir().mkpath(root() + "/Beta/Inner"));
    QVERIFY(QDir().mkpath(tmp_.filePath("outside")));
    QFile readme(root() + "/readme.txt");
    QVERIFY(readme.open(QIODevice::WriteOnly));
}

QStringList FolderDialogTest::childNames(const QTreeView& tree, const QModelIndex& parent) {
    QAbstractItemModel* model = tree.model();
    if (model->canFetchMore(parent))
        model->fetchMore(parent);
    QStringList names;
    for (int row = 0; row < model->rowCount(parent); ++row)
        names << model->index(row, 0, parent).data().toString();
    names.sort();
    return names;
}

void FolderDialogTest::rootIsTheOnlyTopItem() {
    FolderDialog dialog({QStringLiteral("Pick a folder"), root(), 0});
    auto* tree = dialog.findChild<QTreeView*>("folderTree");
    QVERIFY(tree);
    QCOMPARE(dialog.rootPath(), QDir::cleanPath(root()));
    // The root's siblings (here "outside") never show; only the root itself.
    QTRY_COMPARE_WITH_TIMEOUT(childNames(*tree, tree->rootIndex()), QStringList{"root"}, 30000);
    QCOMPARE(dialog.selectedPath(), QDir::cleanPath(root()));
    auto* instruction = dialog.findChild<QLabel*>("instruction");
    QVERIFY(instruction);
    QCOMPARE(instruction->text(), QStringLiteral("Pick a folder"));
    QVERIFY(!instruction->isHidden());

    FolderDialog untitled({QString(), root(), 0});
    QVERIFY(untitled.findChild<QLabel*>("instruction")->isHidden());
}

void FolderDialogTest::filesListedOnlyOnRequest_data() {
    QTest::addColumn<unsigned>("options");
    QTest::addColumn<QStringList>("children");
    QTest::newRow("folders only (0x0022)") << 0x0022u << QStringList{"Alpha", "Beta"};
    QTest::newRow("files too (0x4000)") << 0x4022u << QStringList{"Alpha", "Beta", "readme.txt"};
}

void FolderDialogTest::filesListedOnlyOnRequest() {
    QFETCH(unsigned, options);
    QFETCH(QStringList, children);
    FolderDialog dialog({QString(), root(), options});
    auto* tree = dialog.findChild<QTreeView*>("folderTree");
    const QPersistentModelIndex rootItem = tree->currentIndex();
    QVERIFY(rootItem.isValid());
    QTRY_COMPARE_WITH_TIMEOUT(childNames(*tree, rootItem), children, 30000);
}

void FolderDialogTest::controlsFollowTheOptions_data() {
    QTest::addColumn<unsigned>("options");
    QTest::addColumn<bool>("editBox");
    QTest::addColumn<bool>("newFolderButton");
    QTest::addColumn<bool>("okEnabled");
    QTest::newRow("defaults 0x0022") << 0x0022u << false << false << true;
    QTest::newRow("edit box 0x0010") << 0x0032u << true << false << true;
    QTest::newRow("new style 0x0040") << 0x0062u << false << true << true;
    QTest::newRow("computers only 0x1000") << 0x1022u << false << false << false;
    QTest::newRow("printers only 0x2000") << 0x2022u << false << false << false;
}

void FolderDialogTest::controlsFollowTheOptions() {
    QFETCH(unsigned, options);
    FolderDialog dialog({QString(), root(), options});
    QTEST(dialog.findChild<QLineEdit*>("nameEdit") != nullptr, "editBox");
    QTEST(dialog.findChild<QPushButton*>("newFolderButton") != nullptr, "newFolderButton");
    auto* buttons = dialog.findChild<QDialogButtonBox*>();
    QTEST(buttons->button(QDialogButtonBox::Ok)->isEnabled(), "okEnabled");
}

void FolderDialogTest::selectionStaysInsideTheRoot() {
    FolderDialog dialog({QString(), root(), 0x0022});
    QVERIFY(!dialog.selectPath(tmp_.filePath("outside")));
    QVERIFY(!dialog.selectPath(tmp_.path()));
    QVERIFY(!dialog.selectPath(root() + "/Missing"));
    QCOMPARE(dialog.selectedPath(), QDir::cleanPath(root()));
    QVERIFY(dialog.selectPath(root() + "/Beta/Inner"));
    QCOMPARE(dialog.selectedPath(), QDir::cleanPath(root() + "/Beta/Inner"));
    // A path that climbs out through ".." is still outside.
    QVERIFY(!dialog.selectPath(root() + "/Beta/../../outside"));
}

void FolderDialogTest::confirmSelection_data() {
    QTest::addColumn<unsigned>("options");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("chosen"); // relative to the root; "-" = refused
    QTest::newRow("folder") << 0x0022u << "Beta"
                            << "Beta";
    QTest::newRow("the root itself") << 0x0022u << ""
                                     << "";
    QTest::newRow("file when files are listed") << 0x4022u << "readme.txt"
                                                << "readme.txt";
    QTest::newRow("file refused when only folders count") << 0x4023u << "readme.txt"
                                                          << "-";
    QTest::newRow("computers only") << 0x1022u << "Beta"
                                    << "-";
}

void FolderDialogTest::confirmSelection() {
    QFETCH(unsigned, options);
    QFETCH(QString, select);
    QFETCH(QString, chosen);
    FolderDialog dialog({QString(), root(), options});
    QVERIFY(dialog.selectPath(select.isEmpty() ? root() : root() + "/" + select));
    dialog.accept();
    if (chosen == "-") {
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.chosenPath(), QString());
    } else {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const QString expected = chosen.isEmpty() ? root() : root() + "/" + chosen;
        QCOMPARE(dialog.chosenPath(), QDir::toNativeSeparators(QDir::cleanPath(expected)));
    }
}

void FolderDialogTest::typedName_data() {
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen"); // relative to the tmp folder; "-" = refused
    QTest::newRow("name unchanged") << "Beta"
                                    << ""
                                    << "root/Beta";
    QTest::newRow("child of the selection") << "Beta"
                                            << "Inner"
                                            << "root/Beta/Inner";
    QTest::newRow("blanks around the name") << "Beta"
                                            << "  Inner "
                                            << "root/Beta/Inner";
    QTest::newRow("missing folder") << "Beta"
                                    << "Nowhere"
                                    << "-";
    QTest::newRow("absolute path inside") << "Alpha"
                                          << "@root/Beta"
                                          << "root/Beta";
    QTest::newRow("absolute path outside") << "Alpha"
                                           << "@outside"
                                           << "-";
    QTest::newRow("climbing out") << "Alpha"
                                  << "../../outside"
                                  << "-";
    QTest::newRow("a file is not a folder") << ""
                                            << "readme.txt"
                                            << "-";
}

void FolderDialogTest::typedName() {
    QFETCH(QString, select);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    FolderDialog dialog({QString(), root(), 0x0032});
    QVERIFY(dialog.selectPath(select.isEmpty() ? root() : root() + "/" + select));
    auto* edit = dialog.findChild<QLineEdit*>("nameEdit");
    QVERIFY(edit);
    // The box shows the selected item's name until the user types.
    QCOMPARE(edit->text(), select.isEmpty() ? QStringLiteral("root") : select);
    if (!typed.isEmpty()) {
        if (typed.startsWith('@'))
            typed = tmp_.filePath(typed.mid(1));
        edit->setText(typed);
    }
    dialog.accept();
    if (chosen == "-") {
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.chosenPath(), QString());
    } else {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosenPath(), QDir::toNativeSeparators(tmp_.filePath(chosen)));
    }
}

void FolderDialogTest::noRootStartsAtHome_data() {
    QTest::addColumn<QString>("rootFolder");
    QTest::newRow("empty root") << QString();
    QTest::newRow("missing root") << QStringLiteral("/no/such/folder/anywhere");
}

void FolderDialogTest::noRootStartsAtHome() {
    QFETCH(QString, rootFolder);
    FolderDialog dialog({QString(), rootFolder, 0x0022});
    QCOMPARE(dialog.rootPath(), QString());
    QCOMPARE(dialog.selectedPath(), QDir::homePath());
    // With no root the user may go anywhere.
    QVERIFY(dialog.selectPath(tmp_.filePath("outside")));
}

void FolderDialogTest::newFolder() {
    FolderDialog dialog({QString(), root(), 0x0062});
    QVERIFY(dialog.selectPath(root() + "/Alpha"));
    auto* button = dialog.findChild<QPushButton*>("newFolderButton");
    QVERIFY(button);
    button->click();
    QVERIFY(QFileInfo(root() + "/Alpha/New Folder").isDir());
    QCOMPARE(dialog.selectedPath(), QDir::cleanPath(root() + "/Alpha/New Folder"));
    QVERIFY(dialog.selectPath(root() + "/Alpha"));
    button->click();
    QVERIFY(QFileInfo(root() + "/Alpha/New Folder (2)").isDir());
}

QTEST_MAIN(FolderDialogTest)
#include "tst_FolderDialog.moc"
