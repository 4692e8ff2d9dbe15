#include "SpotsEndpoint.h"

#include "TcpClients.h"

#include <QTcpSocket>

SpotsEndpoint::SpotsEndpoint(QString nodeCall, QObject* parent)
    : QObject(parent), node_(std::move(nodeCall)) {
    connect(&server_, &QTcpServer::newConnection, this, &SpotsEndpoint::onNewConnection);
}

bool SpotsEndpoint::listen(const QHostAddress& address, quint16 port, QString* why) {
    close();
    if (server_.listen(address, port))
        return true;
    if (why)
        *why = TcpClients::listenFailure(server_, address, port, QStringLiteral("a cluster node?"));
    return false;
}

void SpotsEndpoint::close() {
    server_.close();
    TcpClients::dropAll(sessions_, this);
    lastHeard_.clear();
}

void SpotsEndpoint::onNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (sessions_.size() >= size_t(kMaxClients))
            makeRoom();
        socket->setParent(this);
        socket->setReadBufferSize(kReadBufferBytes);
        auto session = std::make_unique<ClusterSession>(node_);
        socket->write(session->greeting());
        sessions_[socket] = std::move(session);
        lastHeard_[socket] = ++heard_;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
    }
}

void SpotsEndpoint::makeRoom() {
    QTcpSocket* quietest = nullptr;
    for (const auto& [socket, heard] : lastHeard_)
        if (!quietest || heard < lastHeard_[quietest])
            quietest = socket;
    if (quietest) {
        quietest->abort();
        drop(quietest);
    }
}

void SpotsEndpoint::drop(QTcpSocket* socket) {
    if (!sessions_.erase(socket))
        return;
    lastHeard_.erase(socket);
    socket->disconnect(this);
    socket->deleteLater();
}

void SpotsEndpoint::onReadyRead(QTcpSocket* socket) {
    const auto it = sessions_.find(socket);
    if (it == sessions_.end())
        return;
    lastHeard_[socket] = ++heard_;
    const QByteArray answers = it->second->feed(socket->readAll(), recent_);
    if (socket->bytesToWrite() < kMaxUnread)
        socket->write(answers);
    if (it->second->wantsClose())
        socket->disconnectFromHost();
}

void SpotsEndpoint::publish(const QString& spotLine) {
    recent_.append(spotLine);
    if (recent_.size() > ClusterSession::kListed)
        recent_.removeFirst();
    const QByteArray line = spotLine.toLatin1() + "\r\n";
    for (const auto& [socket, session] : sessions_) {
        if (!session->loggedIn())
            continue;
        if (socket->bytesToWrite() + line.size() > kMaxUnread) {
            ++lost_; // it does not read: it misses this one
            continue;
        }
        socket->write(line);
    }
}
