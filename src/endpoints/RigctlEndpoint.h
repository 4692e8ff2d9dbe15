#pragma once

#include "RigctlSession.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>
#include <map>
#include <memory>

class QTcpSocket;
class RigctlRig;

// The Hamlib network endpoint: rigctld's protocol on TCP, by default 127.0.0.1:4532, for
// WSJT-X, fldigi, CQRLOG, JS8Call and rigctl ("Hamlib NET rigctl", model 2). Several clients at
// once, each with its own session; all of them and a logger on the radio port see one rig.
// The protocol has no password. A client that leaves (or dies) while its PTT holds the
// transmitter is released: no one else would ever send its T 0.
class RigctlEndpoint final : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 4532;
    static constexpr int kMaxClients = 32;
    static constexpr qint64 kReadBufferBytes = 64 * 1024;

    explicit RigctlEndpoint(RigctlRig& rig, QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port, QString* why);
    void close();
    bool isListening() const { return server_.isListening(); }
    quint16 port() const { return server_.serverPort(); }
    int clientCount() const { return int(sessions_.size()); }

signals:
    // A client went away while its PTT held the transmitter: the key-up has been sent.
    void keyedClientLeft();

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void onDisconnected(QTcpSocket* socket);

    RigctlRig& rig_;
    QTcpServer server_;
    std::map<QTcpSocket*, std::unique_ptr<RigctlSession>> sessions_;
};
