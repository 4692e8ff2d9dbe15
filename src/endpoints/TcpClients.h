#pragma once

#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

// What the TCP endpoints (Hamlib rigctl, the spots node) share about their listening socket
// and their clients' sockets.
namespace TcpClients {

// Why listening failed, in words: `likelyHolder` names what usually holds the port.
inline QString listenFailure(const QTcpServer& server, const QHostAddress& address, quint16 port,
                             const QString& likelyHolder) {
    return server.serverError() == QAbstractSocket::AddressInUseError
               ? QStringLiteral("TCP %1 is in use by another program (%2)").arg(port).arg(likelyHolder)
               : QStringLiteral("TCP %1 on %2: %3").arg(port).arg(address.toString(), server.errorString());
}

// Every client cut off at once (the endpoint closes), its socket no longer heard by `owner`.
template <class Sessions>
void dropAll(Sessions& sessions, QObject* owner) {
    for (auto& [socket, session] : sessions) {
        socket->disconnect(owner);
        socket->abort();
        socket->deleteLater();
    }
    sessions.clear();
}

} // namespace TcpClients
