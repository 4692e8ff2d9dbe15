#include "RigctlEndpoint.h"

#include "RigctlRig.h"

#include "TcpClients.h"

#include <QTcpSocket>

RigctlEndpoint::RigctlEndpoint(RigctlRig& rig, QObject* parent) : QObject(parent), rig_(rig) {
    connect(&server_, &QTcpServer::newConnection, this, &RigctlEndpoint::onNewConnection);
}

bool RigctlEndpoint::listen(const QHostAddress& address, quint16 port, QString* why) {
    close();
    if (server_.listen(address, port))
        return true;
    if (why)
        *why = TcpClients::listenFailure(server_, address, port, QStringLiteral("rigctld?"));
    return false;
}

void RigctlEndpoint::close() {
    server_.close();
    TcpClients::dropAll(sessions_, this);
    lastHeard_.clear();
}

void RigctlEndpoint::onNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        if (sessions_.size() >= size_t(kMaxClients) && !makeRoom()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        socket->setParent(this);
        socket->setReadBufferSize(kReadBufferBytes);
        sessions_[socket] = std::make_unique<RigctlSession>(rig_);
        lastHeard_[socket] = ++heard_;
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { onDisconnected(socket); });
    }
}

// The client quiet the longest goes (never one whose PTT holds the transmitter).
bool RigctlEndpoint::makeRoom() {
    QTcpSocket* quietest = nullptr;
    for (const auto& [socket, session] : sessions_)
        if (!session->holdsTransmitter() && (!quietest || lastHeard_[socket] < lastHeard_[quietest]))
            quietest = socket;
    if (!quietest)
        return false;
    quietest->abort(); // its disconnected() ends its session
    if (sessions_.count(quietest))
        onDisconnected(quietest);
    return true;
}

void RigctlEndpoint::onDisconnected(QTcpSocket* socket) {
    const auto it = sessions_.find(socket);
    if (it != sessions_.end() && it->second->holdsTransmitter()) {
        rig_.setTransmitting(false);
        emit keyedClientLeft();
    }
    sessions_.erase(socket);
    lastHeard_.erase(socket);
    socket->disconnect(this);
    socket->deleteLater();
}

void RigctlEndpoint::onReadyRead(QTcpSocket* socket) {
    const auto it = sessions_.find(socket);
    if (it == sessions_.end())
        return;
    RigctlSession& session = *it->second;
    lastHeard_[socket] = ++heard_;
    const QByteArray answers = session.feed(socket->readAll());
    if (!answers.isEmpty())
        socket->write(answers);
    if (socket->bytesToWrite() > kMaxUnreadAnswers) { // it asks and never reads: closed
        socket->abort();
        return;
    }
    if (session.wantsClose())
        socket->disconnectFromHost();
}
