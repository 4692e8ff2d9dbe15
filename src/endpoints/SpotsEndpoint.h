#pragma once

#include "ClusterSession.h"

#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <map>
#include <memory>

class QTcpSocket;

// The local DX-cluster node: the skimmer's spots for the loggers' bandmaps (tlf, CQRLOG ...)
// over telnet, by default 127.0.0.1:7300. Up to 32 clients; with every place taken a new one
// takes the place of the one quiet the longest. A client that does not read loses spots
// rather than holding anything up: past a bound of unread bytes it is sent none until it has
// read them. No password, as a cluster node has none.
class SpotsEndpoint final : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 7300;
    static constexpr int kMaxClients = 32;
    static constexpr qint64 kReadBufferBytes = 16 * 1024;
    static constexpr qint64 kMaxUnread = 64 * 1024;

    // `nodeCall` signs the node and its spots (the operator's call and "-#").
    explicit SpotsEndpoint(QString nodeCall, QObject* parent = nullptr);
    // For the clients that come from now on.
    void setNodeCall(const QString& nodeCall) { node_ = nodeCall; }

    bool listen(const QHostAddress& address, quint16 port, QString* why);
    void close();
    bool isListening() const { return server_.isListening(); }
    quint16 port() const { return server_.serverPort(); }
    int clientCount() const { return int(sessions_.size()); }

    // A new spot line, for every logged-in client.
    void publish(const QString& spotLine);
    // Spots a client missed because it did not read, since the start.
    qint64 spotsLost() const { return lost_; }

private:
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void drop(QTcpSocket* socket);
    void makeRoom();

    QString node_;
    QTcpServer server_;
    std::map<QTcpSocket*, std::unique_ptr<ClusterSession>> sessions_;
    std::map<QTcpSocket*, quint64> lastHeard_;
    quint64 heard_ = 0;
    QStringList recent_; // the last spot lines, for sh/dx
    qint64 lost_ = 0;
};
