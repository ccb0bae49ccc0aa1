// The platform layer: the single-instance claim as another process sees it, the open
// dialog's type list, the folder dialog and the message box.
#include "platform/FileDialogFilter.h"
#include "platform/FolderDialog.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace Qt::Literals::StringLiterals;

// Claims the lock in a second process; 1: another instance holds it, 0: it was free.
static int runProbe(const QString& lockPath) {
    QProcess probe;
    probe.start(QStringLiteral(INSTANCE_PROBE), {lockPath});
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit)
        return -1;
    return probe.exitCode();
}

class TstPlatform : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // <tmp>/root/{Alpha, Beta/Inner, readme.txt}, and <tmp>/outside beside the root.
        QVERIFY(QDir().mkpath(root() + u"/Alpha"_s));
        QVERIFY(QDir().mkpath(root() + u"/Beta/Inner"_s));
        QVERIFY(QDir().mkpath(tmp_.filePath(u"outside"_s)));
        QFile readme(root() + u"/readme.txt"_s);
        QVERIFY(readme.open(QIODevice::WriteOnly));
    }

    void claimSeenByAnotherProcess() {
        const QString lock = tmp_.filePath(u"claim/framora.lock"_s);
        {
            QtPlatform first(lock);
            QVERIFY(!first.anotherInstanceRunning());
            QVERIFY(!first.anotherInstanceRunning()); // the holder asking again keeps its claim
            QCOMPARE(runProbe(lock), 1);
        }
        QCOMPARE(runProbe(lock), 0);
        QCOMPARE(runProbe(lock), 0); // a probe that ended released its claim too

        // A lock folder that cannot exist (its parent is a file) must not block start-up.
        QtPlatform unusable(tmp_.filePath(u"root/readme.txt/sub/framora.lock"_s));
        QVERIFY(!unusable.anotherInstanceRunning());
    }

    void killedHoldersClaimIsTakenOver() {
        const QString lock = tmp_.filePath(u"killed.lock"_s);
        QProcess holder;
        holder.start(QStringLiteral(INSTANCE_PROBE), {lock, u"hold"_s});
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += holder.readAllStandardOutput()).contains("held") ||
                                     holder.state() == QProcess::NotRunning,
                                 60000);
        QCOMPARE(runProbe(lock), 1);
        holder.kill(); // no chance to clean up: the lock file stays behind
        QVERIFY(holder.waitForFinished(60000));
        QVERIFY(QFile::exists(lock));
        QtPlatform next(lock);
        QVERIFY(!next.anotherInstanceRunning());
        QCOMPARE(runProbe(lock), 1);
    }

    void nameFilters_data() {
        QTest::addColumn<QList<FileTypeFilter>>("filters");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("the open dialog's list")
            << QList<FileTypeFilter>{{u"All Supported Formats"_s, {u"*.avi"_s, u"*.hdmov"_s}},
                                     {u"AVI"_s, {u"*.avi"_s}}}
            << QStringList{u"All Supported Formats (*.avi *.AVI *.hdmov *.HDMOV)"_s,
                           u"AVI (*.avi *.AVI)"_s};
        QTest::newRow("blank and empty patterns and filters without any dropped")
            << QList<FileTypeFilter>{{u"None"_s, {u""_s}}, {u"Videos"_s, {u" *.mkv "_s, u"  "_s}}}
            << QStringList{u"Videos (*.mkv *.MKV)"_s};
        QTest::newRow("twins not repeated, star has no case")
            << QList<FileTypeFilter>{{u"Movie"_s, {u"*.AVI"_s, u"*.avi"_s, u"*.HdMov"_s, u"*"_s}}}
            << QStringList{u"Movie (*.AVI *.avi *.HdMov *.HDMOV *)"_s};
    }

    void nameFilters() {
        QFETCH(QList<FileTypeFilter>, filters);
        QTEST(qtNameFilters(filters), "expected");
    }

    // The root is the tree's only top item and the selection cannot leave it.
    void folderDialogHeldInsideRoot() {
        FolderDialog dialog({u"Pick a folder"_s, root(), 0x0022});
        auto* tree = dialog.findChild<QTreeView*>(u"folderTree"_s);
        QVERIFY(tree);
        QCOMPARE(dialog.rootPath(), QDir::cleanPath(root()));
        QTRY_COMPARE_WITH_TIMEOUT(childNames(*tree, tree->rootIndex()), QStringList{u"root"_s},
                                  30000);
        QCOMPARE(dialog.selectedPath(), QDir::cleanPath(root()));
        QVERIFY(!dialog.selectPath(tmp_.filePath(u"outside"_s)));
        QVERIFY(!dialog.selectPath(root() + u"/Beta/../../outside"_s));
        QVERIFY(dialog.selectPath(root() + u"/Beta/Inner"_s));
        dialog.accept();
        QCOMPARE(dialog.chosenPath(), QDir::toNativeSeparators(root() + u"/Beta/Inner"_s));

        FolderDialog unrooted({QString(), u"/no/such/folder"_s, 0x0022});
        QCOMPARE(unrooted.rootPath(), QString());
        QVERIFY(unrooted.selectPath(tmp_.filePath(u"outside"_s)));
    }

    void folderDialogControls_data() {
        QTest::addColumn<unsigned>("options");
        QTest::addColumn<bool>("editBox");
        QTest::addColumn<bool>("newFolderButton");
        QTest::addColumn<bool>("okEnabled");
        QTest::addColumn<QStringList>("listed"); // below the root
        const QStringList folders = {u"Alpha"_s, u"Beta"_s};
        QTest::newRow("defaults") << 0x0022u << false << false << true << folders;
        QTest::newRow("edit box 0x0010") << 0x0032u << true << false << true << folders;
        QTest::newRow("new folder 0x0040") << 0x0062u << false << true << true << folders;
        QTest::newRow("computers only 0x1000") << 0x1022u << false << false << false << folders;
        QTest::newRow("files too 0x4000") << 0x4022u << false << false << true
                                          << QStringList{u"Alpha"_s, u"Beta"_s, u"readme.txt"_s};
    }

    void folderDialogControls() {
        QFETCH(unsigned, options);
        FolderDialog dialog({QString(), root(), options});
        QTEST(dialog.findChild<QLineEdit*>(u"nameEdit"_s) != nullptr, "editBox");
        QTEST(dialog.findChild<QPushButton*>(u"newFolderButton"_s) != nullptr, "newFolderButton");
        QTEST(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->isEnabled(),
              "okEnabled");
        auto* tree = dialog.findChild<QTreeView*>(u"folderTree"_s);
        QFETCH(QStringList, listed);
        QTRY_COMPARE_WITH_TIMEOUT(childNames(*tree, tree->currentIndex()), listed, 30000);
    }

    void messageBox_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<int>("press"); // a QMessageBox::StandardButton, or 0 for Esc
        QTest::addColumn<MessageAnswer>("answer");
        QTest::newRow("ok") << u"Error"_s << MessageButtons::Ok << int(QMessageBox::Ok)
                            << MessageAnswer::Ok;
        QTest::newRow("empty title names the program")
            << QString() << MessageButtons::YesNo << int(QMessageBox::Yes) << MessageAnswer::Yes;
        QTest::newRow("Esc on a question is No")
            << u"Warning"_s << MessageButtons::YesNo << 0 << MessageAnswer::No;
    }

    void messageBox() {
        QFETCH(int, press);
        QString seenTitle, seenText;
        // Answers the box once it is up; a window of another kind would never close.
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer.stop();
            seenTitle = box->windowTitle();
            seenText = box->text();
            if (press == 0)
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(QMessageBox::StandardButton(press))->click();
        });
        timer.start(10);
        QtPlatform platform(tmp_.filePath(u"box.lock"_s));
        QFETCH(QString, title);
        QFETCH(MessageButtons, buttons);
        QTEST(platform.messageBox(nullptr, u"One\rTwo"_s, title, MessageIcon::Critical, buttons),
              "answer");
        QCOMPARE(seenTitle, title.isEmpty() ? QGuiApplication::applicationDisplayName() : title);
        QCOMPARE(seenText, u"One\nTwo"_s); // a lone CR breaks the line as well
    }

private:
    [[nodiscard]] QString root() const { return tmp_.filePath(u"root"_s); }

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

QTEST_MAIN(TstPlatform)
#include "tst_platform.moc"
