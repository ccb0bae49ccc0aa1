// The platform layer: the single-instance claim as another process sees it, the open
// dialog's type list, the folder dialog, the message box and the screen saver over D-Bus.
#include "platform/FileDialogFilter.h"
#include "platform/FileNames.h"
#include "platform/FolderDialog.h"
#include "platform/InstanceChannel.h"
#include "platform/QtPlatform.h"
#include "platform/ScreenSaverInhibitor.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QLocalServer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <future>
#include <memory>

using namespace Qt::Literals::StringLiterals;

// Claims the lock in a second process; 1: another instance holds it, 0: it was free.
static int runProbe(const QString& lockPath) {
    QProcess probe;
    probe.start(QStringLiteral(INSTANCE_PROBE), {lockPath});
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit)
        return -1;
    return probe.exitCode();
}

static const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");

// A stand-in screen saver: records the calls and answers Inhibit with increasing cookies.
class FakeScreenSaver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    QStringList calls;
    uint nextCookie = 41;

public Q_SLOTS:
    uint Inhibit(const QString& application, const QString& reason) {
        calls << QStringLiteral("Inhibit %1 %2").arg(application, reason.isEmpty() ? "-" : "why");
        return ++nextCookie;
    }
    void UnInhibit(uint cookie) { calls << QStringLiteral("UnInhibit %1").arg(cookie); }
    // The test's own: answered only after every call sent before it.
    void Ping() {}
};

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

        // A lock folder that cannot exist (its parent is a file) must not block start-up.
        QtPlatform unusable(tmp_.filePath(u"root/readme.txt/sub/framora.lock"_s));
        QVERIFY(!unusable.anotherInstanceRunning());
    }

    void killedHoldersClaimIsTakenOver() {
        const QString lock = tmp_.filePath(u"killed.lock"_s);
        QProcess holder;
        holder.start(QStringLiteral(INSTANCE_PROBE), {lock, u"hold"_s});
        QVERIFY(holder.waitForReadyRead(60000)); // it says "held" once it has the claim
        QCOMPARE(runProbe(lock), 1);
        holder.kill(); // no chance to clean up: the lock file stays behind
        QVERIFY(holder.waitForFinished(60000));
        QVERIFY(QFile::exists(lock));
        QtPlatform next(lock);
        QVERIFY(!next.anotherInstanceRunning());
        QCOMPARE(runProbe(lock), 1);
    }

    // Blank patterns and filters left without any are dropped, twins are not repeated and
    // the star has no case.
    // A later start's file reaches the running instance, whose event loop answers; one that
    // listens but never answers (hung), or answers after the later start gave up, or nobody
    // listening: no delivery, and nothing opened behind the later start's back.
    // A dropped file whose name is no valid UTF-8 is told apart from one that is.
    void nameIsText_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("text");
        QTest::newRow("plain") << "file:///v/clip.mp4" << true;
        QTest::newRow("UTF-8") << "file:///v/%C3%A9t%C3%A9.mp4" << true;
        QTest::newRow("Latin-1 byte") << "file:///v/%E9t%E9.mp4" << false;
        QTest::newRow("in a folder") << "file:///v%FF/clip.mp4" << false;
    }
    void nameIsText() {
        QFETCH(QString, address);
        QTEST(localNameIsText(QUrl(address)), "text");
    }

    void handOver_data() {
        QTest::addColumn<QString>("door"); // server, late, hung, none
        QTest::addColumn<QString>("path");
        QTest::addColumn<HandOver>("outcome");
        QTest::newRow("a file") << "server" << u"/videos/a b\nc.mov"_s << HandOver::Delivered;
        QTest::newRow("no file: to the front") << "server" << QString() << HandOver::Delivered;
        QTest::newRow("late answer") << "late" << u"/videos/a.mov"_s << HandOver::NoAnswer;
        QTest::newRow("hung instance") << "hung" << u"/videos/a.mov"_s << HandOver::NoAnswer;
        QTest::newRow("no door") << "none" << u"/videos/a.mov"_s << HandOver::NoDoor;
    }
    void handOver() {
        QFETCH(QString, door);
        QFETCH(QString, path);
        QTemporaryDir dir;
        const QString socketPath = dir.filePath(QStringLiteral("framora.socket"));
        InstanceServer server;
        QSignalSpy handed(&server, &InstanceServer::handedOver);
        QLocalServer hung; // takes connections and never reads them
        if (door == QLatin1String("server") || door == QLatin1String("late"))
            QVERIFY(server.listen(socketPath));
        else if (door == QLatin1String("hung"))
            QVERIFY(hung.listen(socketPath));
        // The later start blocks, as it does in its own process; this thread answers.
        auto later = std::async(std::launch::async,
                                [&] { return handOverToRunningInstance(socketPath, path, 1500); });
        while (later.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready) {
            if (door != QLatin1String("late"))
                QCoreApplication::processEvents();
        }
        QFETCH(HandOver, outcome);
        QCOMPARE(later.get(), outcome);
        QTest::qWait(200); // the late one gets to its events now
        QCOMPARE(handed.size(), outcome == HandOver::Delivered ? 1 : 0);
        if (!handed.isEmpty())
            QCOMPARE(handed.first().first().toString(), path);
    }

    void nameFilters() {
        const QList<FileTypeFilter> filters{
            {u"All"_s, {u"*.AVI"_s, u"*.avi"_s, u"*.HdMov"_s, u"*"_s}},
            {u"None"_s, {u""_s}},
            {u"Videos"_s, {u" *.mkv "_s, u"  "_s}}};
        QCOMPARE(qtNameFilters(filters), QStringList({u"All (*.AVI *.avi *.HdMov *.HDMOV *)"_s,
                                                      u"Videos (*.mkv *.MKV)"_s}));
    }

    void folderDialog_data() {
        QTest::addColumn<unsigned>("options");
        QTest::addColumn<bool>("editBox");
        QTest::addColumn<bool>("newFolderButton");
        QTest::addColumn<bool>("confirmable");   // only computers would do, and none are listed
        QTest::addColumn<QStringList>("listed"); // below the root
        const QStringList folders = {u"Alpha"_s, u"Beta"_s};
        QTest::newRow("edit box 0x0010") << 0x0032u << true << false << true << folders;
        QTest::newRow("new folder 0x0040") << 0x0062u << false << true << true << folders;
        QTest::newRow("computers only 0x1000") << 0x1022u << false << false << false << folders;
        QTest::newRow("files too 0x4000") << 0x4022u << false << false << true
                                          << QStringList{u"Alpha"_s, u"Beta"_s, u"readme.txt"_s};
    }

    // The root is the tree's only top item, and neither the selection nor the choice can
    // leave it.
    void folderDialog() {
        QFETCH(unsigned, options);
        QFETCH(bool, confirmable);
        QFETCH(QStringList, listed);
        FolderDialog dialog({u"Pick a folder"_s, root(), options});
        QTEST(dialog.findChild<QLineEdit*>(u"nameEdit"_s) != nullptr, "editBox");
        QTEST(dialog.findChild<QPushButton*>(u"newFolderButton"_s) != nullptr, "newFolderButton");
        auto* ok = dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QCOMPARE(ok->isEnabled(), confirmable);
        auto* tree = dialog.findChild<QTreeView*>(u"folderTree"_s);
        QCOMPARE(dialog.rootPath(), QDir::cleanPath(root()));
        QCOMPARE(dialog.selectedPath(), QDir::cleanPath(root()));
        QTRY_COMPARE_WITH_TIMEOUT(childNames(*tree, tree->rootIndex()), QStringList{u"root"_s},
                                  30000);
        QTRY_COMPARE_WITH_TIMEOUT(childNames(*tree, tree->currentIndex()), listed, 30000);
        QVERIFY(!dialog.selectPath(tmp_.filePath(u"outside"_s)));
        QVERIFY(!dialog.selectPath(root() + u"/Beta/../../outside"_s));
        QVERIFY(dialog.selectPath(root() + u"/Beta/Inner"_s));
        dialog.accept();
        const QString inner = QDir::toNativeSeparators(root() + u"/Beta/Inner"_s);
        QCOMPARE(dialog.chosenPath(), confirmable ? inner : QString());
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
    // Inhibit and UnInhibit against a stand-in service on a private bus; steps: + inhibit,
    // - release, s let every call arrive; the inhibitor is destroyed after the steps.
    void screenSaver_data() {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("calls");
        const QString inhibit = QStringLiteral("Inhibit Framora why");
        QTest::newRow("inhibit, release, again with a new cookie")
            << true << "+ s - + s - s"
            << QStringList{inhibit, "UnInhibit 42", inhibit, "UnInhibit 43"};
        QTest::newRow("released before the answer came, once it comes")
            << true << "+ - s s" << QStringList{inhibit, "UnInhibit 42"};
        QTest::newRow("bus without the service: nothing, and no complaint")
            << false << "+ s - s" << QStringList{};
    }
    void screenSaver() {
        QFETCH(bool, service);
        QFETCH(QString, steps);
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            QSKIP("dbus-daemon is not installed");
        QCoreApplication::setApplicationName(QStringLiteral("Framora"));
        QProcess daemon;
        daemon.start(program, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                               QStringLiteral("--print-address")});
        QVERIFY(daemon.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(daemon.canReadLine(), 10000);
        const QString address = QString::fromLocal8Bit(daemon.readLine()).trimmed();
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        QDBusConnection server = QDBusConnection::connectToBus(address, QStringLiteral("s ") + tag);
        QDBusConnection client = QDBusConnection::connectToBus(address, QStringLiteral("c ") + tag);
        FakeScreenSaver fake;
        QVERIFY(server.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &fake,
                                      QDBusConnection::ExportAllSlots));
        if (service)
            QVERIFY(server.registerService(kService));
        const auto settle = [&] {
            QDBusPendingCallWatcher ping(client.asyncCall(QDBusMessage::createMethodCall(
                kService, QStringLiteral("/org/freedesktop/ScreenSaver"), kService,
                QStringLiteral("Ping"))));
            QSignalSpy answered(&ping, &QDBusPendingCallWatcher::finished);
            QTRY_COMPARE(answered.size(), 1);
        };
        auto inhibitor = std::make_unique<ScreenSaverInhibitor>(client);
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            if (step == QLatin1String("s"))
                settle();
            else
                inhibitor->setInhibited(step == QLatin1String("+"));
        }
        inhibitor.reset();
        settle();
        QTEST(fake.calls, "calls");
    }
};

QTEST_MAIN(TstPlatform)
#include "tst_platform.moc"
