#pragma once

#include "common/Login.h"

#include <QObject>
#include <QTcpSocket>

class Clock;
class ControlStore;
class Dialogs;
class PausingWait;

// This station's connection to the chat server, on the station server's host and the chat
// port: connect and log in, show what arrives, notice a lost link.
class ChatClient final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxChunk = 16 * 1024;

    struct Context {
        ControlStore& store; // main window
        const Login& login;  // who we are in the chat
        ControlStore& chat;  // chat window
        const PausingWait& wait;
        const Clock& clock;
        Dialogs& dialogs;
    };

    explicit ChatClient(Context context, QObject* parent = nullptr);

    void connectToServer();
    bool isConnected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void send(const QString& text);
    void close() { socket_.abort(); }
    QTcpSocket& socket() { return socket_; } // Winsock3

private:
    void onData();
    void onClosed();

    Context ctx_;
    QTcpSocket socket_;
    bool chatClientBusy_ = false;
};
