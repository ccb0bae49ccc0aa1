// The screen saver inhibitor against a stand-in org.freedesktop.ScreenSaver service on a
// private bus of its own.
#include "playback/vlc/ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

// Records the calls and answers Inhibit with increasing cookies.
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
};

class TstScreenSaverInhibitor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void inhibitsWhileAsked();
    void releasedBeforeTheAnswerCame();
    void releasedWhenDestroyed();
    void askingTwiceInhibitsOnce();
    void withoutServiceOrBusNothingHappens();

private:
    QProcess daemon_;
    QString address_;
    std::unique_ptr<QDBusConnection> service_;
    std::unique_ptr<QDBusConnection> client_;
    FakeScreenSaver fake_;
};

void TstScreenSaverInhibitor::initTestCase() {
    QCoreApplication::setApplicationName(QStringLiteral("Framora"));
    const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (program.isEmpty())
        QSKIP("dbus-daemon is not installed");
    daemon_.start(program, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                            QStringLiteral("--print-address")});
    QVERIFY(daemon_.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(daemon_.canReadLine(), 10000);
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
    service_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(address_, QStringLiteral("service")));
    QVERIFY(service_->isConnected());
    QVERIFY(service_->registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    QVERIFY(service_->registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &fake_,
                                     QDBusConnection::ExportAllSlots));
    client_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(address_, QStringLiteral("client")));
    QVERIFY(client_->isConnected());
}

void TstScreenSaverInhibitor::cleanupTestCase() {
    client_.reset();
    service_.reset();
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    QDBusConnection::disconnectFromBus(QStringLiteral("service"));
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        daemon_.waitForFinished();
    }
}

void TstScreenSaverInhibitor::init() {
    fake_.calls.clear();
    fake_.nextCookie = 41;
}

void TstScreenSaverInhibitor::inhibitsWhileAsked() {
    ScreenSaverInhibitor inhibitor(*client_);
    inhibitor.setInhibited(true);
    QVERIFY(inhibitor.isInhibited());
    QTRY_COMPARE(fake_.calls, QStringList{QStringLiteral("Inhibit Framora why")});
    inhibitor.setInhibited(false);
    QTRY_COMPARE(fake_.calls.size(), 2);
    QCOMPARE(fake_.calls.at(1), QStringLiteral("UnInhibit 42"));
    // Again: a new cookie.
    inhibitor.setInhibited(true);
    QTRY_COMPARE(fake_.calls.size(), 3);
    inhibitor.setInhibited(false);
    QTRY_COMPARE(fake_.calls.size(), 4);
    QCOMPARE(fake_.calls.at(3), QStringLiteral("UnInhibit 43"));
}

void TstScreenSaverInhibitor::releasedBeforeTheAnswerCame() {
    ScreenSaverInhibitor inhibitor(*client_);
    inhibitor.setInhibited(true);
    inhibitor.setInhibited(false); // the answer to Inhibit is still on its way
    QTRY_COMPARE(fake_.calls.size(), 2);
    QCOMPARE(fake_.calls.at(1), QStringLiteral("UnInhibit 42"));
}

void TstScreenSaverInhibitor::releasedWhenDestroyed() {
    {
        ScreenSaverInhibitor inhibitor(*client_);
        inhibitor.setInhibited(true);
        QTRY_COMPARE(fake_.calls.size(), 1);
    }
    QTRY_COMPARE(fake_.calls.size(), 2);
    QCOMPARE(fake_.calls.at(1), QStringLiteral("UnInhibit 42"));
}

void TstScreenSaverInhibitor::askingTwiceInhibitsOnce() {
    ScreenSaverInhibitor inhibitor(*client_);
    inhibitor.setInhibited(true);
    inhibitor.setInhibited(true);
    QTRY_COMPARE(fake_.calls.size(), 1);
    inhibitor.setInhibited(true);
    inhibitor.setInhibited(false);
    inhibitor.setInhibited(false);
    QTRY_COMPARE(fake_.calls.size(), 2);
    // Give a stray second call the chance to arrive.
    QDBusConnection::sessionBus(); // no-op; keeps the loop honest
    QTest::qWait(100);
    QCOMPARE(fake_.calls.size(), 2);
}

void TstScreenSaverInhibitor::withoutServiceOrBusNothingHappens() {
    // A bus without the service: the error answer is swallowed.
    QVERIFY(service_->unregisterService(QStringLiteral("org.freedesktop.ScreenSaver")));
    {
        ScreenSaverInhibitor inhibitor(*client_);
        inhibitor.setInhibited(true);
        QTest::qWait(200);
        inhibitor.setInhibited(false);
    }
    QVERIFY(service_->registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    QCOMPARE(fake_.calls, QStringList{});

    // No bus at all.
    const QDBusConnection none(QStringLiteral("no-such-connection"));
    QVERIFY(!none.isConnected());
    ScreenSaverInhibitor inhibitor(none);
    inhibitor.setInhibited(true);
    QVERIFY(inhibitor.isInhibited());
    inhibitor.setInhibited(false);
}

QTEST_MAIN(TstScreenSaverInhibitor)
#include "tst_screensaverinhibitor.moc"
