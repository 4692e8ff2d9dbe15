#include "Watchdogs.h"

#include "station/LinkState.h"
#include "LinkTexts.h"
#include "station/ServerLine.h"
#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/NumericText.h"
#include "platform/BusyGuard.h"
#include "platform/PausingWait.h"

Watchdogs::Watchdogs(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {}

void Watchdogs::secondTick() {
    ctx_.store.setColour(Ctl::RCVIP, Colours::kLedOff);
    watchInactivity();
    watchTransmitter();
}

void Watchdogs::watchInactivity() {
    if (!ctx_.store.isTicked(Ctl::EnableActive) || ctx_.link.activitySeen)
        return;
    LinkState::countUp(ctx_.link.idleCount);
    if (ctx_.store.isTicked(Ctl::Check1))
        ctx_.store.setText(Ctl::Text6, QString::number(ctx_.link.idleCount));
    // Compared as numbers as typed, so a huge limit simply never comes.
    if (NumericText::numericValue(ctx_.store.text(Ctl::ActiveTime)) >= ctx_.link.idleCount)
        return;
    ctx_.link.idleCount = 0;
    if (ctx_.server.isConnected())
        shutDownReceiver();
}

void Watchdogs::shutDownReceiver() {
    BusyGuard guard(shuttingDown_);
    if (!guard.entered())
        return; // one shutdown at a time: the ticks go on during its waits
    ctx_.link.activitySeen = false;
    ctx_.link.idleCount = 0;
    if (ctx_.store.isTicked(Ctl::Check1))
        ctx_.store.setText(Ctl::Text6, LinkTexts::kShuttingDown);
    PausingWait::yieldToEvents();
    ctx_.server.send(QStringLiteral("A0:MX0;"));
    ctx_.wait.wait(kShutdownStepSeconds);
    ctx_.server.send(QStringLiteral("A0:PS0;"));
    ctx_.wait.wait(kShutdownStepSeconds);
    ctx_.server.send(QStringLiteral("A0:PS0;"));
}

void Watchdogs::watchTransmitter() {
    if (!ctx_.store.isTicked(Ctl::EnableGuard) || !ctx_.link.txKeyed)
        return;
    LinkState::countUp(ctx_.link.guardCount);
    if (NumericText::numericValue(ctx_.store.text(Ctl::GuardTime)) >= ctx_.link.guardCount)
        return;
    ctx_.link.guardCount = 0;
    if (!ctx_.server.isConnected())
        return;
    ctx_.server.send(QStringLiteral("A0:MX0;"));
    ctx_.store.setText(Ctl::Text6, LinkTexts::kGuardKeyUp);
    ctx_.link.guardNoticeShown = true;
    ctx_.link.txKeyed = false;
    ctx_.store.setVisible(Ctl::Shape2, false);
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

void Watchdogs::activeBoxPressed() { ctx_.link.idleCount = 0; }

void Watchdogs::guardBoxPressed() { ctx_.link.guardCount = 0; }

QString Watchdogs::activeToolTip() const {
    return QStringLiteral("Shut the receiver off if no activity for ") +
           ctx_.store.text(Ctl::ActiveTime) + QStringLiteral(" seconds");
}

QString Watchdogs::guardToolTip() const {
    return QStringLiteral("Enable Guard. If checked system will watch for transmit (key down) "
                          "and send key up if down for longer than ") +
           ctx_.store.text(Ctl::GuardTime) + QStringLiteral(" seconds");
}
