#pragma once

#include <QDBusConnection>
#include <QObject>

#include <optional>

class QDBusPendingCallWatcher;

// Keeps the desktop's screen saver off through org.freedesktop.ScreenSaver (Inhibit and
// UnInhibit) on a D-Bus connection, the session bus by default. Without a bus or without
// the service nothing happens and nothing is reported. Calls never wait for a reply.
class ScreenSaverInhibitor : public QObject {
    Q_OBJECT
public:
    explicit ScreenSaverInhibitor(QObject* parent = nullptr);
    explicit ScreenSaverInhibitor(const QDBusConnection& connection, QObject* parent = nullptr);
    ~ScreenSaverInhibitor() override;

    void setInhibited(bool inhibited);
    // What was last asked for, whether or not a service honours it.
    [[nodiscard]] bool isInhibited() const { return wanted_; }

private:
    void sendInhibit();
    void sendUnInhibit();
    void inhibitAnswered(QDBusPendingCallWatcher* watcher);

    QDBusConnection connection_;
    bool wanted_ = false;
    QDBusPendingCallWatcher* requestInFlight_ = nullptr;
    std::optional<uint> cookie_;
};
