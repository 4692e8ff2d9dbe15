#include "Watchdogs.h"
#include "station/StationLines.h"

#include "station/LinkState.h"
#include "LinkTexts.h"
#include "station/ServerLine.h"
#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "platform/BusyGuard.h"
#include "platform/Clock.h"

Watchdogs::Watchdogs(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {}

void Watchdogs::secondTick() {
    ctx_.store.setColour(Ctl::receiveLight, Colours::kLedOff);
    // While the station is being switched off, the inactivity count waits for it to finish.
    if (powerOffsLeft_ > 0)
        continueShutdown();
    else
        watchInactivity();
    watchTransmitter();
}

void Watchdogs::watchInactivity() {
    if (!ctx_.store.isTicked(Ctl::inactivityCheck) || ctx_.link.activitySeen)
        return;
    ElapsedCount& idle = ctx_.link.idleCount;
    idle.tick(ctx_.clock.monotonicSeconds());
    if (ctx_.store.isTicked(Ctl::monitorDataCheck))
        ctx_.store.setText(Ctl::outgoingMonitor, QString::number(idle.seconds));
    if (idleLimit_ >= idle.seconds)
        return;
    idle.reset();
    if (ctx_.server.isConnected())
        startShutdown();
}

void Watchdogs::startShutdown() {
    ctx_.link.activitySeen = false;
    ctx_.link.idleCount.reset();
    if (ctx_.store.isTicked(Ctl::monitorDataCheck))
        ctx_.store.setText(Ctl::outgoingMonitor, LinkTexts::kShuttingDown);
    ctx_.server.send(StationLines::keyUp());
    powerOffsLeft_ = 2; // the power-off goes twice, a second apart, as it always has
}

void Watchdogs::continueShutdown() {
    --powerOffsLeft_;
    ctx_.server.send(StationLines::powerOff());
}

void Watchdogs::watchTransmitter() {
    if (!ctx_.store.isTicked(Ctl::guardCheck) || !ctx_.link.txKeyed)
        return;
    ElapsedCount& keyed = ctx_.link.guardCount;
    keyed.tick(ctx_.clock.monotonicSeconds());
    if (guardLimit_ >= keyed.seconds)
        return;
    keyed.reset();
    if (!ctx_.server.isConnected())
        return;
    ctx_.server.send(StationLines::keyUp());
    ctx_.store.setText(Ctl::outgoingMonitor, LinkTexts::kGuardKeyUp);
    ctx_.link.guardNoticeShown = true;
    ctx_.link.txKeyed = false;
    ctx_.store.setVisible(Ctl::keyedLight, false);
}

void Watchdogs::senderTick() {
    if (ctx_.link.serverRxBusy || ctx_.picture.pendingFreqCommand.isEmpty())
        return;
    BusyGuard guard(ctx_.link.senderBusy);
    if (!guard.entered())
        return;
    const QString command = ctx_.picture.pendingFreqCommand;
    ctx_.picture.pendingFreqCommand.clear();
    ctx_.server.send(command);
}

void Watchdogs::activeBoxPressed() { ctx_.link.idleCount.reset(); }

void Watchdogs::guardBoxPressed() { ctx_.link.guardCount.reset(); }

QString Watchdogs::activeToolTip() const {
    return QStringLiteral("Shut the receiver off if no activity for ") +
           QString::number(idleLimit_) + QStringLiteral(" seconds");
}

QString Watchdogs::guardToolTip() const {
    return QStringLiteral("Enable Guard. If checked system will watch for transmit (key down) "
                          "and send key up if down for longer than ") +
           QString::number(guardLimit_) + QStringLiteral(" seconds");
}
