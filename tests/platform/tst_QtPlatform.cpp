#include "platform/FolderDialog.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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

static bool touch(const QString& path, const QByteArray& bytes = {}) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Stands in for the desktop's handler of file: URLs.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl& url) { urls << url; }
};

static int runProbe(const QString& lockPath) {
    QProcess probe;
    probe.start(QStringLiteral(INSTANCE_PROBE), {lockPath});
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit)
        return -1;
    return probe.exitCode();
}

class QtPlatformTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void messageBox_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<MessageIcon>("icon");
        QTest::addColumn<MessageButtons>("buttons");
        QTest::addColumn<QString>("press"); // "Ok", "Yes", "No" or "Escape"
        QTest::addColumn<QString>("shownTitle");
        QTest::addColumn<int>("qtIcon");
        QTest::addColumn<MessageAnswer>("answer");
        const auto row = [](const char* name, const QString& title, MessageIcon icon,
                            MessageButtons buttons, const char* press, const QString& shownTitle,
                            QMessageBox::Icon qtIcon, MessageAnswer answer) {
            QTest::newRow(name) << title << icon << buttons << QString::fromLatin1(press)
                                << shownTitle << int(qtIcon) << answer;
        };
        using enum MessageIcon;
        const QString app = QGuiApplication::applicationDisplayName();
        const auto Ok = MessageButtons::Ok, YesNo = MessageButtons::YesNo;
        row("critical ok", "Error", Critical, Ok, "Ok", "Error", QMessageBox::Critical,
            MessageAnswer::Ok);
        row("no icon, empty title shows the application", "", None, Ok, "Ok", app,
            QMessageBox::NoIcon, MessageAnswer::Ok);
        row("question yes", "Warning", Question, YesNo, "Yes", "Warning", QMessageBox::Question,
            MessageAnswer::Yes);
        row("exit question escaped is no", "", Exclamation, YesNo, "Escape", app,
            QMessageBox::Warning, MessageAnswer::No);
    }

    void messageBox() {
        QFETCH(QString, title);
        QFETCH(MessageIcon, icon);
        QFETCH(MessageButtons, buttons);
        QFETCH(QString, press);

        QString seenTitle, seenText;
        int seenIcon = -1;
        QMessageBox::StandardButtons seenButtons;
        whenModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) {
                modal->close();
                return;
            }
            seenTitle = box->windowTitle();
            seenText = box->text();
            seenIcon = box->icon();
            seenButtons = box->standardButtons();
            if (press == "Escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else
                box->button(press == "Yes"  ? QMessageBox::Yes
                            : press == "No" ? QMessageBox::No
                                            : QMessageBox::Ok)
                    ->click();
        });
        QtPlatform platform(tmp_.filePath("box.lock"));
        const MessageAnswer answer =
            platform.messageBox(nullptr, "First line\rSecond line", title, icon, buttons);

        QTEST(seenTitle, "shownTitle");
        QTEST(seenIcon, "qtIcon");
        QCOMPARE(seenButtons, buttons == MessageButtons::Ok ? QMessageBox::Ok
                                                            : QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(seenText, QStringLiteral("First line\nSecond line"));
        QTEST(answer, "answer");
    }

    void boundedWait_data() {
        QTest::addColumn<int>("bound");
        QTest::addColumn<int>("doneFromLook"); // 0: never
        QTest::newRow("already done") << 60000 << 1;
        QTest::newRow("done on tenth look") << 60000 << 10;
        QTest::newRow("never done") << 150 << 0;
        QTest::newRow("never done, no time") << 0 << 0;
    }

    // It stops looking as soon as the answer is yes; otherwise it keeps looking (rather than
    // sleeping blind) until the bound has passed.
    void boundedWait() {
        QFETCH(int, bound);
        QFETCH(int, doneFromLook);
        QtPlatform platform(tmp_.filePath("wait.lock"));
        int looks = 0;
        QElapsedTimer clock;
        clock.start();
        platform.boundedWait(bound, [&] { return ++looks == doneFromLook; });
        QVERIFY(clock.elapsed() < 30000);
        if (doneFromLook > 0) {
            QCOMPARE(looks, doneFromLook);
        } else {
            QVERIFY2(clock.elapsed() >= bound, "returned before the wait was over");
            QVERIFY(bound == 0 || looks > 1);
        }
    }

    void secondProcessSeesTheClaim() {
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

    void claimOfAKilledProcessIsTakenOver() {
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

    void unusableLockFolderDoesNotBlockStart() {
        // A folder that cannot exist: its parent is a plain file.
        QVERIFY(touch(tmp_.filePath("plain-file")));
        QtPlatform platform(tmp_.filePath("plain-file/sub/framora.lock"));
        QVERIFY(!platform.anotherInstanceRunning());
    }

    void openDocument() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        QtPlatform platform(tmp_.filePath("doc.lock"));

        QVERIFY(!platform.openDocument(tmp_.filePath("Missing.html")));
        QVERIFY(!platform.openDocument(QString()));
        QVERIFY(catcher.urls.isEmpty());

        const QString help = tmp_.filePath("English.html");
        QVERIFY(touch(help));
        QVERIFY(platform.openDocument(help));
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(help)});
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    void startProgram_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("started");
        QTest::newRow("missing") << "missing" << false;
        QTest::newRow("not executable") << "plain" << false;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("executable") << "script" << true;
    }

    void startProgram() {
        QFETCH(QString, kind);
        QFETCH(bool, started);
        const QString marker = tmp_.filePath(kind + ".ran");
        QString path = tmp_.filePath(kind);
        if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (kind != "missing") {
            QVERIFY(touch(path, "#!/bin/sh\ntouch '" + marker.toUtf8() + "'\n"));
            if (kind == "script")
                QVERIFY(QFile(path).setPermissions(QFile(path).permissions() | QFile::ExeOwner));
        }
        QtPlatform platform(tmp_.filePath("start.lock"));
        QCOMPARE(platform.startProgram(path), started);
        if (started)
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 30000);
        else
            QVERIFY(!QFile::exists(marker));
    }

    // The request reaches the folder dialog; the folder chosen there comes back with native
    // separators.
    void browseForFolder() {
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
            dialog->accept();
        });
        QtPlatform platform(tmp_.filePath("browse.lock"));
        const QString chosen =
            platform.browseForFolder(nullptr, {QStringLiteral("Folder Browser"), root, 0x0022});
        QCOMPARE(instruction, QStringLiteral("Folder Browser"));
        QCOMPARE(chosen, QDir::toNativeSeparators(root + "/Holiday"));
    }

private:
    QTemporaryDir tmp_;
};

QTEST_MAIN(QtPlatformTest)
#include "tst_QtPlatform.moc"
