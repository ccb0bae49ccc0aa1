#include "platform/InstanceChannel.h"

#include <QDataStream>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include <algorithm>

namespace {
// The later start sends the path (a QDataStream string); the running instance answers
// that it is there, and acts only on the later start's go, so that a later start that has
// given up (and said so) never has its file opened behind its back.
constexpr char kHere = 'K';
constexpr char kGo = 'G';
constexpr auto kStreamVersion = QDataStream::Qt_6_0;
constexpr int kIdleConnectionMs = 10000;
} // namespace

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            // A socket that never sends a whole message is dropped after a while.
            QTimer::singleShot(kIdleConnectionMs, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            connect(socket, &QLocalSocket::readyRead, socket,
                    [this, socket, path = QString(), asked = false]() mutable {
                        if (!asked) {
                            QDataStream in(socket);
                            in.setVersion(kStreamVersion);
                            in.startTransaction();
                            in >> path;
                            if (!in.commitTransaction())
                                return;
                            asked = true;
                            socket->write(&kHere, 1);
                            socket->flush();
                        }
                        char go = 0;
                        if (socket->bytesAvailable() < 1 || socket->read(&go, 1) != 1)
                            return;
                        socket->disconnectFromServer();
                        if (go == kGo)
                            Q_EMIT handedOver(path);
                    });
        }
    });
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& socketPath, QString* error) {
    // Only the lock holder gets here, so a socket file there is a crashed instance's.
    QLocalServer::removeServer(socketPath);
    if (server_->listen(socketPath))
        return true;
    if (error)
        *error = server_->errorString();
    return false;
}

HandOver handOverToRunningInstance(const QString& socketPath, const QString& path, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(int(deadline.remainingTime())))
        return socket.error() == QLocalSocket::SocketTimeoutError ? HandOver::NoAnswer
                                                                  : HandOver::NoDoor;
    QByteArray message;
    QDataStream out(&message, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << path;
    socket.write(message);
    // A hung instance's kernel still takes the connection and the bytes; only its answer
    // tells that it is there.
    while (socket.bytesAvailable() < 1) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(deadline.remainingTime())))
            return HandOver::NoAnswer;
    }
    char answer = 0;
    if (socket.read(&answer, 1) != 1 || answer != kHere)
        return HandOver::NoAnswer;
    socket.write(&kGo, 1);
    return socket.waitForBytesWritten(int(std::max<qint64>(deadline.remainingTime(), 1000)))
               ? HandOver::Delivered
               : HandOver::NoAnswer;
}
