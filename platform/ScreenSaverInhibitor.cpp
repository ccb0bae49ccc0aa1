#include "platform/ScreenSaverInhibitor.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

static QDBusMessage screenSaverCall(const QString& method) {
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

ScreenSaverInhibitor::ScreenSaverInhibitor(QObject* parent)
    : ScreenSaverInhibitor(QDBusConnection::sessionBus(), parent) {}

ScreenSaverInhibitor::ScreenSaverInhibitor(const QDBusConnection& connection, QObject* parent)
    : QObject(parent), connection_(connection) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
    if (cookie_)
        sendUnInhibit();
    if (!requestInFlight_)
        return;
    // An Inhibit still on its way would otherwise hold the screen saver off until the bus
    // connection closes: let its answer release it on its own.
    QDBusPendingCallWatcher* watcher = requestInFlight_;
    watcher->disconnect(this);
    watcher->setParent(nullptr);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
                     [connection = connection_](QDBusPendingCallWatcher* answered) {
                         answered->deleteLater();
                         const QDBusPendingReply<uint> reply = *answered;
                         if (reply.isError())
                             return;
                         QDBusMessage call = screenSaverCall(QStringLiteral("UnInhibit"));
                         call << reply.value();
                         (void)QDBusConnection(connection).send(call);
                     });
}

void ScreenSaverInhibitor::setInhibited(bool inhibited) {
    wanted_ = inhibited;
    if (inhibited && !cookie_ && !requestInFlight_)
        sendInhibit();
    else if (!inhibited && cookie_)
        sendUnInhibit();
}

void ScreenSaverInhibitor::sendInhibit() {
    if (!connection_.isConnected())
        return;
    QString application = QCoreApplication::applicationName();
    if (application.isEmpty())
        application = QStringLiteral("Framora");
    QDBusMessage call = screenSaverCall(QStringLiteral("Inhibit"));
    call << application << QStringLiteral("Playing a video");
    auto* watcher = new QDBusPendingCallWatcher(connection_.asyncCall(call), this);
    requestInFlight_ = watcher;
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            &ScreenSaverInhibitor::inhibitAnswered);
}

void ScreenSaverInhibitor::sendUnInhibit() {
    QDBusMessage call = screenSaverCall(QStringLiteral("UnInhibit"));
    call << *cookie_;
    cookie_.reset();
    (void)connection_.send(call);
}

void ScreenSaverInhibitor::inhibitAnswered(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    requestInFlight_ = nullptr;
    const QDBusPendingReply<uint> reply = *watcher;
    if (reply.isError())
        return;
    cookie_ = reply.value();
    // Released while the answer was on its way.
    if (!wanted_)
        sendUnInhibit();
}
