#pragma once

// A path between the program and the station server that can go dead without closing, as a
// NAT that forgot the connection or a router that stopped forwarding does: listens on
// 127.0.0.1, connects each client on to `upstreamPort`, and passes bytes both ways until
// `goDead()`. From then on it takes what either side writes and drops it, closing nothing.
// New connections pass again, as a path that came back reset: the old ones stay dead.
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>
#include <vector>

class DeadRelay : public QObject {
public:
    explicit DeadRelay(quint16 upstreamPort) : upstreamPort_(upstreamPort) {
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* client = server_.nextPendingConnection())
                relay(client);
        });
    }
    quint16 port() const { return server_.serverPort(); }
    void goDead() {
        for (Pair& pair : pairs_)
            pair.dead = true;
    }

private:
    struct Pair {
        QTcpSocket* client;
        std::unique_ptr<QTcpSocket> upstream;
        bool dead = false;
    };
    void relay(QTcpSocket* client) {
        client->setParent(this);
        pairs_.push_back({client, std::make_unique<QTcpSocket>()});
        const size_t index = pairs_.size() - 1;
        QTcpSocket* upstream = pairs_.back().upstream.get();
        upstream->connectToHost(QHostAddress::LocalHost, upstreamPort_);
        auto pass = [this, index](QTcpSocket* from, QTcpSocket* to) {
            const QByteArray bytes = from->readAll();
            if (!pairs_[index].dead)
                to->write(bytes);
        };
        connect(client, &QTcpSocket::readyRead, this, [=] { pass(client, upstream); });
        connect(upstream, &QTcpSocket::readyRead, this, [=] { pass(upstream, client); });
    }

    QTcpServer server_;
    quint16 upstreamPort_;
    std::vector<Pair> pairs_;
};
