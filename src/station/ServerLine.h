#pragma once

#include <QObject>
#include <QString>

class QTcpSocket;

// The line to the station server: one message is its text followed by CR LF, sent only
// while the connection is up; otherwise it is dropped without a word.
class ServerLine final : public QObject {
    Q_OBJECT
public:
    explicit ServerLine(QTcpSocket& socket, QObject* parent = nullptr);

    bool isConnected() const;
    // Sends the text and CR LF; false when the line was dropped.
    bool send(const QString& text);
    // Sends with no check of the connection (the login answers); a closed socket drops it.
    void sendUnchecked(const QString& text);

signals:
    void lineSent(const QString& text);

private:
    QTcpSocket& socket_;
};
