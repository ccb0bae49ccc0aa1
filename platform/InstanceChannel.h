#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// The running instance's door for later starts of the program: a local socket beside the
// instance lock. A later start hands over the file it was given (or nothing, to bring the
// window to the front) and ends; the running one opens it.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Listens at socketPath; call only while holding the instance lock (a socket left by
    // a crashed instance is replaced). False with error when it cannot listen: later
    // starts then get the "already running" message instead of a hand-over.
    [[nodiscard]] bool listen(const QString& socketPath, QString* error = nullptr);

Q_SIGNALS:
    // A later start was given this file (empty: none); the window should open it and come
    // to the front.
    void handedOver(const QString& path);

private:
    QLocalServer* server_;
};

enum class HandOver {
    Delivered, // the running instance took it
    NoAnswer,  // it runs but did not answer in time (hung, or busy beyond reason)
    NoDoor     // nothing listens: an instance that cannot take files
};

// From a later start: hands path (absolute, or empty) to the instance listening at
// socketPath, waiting at most timeoutMs for its answer. Blocks; there is no window yet.
[[nodiscard]] HandOver handOverToRunningInstance(const QString& socketPath, const QString& path,
                                                 int timeoutMs);
