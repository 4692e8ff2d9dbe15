#include "TimedConnect.h"

#include "platform/PausingWait.h"

#include <QTcpSocket>

TimedConnect TimedConnect::run(QTcpSocket& socket, const PausingWait& wait, bool start,
                               const QString& host, int port) {
    TimedConnect outcome;
    auto noteError = [&] {
        if (socket.error() != QAbstractSocket::UnknownSocketError) {
            outcome.errorText = socket.errorString();
            outcome.wrongState = socket.error() == QAbstractSocket::OperationError;
        }
    };
    socket.abort();
    wait.wait(kSettleSeconds);
    if (start)
        socket.connectToHost(host, static_cast<quint16>(qBound(0, port, 65535)));
    // A refused or failed attempt ends the wait at once; so does the connection.
    wait.wait(kConnectSeconds, [&] {
        noteError();
        return socket.state() == QAbstractSocket::ConnectedState ||
               socket.state() == QAbstractSocket::UnconnectedState;
    });
    outcome.connected = socket.state() == QAbstractSocket::ConnectedState;
    if (!outcome.connected) {
        noteError();
        socket.abort();
    }
    return outcome;
}
