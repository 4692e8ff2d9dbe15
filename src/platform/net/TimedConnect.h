#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class Clock;
class QTcpSocket;

// The way both the station link and the chat connect: drop any old connection, let things
// settle for 2 s, start the connection (unless told not to), and give it 10 s. It runs on the
// ticks of a timer, measured on the clock, while the program goes on; the outcome is told
// once, when the connection is up, has failed, or its time is up.
class TimedConnect final : public QObject {
    Q_OBJECT
public:
    struct Outcome {
        bool connected = false;
        QString errorText;       // the network's own words, empty when it raised nothing
        bool wrongState = false; // the socket refused the operation in its state
    };
    using Finished = std::function<void(const Outcome&)>;

    static constexpr double kSettleSeconds = 2.0;
    static constexpr double kConnectSeconds = 10.0;
    static constexpr int kTickMs = 20;

    TimedConnect(QTcpSocket& socket, const Clock& clock, QObject* parent = nullptr);

    // Starts an attempt; one already running is dropped first, untold.
    void start(bool startConnection, const QString& host, int port, Finished finished);
    // The timer's tick: the next step once its time has come or the socket has answered.
    void tick();
    bool isRunning() const { return stage_ != Stage::Idle; }

private:
    enum class Stage { Idle, Settling, Connecting };
    bool timeUp() const;
    void noteError();
    void finish();

    QTcpSocket& socket_;
    const Clock& clock_;
    QTimer tickTimer_;
    Stage stage_ = Stage::Idle;
    double stageEndsAt_ = 0; // on the monotonic clock
    bool startConnection_ = true;
    QString host_;
    int port_ = 0;
    Outcome outcome_;
    Finished finished_;
};
