#pragma once

#include <QHash>
#include <QSet>
#include <functional>
#include <QObject>
#include <QTcpServer>

#include "ChatAllowList.h"
#include "common/StationAddress.h"

class Clock;
class ControlStore;
class LogFile;
class QTcpSocket;
class ServerLine;

// The chat server ("I Am A Server"): listens on the chat port, numbers its clients from 1
// (never reusing a number), relays what one sends to the others, writes logins to the log
// file and hands out the log's tail. The protocol has no credentials, so who may connect is
// limited only by ChatAllow.txt when there is one; at most 500 stations are connected at once.
class ChatServer final : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxSlots = 500;
    static constexpr qint64 kMaxChunk = 16 * 1024;
    // A client that does not read what is relayed to it is skipped past this much waiting.
    static constexpr qint64 kMaxPendingRelay = 256 * 1024;
    static constexpr int kMaxLoginTail = 14000;
    // A login line in the log: a callsign, a time and a date, with room to spare.
    static constexpr int kMaxLoginLine = 120;
    // A connection must send its login ("Login:" and a callsign) within this time, and before
    // that nothing it sends is relayed or shown; what it sends before the login is bounded.
    static constexpr double kLoginDeadlineSeconds = 30.0;
    static constexpr int kMaxBytesBeforeLogin = 256;
    // A station whose line runs on longer than this without a line end is closed.
    static constexpr qint64 kMaxLineBytes = 64 * 1024;
    // What Qt may hold unread for one connection; beyond it, TCP makes the sender wait.
    static constexpr qint64 kReadBufferBytes = 4 * kMaxChunk;
    static inline const QString kFullMessage = QStringLiteral(
        "Chat server full: 500 stations are connected; further connections are refused until "
        "one leaves.\r\n");

    struct Context {
        ControlStore& store;      // main window: lights
        ControlStore& chat;       // chat window: the display
        const StationAddress& address; // its chat port is the one listened on
        LogFile& log;
        std::function<bool()> clientConnected; // this station's own chat client
        std::function<void(const QString&)> sendThroughClient;
        QString allowListPath; // ChatAllow.txt beside the settings file
        const Clock& clock;    // the login deadline
        int maxOpen = kMaxSlots; // connections open at once
    };

    explicit ChatServer(Context context, QObject* parent = nullptr);

    // Listens on the chat port; nothing when none is set.
    bool startListening();
    bool isListening() const { return listener_.isListening(); }
    quint16 port() const { return listener_.serverPort(); }
    void resetCount() { chatClientCount_ = 0; }

    // Text typed at the server goes to every client as it stands.
    void sendToAll(const QString& text);
    // The once-a-second sweep of slots whose connection has ended; connections that did not
    // log in within the deadline are closed.
    void cleanUpSlots();
    void closeAll();

    int chatClientCount() const { return chatClientCount_; }
    int activeSlots() const { return slots_.size(); }
    int openConnections() const;
    // What a chunk from a station does here (log, display, the log's tail, //STOP:), and the
    // chunk as it is to be relayed. Public for the fuzzer, which feeds it without sockets.
    QString handleChunk(int slot, QString chunk);
    const ChatAllowList& allowList() const { return allowList_; }

private:
    void onNewConnection();
    bool refused(QTcpSocket* socket);
    void logLogin(int slot, const QString& chunk);
    void onData(int slot);
    bool takeLogin(int slot, QByteArray& bytes);
    bool lineTooLong(int slot, const QByteArray& bytes);
    void closeStation(int slot, const QString& why);
    void forget(int slot);
    void scheduleWaiting();
    int relayTarget(int sender) const;
    void relay(int sender, const QString& chunk, int onlyTo);
    void send(QTcpSocket* socket, const QString& text);
    bool connected(int slot) const;

    Context ctx_;
    QTcpServer listener_; // slot 0
    QHash<int, QTcpSocket*> slots_;
    QSet<int> scheduled_; // slots with a pass to come
    int chatClientCount_ = 0;
    bool serverBusy_ = false;
    bool fullReported_ = false;
    ChatAllowList allowList_;
    QSet<QString> refusedPeers_;  // told once each
    QSet<int> loggedIn_;          // slots whose login is in the log
    QHash<int, double> awaitingLogin_;    // slot → when it connected (monotonic seconds)
    QHash<int, QByteArray> beforeLogin_;  // what it sent before its login was complete
    QHash<int, qint64> lineLength_;       // bytes since its last line end
    bool acceptPaused_ = false;           // the system refused a connection; listen again later
};
