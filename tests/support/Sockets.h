#pragma once

// A client's side of the program's TCP doors on 127.0.0.1, for tests. The doors live in the
// test's own thread, so events are handled while waiting.
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

// A client connecting to `port`, waited for up to two seconds.
inline std::unique_ptr<QTcpSocket> connectedClient(quint16 port) {
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress::LocalHost, port);
    socket->waitForConnected(2000);
    return socket;
}

// All that `socket` received until `wanted` came or `ms` passed.
inline QByteArray readUntil(QTcpSocket& socket, const QByteArray& wanted, int ms = 5000) {
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    do {
        QTest::qWait(5);
        got += socket.readAll();
    } while (!got.contains(wanted) && timer.elapsed() < ms);
    return got;
}
