#pragma once

#include "common/Login.h"

#include <QObject>
#include <QTcpSocket>

#include "platform/net/TimedConnect.h"

class Clock;
class ControlStore;
struct StationAddress;
class Dialogs;

// This station's connection to the chat server, on the station server's host and the chat
// port: connect and log in, show what arrives, notice a lost link.
class ChatClient final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxChunk = 16 * 1024;

    struct Context {
        ControlStore& store; // main window
        const Login& login;  // who we are in the chat
        const StationAddress& address; // the chat server is on the station server's host
        ControlStore& chat;  // chat window
        const Clock& clock; // the login's time stamp; the connect's settling and limit
        Dialogs& dialogs;
    };

    explicit ChatClient(Context context, QObject* parent = nullptr);

    // Connects (after the usual settling) and logs in; a failure is told in a message.
    void connectToServer();
    bool isConnecting() const { return connect_.isRunning(); }
    TimedConnect& connectAttempt() { return connect_; }
    bool isConnected() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void send(const QString& text);
    void close() { socket_.abort(); }
    QTcpSocket& socket() { return socket_; } // Winsock3

private:
    void connectFinished(const TimedConnect::Outcome& outcome);
    void onData();
    void onClosed();

    Context ctx_;
    QTcpSocket socket_;
    TimedConnect connect_{socket_, ctx_.clock};
    bool chatClientBusy_ = false;
};
