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
    void initTestCase() {
        QVERIFY(QDir().mkpath(root() + "/Alpha"));
        QVERIFY(QDir().mkpath(root() + "/Beta/Inner"));
        QVERIFY(QDir().mkpath(tmp_.filePath("outside")));
        QFile readme(root() + "/readme.txt");
        QVERIFY(readme.open(QIODevice::WriteOnly));
    }

    void rootIsTheOnlyTopItem() {
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

    void controlsFollowTheOptions_data() {
        QTest::addColumn<unsigned>("options");
        QTest::addColumn<bool>("editBox");
        QTest::addColumn<bool>("newFolderButton");
        QTest::addColumn<bool>("okEnabled");
        QTest::addColumn<QStringList>("listed"); // below the root
        const QStringList folders = {"Alpha", "Beta"};
        QTest::newRow("defaults 0x0022") << 0x0022u << false << false << true << folders;
        QTest::newRow("edit box 0x0010") << 0x0032u << true << false << true << folders;
        QTest::newRow("new style 0x0040") << 0x0062u << false << true << true << folders;
        QTest::newRow("computers only 0x1000") << 0x1022u << false << false << false << folders;
        QTest::newRow("printers only 0x2000") << 0x2022u << false << false << false << folders;
        QTest::newRow("files too 0x4000")
            << 0x4022u << false << false << true << QStringList{"Alpha", "Beta", "readme.txt"};
    }

    void controlsFollowTheOptions() {
        QFETCH(unsigned, options);
        FolderDialog dialog({QString(), root(), options});
        QTEST(dialog.findChild<QLineEdit*>("nameEdit") != nullptr, "editBox");
        QTEST(dialog.findChild<QPushButton*>("newFolderButton") != nullptr, "newFolderButton");
        QTEST(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled(),
              "okEnabled");
        auto* tree = dialog.findChild<QTreeView*>("folderTree");
        const QPersistentModelIndex rootItem = tree->currentIndex();
        QVERIFY(rootItem.isValid());
        QFETCH(QStringList, listed);
        QTRY_COMPARE_WITH_TIMEOUT(childNames(*tree, rootItem), listed, 30000);
    }

    void selectionStaysInsideTheRoot() {
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

    void confirm_data() {
        QTest::addColumn<unsigned>("options");
        QTest::addColumn<QString>("select"); // below the root
        QTest::addColumn<QString>("typed");  // into the name box; "@" stands for the tmp folder
        QTest::addColumn<QString>("chosen"); // below the tmp folder; "-" = refused
        const auto row = [](const char* name, unsigned options, const char* select,
                            const char* typed, const char* chosen) {
            QTest::newRow(name) << options << QString::fromUtf8(select) << QString::fromUtf8(typed)
                                << QString::fromUtf8(chosen);
        };
        row("folder", 0x0022, "Beta", "", "root/Beta");
        row("the root itself", 0x0022, "", "", "root");
        row("file when files are listed", 0x4022, "readme.txt", "", "root/readme.txt");
        row("file refused when only folders count", 0x4023, "readme.txt", "", "-");
        row("computers only", 0x1022, "Beta", "", "-");
        // With the edit box (0x0010): a name typed there counts from the selected folder.
        row("name unchanged", 0x0032, "Beta", "", "root/Beta");
        row("child of the selection", 0x0032, "Beta", "Inner", "root/Beta/Inner");
        row("blanks around the name", 0x0032, "Beta", "  Inner ", "root/Beta/Inner");
        row("missing folder", 0x0032, "Beta", "Nowhere", "-");
        row("absolute path inside", 0x0032, "Alpha", "@root/Beta", "root/Beta");
        row("absolute path outside", 0x0032, "Alpha", "@outside", "-");
        row("climbing out", 0x0032, "Alpha", "../../outside", "-");
        row("a file is not a folder", 0x0032, "", "readme.txt", "-");
    }

    void confirm() {
        QFETCH(unsigned, options);
        QFETCH(QString, select);
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        FolderDialog dialog({QString(), root(), options});
        QVERIFY(dialog.selectPath(select.isEmpty() ? root() : root() + "/" + select));
        if (auto* edit = dialog.findChild<QLineEdit*>("nameEdit")) {
            // The box shows the selected item's name until the user types.
            QCOMPARE(edit->text(), select.isEmpty() ? QStringLiteral("root") : select);
            if (!typed.isEmpty())
                edit->setText(typed.replace(QLatin1Char('@'), tmp_.path() + "/"));
        }
        dialog.accept();
        const bool refused = chosen == "-";
        QCOMPARE(dialog.result(), int(refused ? QDialog::Rejected : QDialog::Accepted));
        QCOMPARE(dialog.chosenPath(),
                 refused ? QString() : QDir::toNativeSeparators(tmp_.filePath(chosen)));
    }

    void noRootStartsAtHome_data() {
        QTest::addColumn<QString>("rootFolder");
        QTest::newRow("empty root") << QString();
        QTest::newRow("missing root") << QStringLiteral("/no/such/folder/anywhere");
    }

    void noRootStartsAtHome() {
        QFETCH(QString, rootFolder);
        FolderDialog dialog({QString(), rootFolder, 0x0022});
        QCOMPARE(dialog.rootPath(), QString());
        QCOMPARE(dialog.selectedPath(), QDir::homePath());
        // With no root the user may go anywhere.
        QVERIFY(dialog.selectPath(tmp_.filePath("outside")));
    }

    void newFolder() {
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

private:
    QString root() const { return tmp_.filePath("root"); }

    static QStringList childNames(const QTreeView& tree, const QModelIndex& parent) {
        QAbstractItemModel* model = tree.model();
        if (model->canFetchMore(parent))
            model->fetchMore(parent);
        QStringList names;
        for (int row = 0; row < model->rowCount(parent); ++row)
            names << model->index(row, 0, parent).data().toString();
        names.sort();
        return names;
    }
    QTemporaryDir tmp_;
};

QTEST_MAIN(FolderDialogTest)
#include "tst_FolderDialog.moc"
