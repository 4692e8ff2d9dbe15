#pragma once

// The station server's end of the link, for tests: listens on 127.0.0.1, takes one client
// and collects the lines it sends.
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

class StationEnd {
public:
    StationEnd() { server_.listen(QHostAddress::LocalHost, 0); }

    // Connects `client` to this end and waits until both sides see the connection.
    bool accept(QTcpSocket& client) {
        client.connectToHost(QHostAddress::LocalHost, server_.serverPort());
        if (!server_.waitForNewConnection(5000))
            return false;
        peer_ = server_.nextPendingConnection();
        return client.waitForConnected(5000);
    }

    // Every complete line received so far, without CR LF.
    QStringList lines() {
        if (peer_) {
            peer_->waitForReadyRead(0);
            buffer_ += peer_->readAll();
        }
        QStringList complete;
        qsizetype start = 0;
        for (qsizetype end; (end = buffer_.indexOf("\r\n", start)) >= 0; start = end + 2)
            complete << QString::fromLatin1(buffer_.mid(start, end - start));
        return complete;
    }

    // The complete lines received since the last call, forgotten once taken.
    QStringList takeLines() {
        const QStringList complete = lines();
        if (const qsizetype end = buffer_.lastIndexOf("\r\n"); end >= 0)
            buffer_.remove(0, end + 2);
        return complete;
    }

    // Sends text to the client as one write, and lets it arrive.
    void send(const QByteArray& bytes) {
        peer_->write(bytes);
        peer_->flush();
    }
    // Until everything sent has left this end (a full socket keeps the rest for later).
    void waitUntilSent() {
        for (int i = 0; i < 100 && peer_->bytesToWrite() > 0; ++i)
            peer_->waitForBytesWritten(50);
    }
    quint16 port() const { return server_.serverPort(); }

    // Handles events until `count` lines have come (or five seconds have passed).
    QStringList waitForLines(int count) {
        for (int i = 0; i < 500 && lines().size() < count; ++i)
            QTest::qWait(10);
        return lines();
    }

private:
    QTcpServer server_;
    QTcpSocket* peer_ = nullptr;
    QByteArray buffer_;
};
