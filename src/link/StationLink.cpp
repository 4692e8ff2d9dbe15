#include "StationLink.h"
#include "station/StationLines.h"

#include "station/LinkState.h"
#include "LinkTexts.h"
#include "TransmitterHold.h"
#include "station/ServerLine.h"
#include "common/ControlStore.h"
#include "common/MonitorBoxes.h"
#include "common/Controls.h"
#include "common/StationAddress.h"
#include "platform/Dialogs.h"
#include "platform/net/TcpKeepAlive.h"
#include "platform/net/TimedConnect.h"

#include <QTcpSocket>

StationLink::StationLink(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)), connect_(ctx_.socket, ctx_.clock) {
    connect(&ctx_.socket, &QTcpSocket::disconnected, this, &StationLink::onServerClosed);
    closeTimer_.setSingleShot(true);
    closeTimer_.setInterval(kCloseMs);
    connect(&closeTimer_, &QTimer::timeout, this, &StationLink::finishDisconnect);
}

void StationLink::connectClicked() {
    if (ctx_.link.linkUp)
        disconnectLink();
    else
        connectLink();
}

void StationLink::connectAtStartup() {
    // With no address there is nothing to reach; the operator enters one and connects.
    if (ctx_.address.host.isEmpty() || !ctx_.address.port) {
        showStatus(QStringLiteral("enter the station server's address and port. "
                                  "No station yet? Run corvel-sim "
                                  "--listen 127.0.0.1:7373 --user OH2XX:secret, then enter "
                                  "127.0.0.1, 7373, OH2XX, secret"));
        return;
    }
    connectLink();
}

void StationLink::connectLink() {
    if (isConnecting())
        return; // one attempt at a time: the one on its way goes on
    const bool start = !ctx_.store.isVisible(Ctl::connectedLight);
    if (start)
        showStatus(QStringLiteral("connecting"));
    connect_.start(start, ctx_.address.host, ctx_.address.port.value_or(0),
                   [this](const TimedConnect::Outcome& outcome) { connectFinished(outcome); });
}

void StationLink::connectFinished(const TimedConnect::Outcome& outcome) {
    if (outcome.connected) {
        TcpKeepAlive::apply(ctx_.socket);
        ctx_.store.setVisible(Ctl::connectedLight, true);
        ctx_.link.linkUp = true;
        ctx_.store.setText(Ctl::connectMenu, LinkTexts::kCaptionDisconnect);
        showStatus(QStringLiteral("connected"));
        return;
    }
    ctx_.store.setVisible(Ctl::connectedLight, false);
    ctx_.store.setVisible(Ctl::loginLight, false);
    showStatus(QStringLiteral("not connected"));
    reportConnectFailure(outcome.errorText, outcome.wrongState);
}

void StationLink::reportConnectFailure(const QString& socketError, bool wrongState) {
    if (wrongState) {
        ctx_.dialogs.showMessage(LinkTexts::kWrongState);
        return;
    }
    ctx_.dialogs.showMessage(socketError.isEmpty() ? LinkTexts::kTryAgain.trimmed()
                                                   : socketError + LinkTexts::kTryAgain);
    if (ctx_.commandLine == QStringLiteral("SERVER") &&
        !ctx_.dialogs.askYesNo(QStringLiteral(
            "There might be a instance of the program already running, Continue anyway")))
        ctx_.endProcessAtOnce();
}

void StationLink::disconnectLink() {
    if (closeTimer_.isActive())
        return; // already closing
    // Leaving a transmitter this program holds: the key-up goes out now if the link still
    // carries it, and again first thing at the next login unless the station is heard first.
    TransmitterHold& hold = ctx_.hold;
    if (hold.holds() || hold.keyUpOwed()) {
        if (ctx_.server.send(StationLines::keyUp()) && hold.keyUpOwed())
            hold.noteOwedKeyUpSent(); // it waits to be heard like any other key-up
        ctx_.server.send(StationLines::statusRequest());
    }
    ctx_.link.loggedIn = false;
    ctx_.link.serverRxBusy = false;
    ctx_.link.serverMsgBusy = false;
    closingOurselves_ = true;
    ctx_.socket.disconnectFromHost();
    if (ctx_.socket.state() == QAbstractSocket::UnconnectedState) {
        finishDisconnect();
        return;
    }
    showStatus(QStringLiteral("disconnecting"));
    closeTimer_.start(); // or the socket's own disconnected signal, whichever comes first
}

void StationLink::finishDisconnect() {
    closeTimer_.stop();
    ctx_.socket.abort();
    closingOurselves_ = false;
    ctx_.hold.noteLinkGone();
    showIdle(LinkTexts::kCaptionConnect);
    showStatus(QStringLiteral("disconnected"));
}

void StationLink::showStatus(const QString& words) {
    status_ = words;
    ctx_.store.setText(Ctl::linkStatusLabel, QStringLiteral(" Status: ") + words);
}

void StationLink::showIdle(const QString& caption) {
    ctx_.link.linkUp = false;
    ctx_.store.setText(Ctl::connectMenu, caption);
    ctx_.store.setVisible(Ctl::connectedLight, false);
    ctx_.store.setVisible(Ctl::loginLight, false);
}

void StationLink::linkLost() {
    showIdle(LinkTexts::kCaptionConnect);
    ctx_.link.loggedIn = false;
    ctx_.link.serverRxBusy = false;
    showStatus(QStringLiteral("link lost"));
    if (ctx_.hold.noteLinkGone())
        ctx_.dialogs.showMessage(LinkTexts::kLostConnection + LinkTexts::kKeyUpOwed);
    else
        ctx_.dialogs.showMessage(LinkTexts::kLostConnection);
}

void StationLink::onServerClosed() {
    if (closeTimer_.isActive()) { // our own disconnect, its last lines written
        finishDisconnect();
        return;
    }
    // Only a close that the station made: our own disconnect shows its state itself.
    if (closingOurselves_ || !ctx_.link.linkUp)
        return;
    closedByTheStation(QStringLiteral("the station server closed the link"));
    if (ctx_.hold.keyUpOwed())
        showMessageLater(ctx_.dialogs, this, QStringLiteral("The station server closed the link") +
                                                 LinkTexts::kKeyUpOwed);
}

void StationLink::linkDead(const QString& why) {
    if (!ctx_.link.linkUp)
        return;
    closedByTheStation(why);
}

void StationLink::closedByTheStation(const QString& why) {
    closingOurselves_ = true;
    ctx_.socket.abort();
    closingOurselves_ = false;
    // The lights must not claim a link that is gone: back to idle, ready to connect again.
    showIdle(LinkTexts::kCaptionConnect);
    ctx_.link.loggedIn = false;
    ctx_.link.serverRxBusy = false;
    QString status = why;
    if (ctx_.hold.noteLinkGone())
        status += QStringLiteral("; the key-up (%1) goes out at the next login")
                      .arg(StationLines::keyUp());
    showStatus(status);
    ctx_.monitors.copyFromServer(QStringLiteral("Status: ") + status + QStringLiteral("\r\n"));
}

void StationLink::loginAccepted() {
    ctx_.link.loggedIn = true;
    ctx_.store.setVisible(Ctl::loginLight, true);
    showStatus(QStringLiteral("logged in"));
    if (ctx_.hold.keyUpOwed() && ctx_.server.send(StationLines::keyUp())) {
        ctx_.hold.noteOwedKeyUpSent();
        showStatus(QStringLiteral("logged in; the owed key-up was sent"));
    }
    ctx_.initPorts();
    if (ctx_.store.isTicked(Ctl::guardCheck))
        ctx_.server.send(StationLines::keyUp());
}

void StationLink::toggleLogin() {
    ctx_.store.setVisible(Ctl::loginLight, true);
    ctx_.link.loggedIn = !ctx_.link.loggedIn;
    ctx_.store.setColour(Ctl::loginLight, ctx_.link.loggedIn ? Colours::kGreen : Colours::kRed);
}

void StationLink::callsignLeft() {
    ctx_.store.setText(Ctl::loginCallsignBox, ctx_.store.text(Ctl::loginCallsignBox).toUpper());
}
