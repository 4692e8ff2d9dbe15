#pragma once

#include "CwDaemonRequest.h"

#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>
#include <functional>
#include <vector>

class Clock;

// The door for loggers that key CW through the cwdaemon protocol (tlf, xlog, CQRLOG): UDP, by
// default on 127.0.0.1:6789. Text goes out through the program's one CW path, exactly as text
// on the keyer port ("+" and "-" in it are 2 wpm faster or slower from there on, as tlf's
// messages use them); ESC 2 sets the speed; ESC 4 ends the reckoning and drops what is owed;
// ESC a and ESC c key and release the transmitter as the logger's TX; and RX; do; ESC h and a
// trailing "^" are answered, as cwdaemon does, with one CR LF once the text has gone out (held
// back or not), and with "break" when ESC 4 drops a text whose answer is owed. The protocol
// has no password.
class CwDaemonEndpoint final : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 6789;
    static constexpr qint64 kMaxDatagram = 2048;
    static constexpr int kDatagramsPerPass = 64; // then the others get a turn
    static constexpr int kSpeedStep = 2; // words per minute, for each "+" or "-" in text

    struct Context {
        const Clock& clock;
        std::function<QString(const QString&)> sendText; // returns what was keyed
        std::function<void(int)> setSpeed;
        std::function<int()> speed;
        std::function<double()> allSentAt; // when all the CW asked for will have gone out
        std::function<void()> abort;
        std::function<void(bool)> key; // the transmitter, as TX; / RX;
    };

    explicit CwDaemonEndpoint(Context context, QObject* parent = nullptr);

    // Listens on `address`:`port`; false with the reason in words.
    bool listen(const QHostAddress& address, quint16 port, QString* why);
    void close();
    bool isListening() const { return socket_.state() == QAbstractSocket::BoundState; }
    quint16 port() const { return socket_.localPort(); }
    qint64 requestsTaken() const { return requestsTaken_; } // datagrams read since the start

    // The 100 ms tick: the answers whose text has gone out, the end of a tune.
    void tick();
    // One request from `from`:`port` (the socket's datagrams come here).
    void handle(const CwDaemonRequest& request, const QHostAddress& from, quint16 port);

private:
    struct Reply {
        double due;
        QByteArray text;
        QHostAddress to;
        quint16 port;
    };
    void onReadyRead();
    void keyText(const CwDaemonRequest& request, const QHostAddress& from, quint16 port);
    void abort();
    void tune(int seconds);
    void sendReply(const QByteArray& text, const QHostAddress& to, quint16 port);

    Context ctx_;
    QUdpSocket socket_;
    std::vector<Reply> replies_;
    std::vector<Reply> replyNext_; // ESC h: waiting for the next text
    double tuneEndsAt_ = -1.0;
    qint64 requestsTaken_ = 0;
};
