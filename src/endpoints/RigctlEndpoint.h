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
// transmitter is released: no one else would ever send its T 0. With every place taken, a new
// client takes the place of the one quiet the longest (none that holds the transmitter), so that
// clients that never finish a line cannot lock a real one out; a client that does not read its
// answers is closed once they pile up past a bound.
class RigctlEndpoint final : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 4532;
    static constexpr int kMaxClients = 32;
    static constexpr qint64 kReadBufferBytes = 64 * 1024;
    static constexpr qint64 kMaxUnreadAnswers = 256 * 1024;

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
    bool makeRoom();

    RigctlRig& rig_;
    QTcpServer server_;
    std::map<QTcpSocket*, std::unique_ptr<RigctlSession>> sessions_;
    std::map<QTcpSocket*, quint64> lastHeard_; // in the order clients were heard
    quint64 heard_ = 0;
};
