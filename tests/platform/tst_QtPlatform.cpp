#include "platform/FolderDialog.h"
#include "platform/QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <functional>

// Runs f on the next modal window once it is up. f must close that window, so that a
// failing check can never leave the test waiting on it; checks go after exec returns.
static void whenModal(std::function<void(QWidget*)> f) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        f(modal);
    });
    timer->start();
}

// Stands in for the desktop's handler of file: URLs.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

class QtPlatformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void messageBox_data();
    void messageBox();
    void boundedWaitReturnsOnceDone_data();
    void boundedWaitReturnsOnceDone();
    void boundedWaitWaitsWhileNotDone();
    void secondProcessSeesTheClaim();
    void claimOfAKilledProcessIsTakenOver();
    void unusableLockFolderDoesNotBlockStart();
    void openDocument();
    void startProgram_data();
    void startProgram();
    void openFileDialogOffersVideosInAnyCase();
    void openFileDialogCancel();
    void browseForFolder_data();
    void browseForFolder();

private:
    QTemporaryDir tmp_;
};

void QtPlatformTest::messageBox_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("press"); // "Ok", "Yes", "No" or "Escape"
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<int>("qtIcon");
    QTest::addColumn<QStringList>("shownButtons");
    QTest::addColumn<int>("answer");

    const QString app = QGuiApplication::applicationDisplayName();
    QTest::newRow("critical ok") << "Error" << int(MessageIcon::Critical) << int(MessageButtons::Ok)
                                 << "Ok"
                                 << "Error" << int(QMessageBox::Critical) << QStringList{"Ok"}
                                 << int(MessageAnswer::Ok);
    QTest::newRow("exclamation ok")
        << "Warning" << int(MessageIcon::Exclamation) << int(MessageButtons::Ok) << "Escape"
        << "Warning" << int(QMessageBox::Warning) << QStringList{"Ok"} << int(MessageAnswer::Ok);
    QTest::newRow("no icon, empty title shows the application")
        << "" << int(MessageIcon::None) << int(MessageButtons::Ok) << "Ok" << app
        << int(QMessageBox::NoIcon) << QStringList{"Ok"} << int(MessageAnswer::Ok);
    QTest::newRow("question yes") << "Warning" << int(MessageIcon::Question)
                                  << int(MessageButtons::YesNo) << "Yes"
                                  << "Warning" << int(QMessageBox::Question)
                                  << QStringList{"Yes", "No"} << int(MessageAnswer::Yes);
    QTest::newRow("question no") << "Warning" << int(MessageIcon::Question)
                                 << int(MessageButtons::YesNo) << "No"
                                 << "Warning" << int(QMessageBox::Question)
                                 << QStringList{"Yes", "No"} << int(MessageAnswer::No);
    QTest::newRow("exit question escaped is no")
        << "" << int(MessageIcon::Exclamation) << int(MessageButtons::YesNo) << "Escape" << app
        << int(QMessageBox::Warning) << QStringList{"Yes", "No"} << int(MessageAnswer::No);
}

void QtPlatformTest::messageBox() {
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(QString, press);

    QString seenTitle, seenText;
    int seenIcon = -1;
    QStringList seenButtons;
    whenModal([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        seenTitle = box->windowTitle();
        seenText = box->text();
        seenIcon = box->icon();
        const auto standard = box->standardButtons();
        if (standard & QMessageBox::Ok)
            seenButtons << "Ok";
        if (standard & QMessageBox::Yes)
            seenButtons << "Yes";
        if (standard & QMessageBox::No)
            seenButtons << "No";
        if (press == "Escape")
            QTest::keyClick(box, Qt::Key_Escape);
        else if (press == "Yes")
            box->button(QMessageBox::Yes)->click();
        else if (press == "No")
            box->button(QMessageBox::No)->click();
        else
            box->button(QMessageBox::Ok)->click();
    });
    QtPlatform platform(tmp_.filePath("box.lock"));
    const MessageAnswer answer = platform.messageBox(nullptr, "First line\rSecond line", title,
                                                     MessageIcon(icon), MessageButtons(buttons));

    QTEST(seenTitle, "shownTitle");
    QTEST(seenIcon, "qtIcon");
    QTEST(seenButtons, "shownButtons");
    QCOMPARE(seenText, QStringLiteral("First line\nSecond line"));
    QTEST(int(answer), "answer");
}

void QtPlatformTest::boundedWaitReturnsOnceDone_data() {
    QTest::addColumn<int>("trueFromCall");
    QTest::newRow("already done") << 1;
    QTest::newRow("done on third look") << 3;
    QTest::newRow("done on tenth look") << 10;
}

void QtPlatformTest::boundedWaitReturnsOnceDone() {
    QFETCH(int, trueFromCall);
    QtPlatform platform(tmp_.filePath("wait.lock"));
    int calls = 0;
    QElapsedTimer clock;
    clock.start();
    platform.boundedWait(60000, [&] { return ++calls >= trueFromCall; });
    // It stops looking as soon as the answer is yes, long before the bound.
    QCOMPARE(calls, trueFromCall);
    QVERIFY(clock.elapsed() < 30000);
}

void QtPlatformTest::boundedWaitWaitsWhileNotDone() {
    QtPlatform platform(tmp_.filePath("wait.lock"));
    int calls = 0;
    QElapsedTimer clock;
    clock.start();
    platform.boundedWait(150, [&] {
        ++calls;
        return false;
    });
    QVERIFY2(clock.elapsed() >= 150, "returned before the wait was over");
    QVERIFY(clock.elapsed() < 30000);
    QVERIFY(calls > 1); // it kept looking rather than sleeping blind

    clock.restart();
    platform.boundedWait(0, [] { return false; });
    QVERIFY(clock.elapsed() < 30000);
}

static int runProbe(const QString& lockPath) {
    QProcess probe;
    probe.start(QStringLiteral(INSTANCE_PROBE), {lockPath});
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit)
        return -1;
    return probe.exitCode();
}

void QtPlatformTest::secondProcessSeesTheClaim() {
    const QString lock = tmp_.filePath("claim/framora-test.lock");
    {
        QtPlatform first(lock);
        QVERIFY(!first.anotherInstanceRunning());
        QCOMPARE(runProbe(lock), 1);
        // The first caller keeps its claim: asking again does not turn it away.
        QVERIFY(!first.anotherInstanceRunning());
        QCOMPARE(runProbe(lock), 1);
    }
    QCOMPARE(runProbe(lock), 0);
    QCOMPARE(runProbe(lock), 0); // a probe that ended released its claim too
}

void QtPlatformTest::claimOfAKilledProcessIsTakenOver() {
    const QString lock = tmp_.filePath("killed.lock");
    QProcess holder;
    holder.start(QStringLiteral(INSTANCE_PROBE), {lock, QStringLiteral("hold")});
    QVERIFY(holder.waitForStarted(60000));
    QByteArray said;
    QTRY_VERIFY_WITH_TIMEOUT((said += holder.readAllStandardOutput()).contains("held") ||
                                 holder.state() == QProcess::NotRunning,
                             60000);
    QCOMPARE(holder.state(), QProcess::Running);
    QCOMPARE(runProbe(lock), 1);

    holder.kill(); // no chance to clean up: the lock file stays behind
    QVERIFY(holder.waitForFinished(60000));
    QVERIFY(QFile::exists(lock));

    QtPlatform next(lock);
    QVERIFY(!next.anotherInstanceRunning());
    QCOMPARE(runProbe(lock), 1);
}

void QtPlatformTest::unusableLockFolderDoesNotBlockStart() {
    // A folder that cannot exist: its parent is a plain file.
    QFile blocker(tmp_.filePath("plain-file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QtPlatform platform(tmp_.filePath("plain-file/sub/framora.lock"));
    QVERIFY(!platform.anotherInstanceRunning());
}

void QtPlatformTest::openDocument() {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QtPlatform platform(tmp_.filePath("doc.lock"));

    QVERIFY(!platform.openDocument(tmp_.filePath("Missing.html")));
    QVERIFY(!platform.openDocument(QString()));
    QVERIFY(catcher.urls.isEmpty());

    const QString help = tmp_.filePath("English.html");
    QFile file(help);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(platform.openDocument(help));
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(help)});
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void QtPlatformTest::startProgram_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("started");
    QTest::newRow("missing") << "missing" << false;
    QTest::newRow("not executable") << "plain" << false;
    QTest::newRow("a folder") << "folder" << false;
    QTest::newRow("executable") << "script" << true;
}

void QtPlatformTest::startProgram() {
    QFETCH(QString, kind);
    QFETCH(bool, started);
    const QString marker = tmp_.filePath(kind + ".ran");
    QString path = tmp_.filePath(kind);
    if (kind == "folder") {
        QVERIFY(QDir().mkpath(path));
    } else if (kind != "missing") {
        QFile script(path);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n");
        script.close();
        if (kind == "script")
            script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    QtPlatform platform(tmp_.filePath("start.lock"));
    QCOMPARE(platform.startProgram(path), started);
    if (started)
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 30000);
    else
        QVERIFY(!QFile::exists(marker));
}

void QtPlatformTest::openFileDialogOffersVideosInAnyCase() {
    const QString folder = tmp_.filePath("videos");
    QVERIFY(QDir().mkpath(folder));
    for (const char* name : {"clip.avi", "CLIP2.AVI", "Holiday.mkv", "notes.txt"}) {
        QFile f(folder + "/" + name);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const QString program = "All Supported Formats|*.avi;*.mkv|AVI|*.avi|MKV|*.mkv";

    QStringList filters;
    QString selectedFilter;
    QStringList listed;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        filters = dialog->nameFilters();
        selectedFilter = dialog->selectedNameFilter();
        dialog->setDirectory(folder);
        auto* model = dialog->findChild<QFileSystemModel*>();
        // Let the dialog list the folder, then read what it shows.
        QElapsedTimer clock;
        clock.start();
        while (model && clock.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            const QModelIndex root = model->index(folder);
            listed.clear();
            for (int row = 0; row < model->rowCount(root); ++row) {
                const QModelIndex index = model->index(row, 0, root);
                if (!model->flags(index).testFlag(Qt::ItemIsEnabled))
                    continue;
                listed << model->fileName(index);
            }
            if (listed.size() >= 3)
                break;
        }
        if (auto* name = dialog->findChild<QLineEdit*>("fileNameEdit"))
            name->setText("CLIP2.AVI");
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog's own accept is protected
        if (dialog->isVisible())
            dialog->reject();
    });
    QtPlatform platform(tmp_.filePath("open.lock"));
    const QString chosen = platform.openFileDialog(nullptr, program);

    QCOMPARE(filters.size(), 3);
    QVERIFY(filters.value(0).startsWith("All Supported Formats ("));
    // The first pair is chosen, shown by its description alone.
    QCOMPARE(selectedFilter, QStringLiteral("All Supported Formats"));
    listed.sort();
    QCOMPARE(listed, (QStringList{"CLIP2.AVI", "Holiday.mkv", "clip.avi"}));
    QCOMPARE(chosen, QDir::toNativeSeparators(folder + "/CLIP2.AVI"));
}

void QtPlatformTest::openFileDialogCancel() {
    whenModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    QtPlatform platform(tmp_.filePath("open.lock"));
    QCOMPARE(platform.openFileDialog(nullptr, "AVI|*.avi"), QString());
}

void QtPlatformTest::browseForFolder_data() {
    QTest::addColumn<bool>("confirm");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

void QtPlatformTest::browseForFolder() {
    QFETCH(bool, confirm);
    const QString root = tmp_.filePath("shots");
    QVERIFY(QDir().mkpath(root + "/Holiday"));

    QString instruction;
    whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<FolderDialog*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        if (auto* label = dialog->findChild<QLabel*>("instruction"))
            instruction = label->text();
        dialog->selectPath(root + "/Holiday");
        if (confirm)
            dialog->accept();
        else
            dialog->reject();
    });
    QtPlatform platform(tmp_.filePath("browse.lock"));
    const QString chosen =
        platform.browseForFolder(nullptr, {QStringLiteral("Folder Browser"), root, 0x0022});
    QCOMPARE(instruction, QStringLiteral("Folder Browser"));
    QCOMPARE(chosen, confirm ? QDir::toNativeSeparators(root + "/Holiday") : QString());
}

QTEST_MAIN(QtPlatformTest)
#include "tst_QtPlatform.moc"
