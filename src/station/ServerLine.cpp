#include "ServerLine.h"

#include <QTcpSocket>

ServerLine::ServerLine(QTcpSocket& socket, QObject* parent) : QObject(parent), socket_(socket) {}

bool ServerLine::isConnected() const {
    return socket_.state() == QAbstractSocket::ConnectedState;
}

bool ServerLine::send(const QString& text) {
    if (!isConnected())
        return false;
    sendUnchecked(text);
    return true;
}

void ServerLine::sendUnchecked(const QString& text) {
    if (!socket_.isOpen())
        return;
    // All station messages are plain ASCII; other characters go out as single bytes.
    socket_.write(text.toLatin1() + "\r\n");
    emit lineSent(text);
}
