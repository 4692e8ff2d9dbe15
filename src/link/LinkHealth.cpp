#include "LinkHealth.h"
#include "station/StationLines.h"

#include "platform/Clock.h"
#include "station/LinkState.h"
#include "station/ServerLine.h"

#include <QTcpSocket>

#include <utility>

LinkHealth::LinkHealth(Context context, QObject* parent) : QObject(parent), ctx_(std::move(context)) {
    connect(&ctx_.socket, &QTcpSocket::connected, this, &LinkHealth::startWatching);
    connect(&ctx_.socket, &QTcpSocket::readyRead, this,
            [this] { lastHeard_ = ctx_.clock.monotonicSeconds(); });
}

void LinkHealth::startWatching() {
    const double now = ctx_.clock.monotonicSeconds();
    loginStartedAt_ = lastHeard_ = lastProbe_ = now;
    wasLoggedIn_ = false;
}

void LinkHealth::secondTick() {
    const double now = ctx_.clock.monotonicSeconds();
    const double previousTick = std::exchange(lastTick_, now);
    if (ctx_.socket.state() != QAbstractSocket::ConnectedState)
        return;
    if (previousTick >= 0 && now - previousTick > kStoppedGapSeconds)
        resumeAfterStop(previousTick, now);
    if (ctx_.link.loggedIn)
        checkSilence(now);
    else
        checkLogin(now);
}

void LinkHealth::resumeAfterStop(double stoppedAt, double now) {
    // Whatever the station said meanwhile waits in the socket, unread: count from now, and
    // give a login under way the time it had left.
    loginStartedAt_ = now - (stoppedAt - loginStartedAt_);
    lastHeard_ = lastProbe_ = now;
    ctx_.resumed(stoppedAt);
    if (ctx_.link.loggedIn)
        ctx_.server.send(StationLines::statusRequest());
}

void LinkHealth::checkLogin(double now) {
    if (wasLoggedIn_) { // logged out by hand: the deadline starts again
        wasLoggedIn_ = false;
        loginStartedAt_ = now;
    }
    if (now - loginStartedAt_ < kLoginDeadlineSeconds)
        return;
    ctx_.linkDead(QStringLiteral("the station server did not log us in within %1 s (check the "
                                 "callsign and password); link closed")
                      .arg(kLoginDeadlineSeconds));
}

void LinkHealth::checkSilence(double now) {
    if (!wasLoggedIn_) { // the silence counts from "Login OK", the last thing heard
        wasLoggedIn_ = true;
        lastProbe_ = lastHeard_;
    }
    const double allowed = ctx_.transmitting() ? kSilenceWhileKeyedSeconds : kSilenceSeconds;
    const double silent = now - lastHeard_;
    if (silent >= allowed) {
        ctx_.linkDead(QStringLiteral("no answer from the station for %1 s; link closed").arg(qRound(silent)));
        return;
    }
    const double probeEvery = allowed / 3;
    if (silent >= probeEvery && now - lastProbe_ >= probeEvery) {
        lastProbe_ = now;
        ctx_.server.send(StationLines::statusRequest());
    }
}
