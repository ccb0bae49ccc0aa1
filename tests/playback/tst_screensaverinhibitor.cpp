// The screen saver inhibitor against a stand-in org.freedesktop.ScreenSaver service on a
// private bus of its own.
#include "playback/vlc/ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

static const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");

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
    // The test's own: answered only after every call sent before it.
    void Ping() {}
};

enum class Bus { WithService, WithoutService, None };
Q_DECLARE_METATYPE(Bus)

class TstScreenSaverInhibitor : public QObject {
    Q_OBJECT

    QProcess daemon_;
    QDBusConnection service_{QStringLiteral("service")};
    QDBusConnection client_{QStringLiteral("client")};
    FakeScreenSaver fake_;

    // Every call sent on the client connection so far has reached the fake, and every
    // answer that came before has been handled.
    void settle() {
        QDBusPendingCallWatcher ping(client_.asyncCall(
            QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/ScreenSaver"),
                                           kService, QStringLiteral("Ping"))));
        QSignalSpy answered(&ping, &QDBusPendingCallWatcher::finished);
        QTRY_COMPARE(answered.size(), 1);
    }

private Q_SLOTS:
    void initTestCase() {
        QCoreApplication::setApplicationName(QStringLiteral("Framora"));
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        if (program.isEmpty())
            QSKIP("dbus-daemon is not installed");
        daemon_.start(program, {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                QStringLiteral("--print-address")});
        QVERIFY(daemon_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(daemon_.canReadLine(), 10000);
        const QString address = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
        service_ = QDBusConnection::connectToBus(address, QStringLiteral("service"));
        QVERIFY(service_.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), &fake_,
                                        QDBusConnection::ExportAllSlots));
        client_ = QDBusConnection::connectToBus(address, QStringLiteral("client"));
        QVERIFY(client_.isConnected());
    }
    void cleanupTestCase() {
        daemon_.terminate();
        daemon_.waitForFinished();
    }
    void init() {
        QVERIFY(service_.registerService(kService));
        fake_.calls.clear();
        fake_.nextCookie = 41;
    }

    void calls_data() {
        QTest::addColumn<Bus>("bus");
        QTest::addColumn<QString>("steps"); // + inhibit, - release, s settle; destroyed after
        QTest::addColumn<QStringList>("calls");
        const QString inhibit = QStringLiteral("Inhibit Framora why");
        QTest::newRow("inhibit, release, again with a new cookie")
            << Bus::WithService << "+ s - + s - s"
            << QStringList{inhibit, "UnInhibit 42", inhibit, "UnInhibit 43"};
        QTest::newRow("released before the answer came, once it comes")
            << Bus::WithService << "+ - s s" << QStringList{inhibit, "UnInhibit 42"};
        QTest::newRow("released when destroyed")
            << Bus::WithService << "+ s" << QStringList{inhibit, "UnInhibit 42"};
        QTest::newRow("destroyed before the answer came, released once it comes")
            << Bus::WithService << "+" << QStringList{inhibit, "UnInhibit 42"};
        QTest::newRow("asked twice, released twice: once each")
            << Bus::WithService << "+ + s + - - s" << QStringList{inhibit, "UnInhibit 42"};
        // Nothing happens and nothing is reported.
        QTest::newRow("bus without the service")
            << Bus::WithoutService << "+ s - s" << QStringList{};
        QTest::newRow("no bus") << Bus::None << "+ s - s" << QStringList{};
    }
    void calls() {
        QFETCH(Bus, bus);
        QFETCH(QString, steps);
        if (bus == Bus::WithoutService)
            QVERIFY(service_.unregisterService(kService));
        const QDBusConnection none(QStringLiteral("no-such-connection"));
        auto inhibitor = std::make_unique<ScreenSaverInhibitor>(bus == Bus::None ? none : client_);
        for (const QString& step : steps.split(QLatin1Char(' '))) {
            if (step == QLatin1String("s"))
                settle();
            else
                inhibitor->setInhibited(step == QLatin1String("+"));
        }
        inhibitor.reset();
        settle();
        QTEST(fake_.calls, "calls");
    }
};

QTEST_MAIN(TstScreenSaverInhibitor)
#include "tst_screensaverinhibitor.moc"
