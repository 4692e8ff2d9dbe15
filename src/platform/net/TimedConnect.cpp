#include "TimedConnect.h"

#include "platform/Clock.h"

#include <QTcpSocket>

TimedConnect::TimedConnect(QTcpSocket& socket, const Clock& clock, QObject* parent)
    : QObject(parent), socket_(socket), clock_(clock) {
    tickTimer_.setInterval(kTickMs);
    connect(&tickTimer_, &QTimer::timeout, this, &TimedConnect::tick);
    // A connection that is made or refused is taken at once, not at the next tick.
    connect(&socket_, &QTcpSocket::connected, this, &TimedConnect::tick);
    connect(&socket_, &QTcpSocket::errorOccurred, this, &TimedConnect::tick);
}

void TimedConnect::start(bool startConnection, const QString& host, int port, Finished finished) {
    startConnection_ = startConnection;
    host_ = host;
    port_ = qBound(0, port, 65535);
    finished_ = std::move(finished);
    outcome_ = {};
    stage_ = Stage::Idle; // the abort below must not end this attempt
    socket_.abort();
    stage_ = Stage::Settling;
    stageEndsAt_ = clock_.monotonicSeconds() + kSettleSeconds;
    tickTimer_.start();
    tick();
}

// A clock that stands still (a test's) never reaches a time: each step goes at once.
bool TimedConnect::timeUp() const {
    return clock_.standsStill() || clock_.monotonicSeconds() >= stageEndsAt_;
}

void TimedConnect::noteError() {
    if (socket_.error() != QAbstractSocket::UnknownSocketError) {
        outcome_.errorText = socket_.errorString();
        outcome_.wrongState = socket_.error() == QAbstractSocket::OperationError;
    }
}

void TimedConnect::tick() {
    if (stage_ == Stage::Settling) {
        if (!timeUp())
            return;
        stage_ = Stage::Connecting;
        stageEndsAt_ = clock_.monotonicSeconds() + kConnectSeconds;
        if (startConnection_)
            socket_.connectToHost(host_, static_cast<quint16>(port_));
    }
    if (stage_ != Stage::Connecting)
        return;
    noteError();
    // A refused or failed attempt ends it at once; so does the connection.
    const QAbstractSocket::SocketState state = socket_.state();
    if (state == QAbstractSocket::ConnectedState || state == QAbstractSocket::UnconnectedState ||
        timeUp())
        finish();
}

void TimedConnect::finish() {
    stage_ = Stage::Idle;
    tickTimer_.stop();
    outcome_.connected = socket_.state() == QAbstractSocket::ConnectedState;
    if (!outcome_.connected) {
        noteError();
        socket_.abort();
    }
    if (Finished told = std::exchange(finished_, {}))
        told(outcome_);
}
