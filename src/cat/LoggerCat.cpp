#include "LoggerCat.h"
#include "cat/LoggerPort.h"
#include "station/StationLines.h"

#include "CatCommandPass.h"
#include "station/CatFormats.h"
#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/MonitorBoxes.h"
#include "station/ServerLine.h"
#include "platform/BusyGuard.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PausingWait.h"
#include "platform/serial/CommPort.h"

#include <utility>

LoggerCat::LoggerCat(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {}

void LoggerCat::onCommEvent(CommEvent event) {
    switch (event) {
    case CommEvent::Receive:
        ctx_.picture.loggerOnline = true;
        for (const QString& indicator : {Ctl::rdLight, Ctl::ctsLight, Ctl::dsrLight, Ctl::cdLight})
            light(indicator, true);
        // Bytes that came while the pass was finishing get a pass of their own at once: a
        // logger that waits for its answer before it polls again must not wait in vain.
        do {
            readFromLogger();
        } while (!catBusy_ && ctx_.port.isOpen() && ctx_.port.inBufferCount() > 0);
        light(Ctl::rdLight, false);
        break;
    case CommEvent::CdChange:
        light(Ctl::cdLight, ctx_.port.cd());
        if (ctx_.port.cd()) {
            ctx_.picture.loggerOnline = true;
        } else {
            ctx_.port.close();
            lineDropped();
        }
        break;
    case CommEvent::CtsChange:
        light(Ctl::ctsLight, ctx_.port.cts());
        break;
    case CommEvent::DsrChange:
        light(Ctl::dsrLight, ctx_.port.dsr());
        if (!ctx_.port.dsr())
            lineDropped();
        break;
    default: // errors and the ring line mean nothing on this port
        break;
    }
}

void LoggerCat::lineDropped() {
    // The logger closed its end: start the ports again, ready for it to come back.
    ctx_.picture.loggerOnline = false;
    echoes_.dropAll(); // owed to the program that left, not to the next one to open the port
    unlightAll();
    releaseWhatTheLoggerKeyed();
    ctx_.initPorts();
}

// A logger that dies (or closes its port) while its TX; holds the transmitter will never send
// the RX; that releases it.
void LoggerCat::releaseWhatTheLoggerKeyed() {
    if (!loggerKeyed_)
        return;
    loggerKeyed_ = false;
    const QString keyUp = StationLines::keyUp();
    const bool sent = ctx_.server.send(keyUp);
    if (sent)
        ctx_.monitors.copySent(keyUp);
    ctx_.store.setText(
        Ctl::linkStatusLabel,
        sent ? QStringLiteral(" Status: the logger left its port with the transmitter "
                              "keyed; key-up sent")
             : QStringLiteral(" Status: the logger left its port with the transmitter "
                              "keyed; the key-up goes out at the next login"));
}

void LoggerCat::noteKeying(const QString& serverLine) {
    if (serverLine == StationLines::keyDown())
        loggerKeyed_ = true;
    else if (serverLine == StationLines::keyUp())
        loggerKeyed_ = false;
}

void LoggerCat::readFromLogger() {
    BusyGuard guard(catBusy_);
    if (!guard.entered())
        return; // the bytes wait in the port for the pass that is running
    const QString field = ctx_.picture.frequencyField();
    catBuffer_ += takeIntake();

    CatCommandPass pass(ctx_.picture, field, ctx_.server.isConnected(), ctx_.keyer.speed());
    if (!perform(pass.beforeLoop(catBuffer_)))
        return;
    ctx_.monitors.copyFromLogger(catBuffer_);
    if (!ctx_.port.isOpen()) {
        catBuffer_.clear();
        return;
    }
    if (!perform(pass.commandLoop(catBuffer_)))
        return;
    catBuffer_ = pass.unfinished();
}

QString LoggerCat::takeIntake() {
    // One character at a time. What has come is taken at once, and a finished command is
    // answered at once, as a rig answers; only the rest of an unfinished one is waited for.
    QString intake;
    while (ctx_.port.inBufferCount() > 0) {
        if (outOfStep(intake))
            return newestCommand(intake);
        // Nested: the port's own events (bytes arriving, the far end closing) are taken
        // between characters, so that a command's bytes still on their way join this pass.
        PausingWait::yieldToEvents();
        const QByteArray one = ctx_.port.readOne();
        if (one.isEmpty())
            break; // the port was closed meanwhile
        intake += QString::fromLatin1(one);
        // Nested: the rest of an unfinished command is waited for inside this pass, so that
        // the command is answered in the pass that took its start (a logger writing in pieces).
        if (awaitsItsRest(catBuffer_ + intake))
            ctx_.wait.wait(kIntakePauseSeconds, [this] { return ctx_.port.inBufferCount() > 0; });
    }
    return intake;
}

// Nothing more has come and the last command is not finished: its rest is given up to a
// character's pause to arrive (a logger may write a command in pieces; flrig writes a byte a
// millisecond). Within "KY text;"
// nothing is waited for, as a rig fills its CW buffer: at a slower pace Hamlib's check that
// follows the text would time out and it would send the text again.
bool LoggerCat::awaitsItsRest(const QString& taken) const {
    return ctx_.port.inBufferCount() == 0 && !taken.endsWith(u';') && !inKeyerText(taken);
}

// Within "KY text;".
bool LoggerCat::inKeyerText(const QString& taken) {
    const qsizetype at = taken.lastIndexOf(QStringLiteral("KY"));
    return at >= 0 && taken.indexOf(u';', at) < 0 && taken.size() > at + 2;
}

// More than a poll's worth is waiting: the logger and we are out of step (line noise, a
// dump, or polls faster than the rig answers them).
bool LoggerCat::outOfStep(const QString& intake) const {
    return catBuffer_.size() + intake.size() + ctx_.port.inBufferCount() > CatCommandPass::kMaxBuffered;
}

// Of what has come in, only the newest complete command is kept (a logger polling too fast
// gets its newest poll answered), with what follows it when that is short enough to be the
// start of the next one. Together they stay within a poll's worth, so the pass takes them.
QString LoggerCat::newestCommand(const QString& intake) {
    catBuffer_.clear(); // what an earlier pass left is older still
    QString all = intake;
    while (ctx_.port.inBufferCount() > 0)
        all += QString::fromLatin1(ctx_.port.readOne());
    ctx_.store.setText(Ctl::fromLoggerMonitor,
                       QString()); // as the out-of-step rule has always done
    const qsizetype last = all.lastIndexOf(u';');
    if (last < 0)
        return {};
    // No command is longer than a poll's worth: noise before it is cut away.
    const qsizetype before = last > 0 ? all.lastIndexOf(u';', last - 1) : -1;
    const qsizetype from = std::max(before + 1, last + 1 - CatCommandPass::kMaxBuffered / 2);
    const QString started = all.mid(last + 1);
    return all.mid(from, last + 1 - from) +
           (started.size() < CatCommandPass::kMaxBuffered / 2 ? started : QString());
}

void LoggerCat::replyToLogger(const QString& text) {
    if (std::exchange(echoNextReplyLater_, false))
        pauseBeforeEcho(text);
    else
        reply(text);
}

// A set the station cannot carry: the logger gets the rig's answer to a command it cannot
// take, and the server monitor says why; the picture stays as it was.
void LoggerCat::refuseSet(const QString& why) {
    reply(QStringLiteral("?;"));
    ctx_.monitors.copyFromServer(QStringLiteral("Radio port: ") + why + QStringLiteral("\r\n"));
}

void LoggerCat::sendToServer(const QString& line) {
    noteKeying(line);
    ctx_.server.send(line);
}

void LoggerCat::copyFromLogger(const QString& text) { ctx_.monitors.copyFromLogger(text); }

void LoggerCat::copySent(const QString& text) { ctx_.monitors.copySent(text); }

void LoggerCat::clearFromLogger() { ctx_.store.setText(Ctl::fromLoggerMonitor, QString()); }

void LoggerCat::fail(const QString& message) {
    // The buffer stays for the next pass; the flag is released before the box so that the
    // logger is still answered while the box is open.
    catBusy_ = false;
    ctx_.dialogs.showMessage(message);
}

// The pause before a frequency set's echo. The picture already holds the new frequency, so
// what the logger sends meanwhile gets passes of its own and is answered at once: a logger
// polling every 200 ms must not time out behind the echo. A set among those passes holds its
// echo behind this one.
void LoggerCat::pauseBeforeEcho(const QString& echo) {
    const quint64 ticket = echoes_.hold(echo, ctx_.clock.monotonicSeconds() + kFrequencySetPauseSeconds);
    catBuffer_.clear(); // this pass has taken everything it will answer from it
    catBusy_ = false;
    // Nested: the echo's pause runs inside the pass that took the set, with passes of their
    // own for the polls that come meanwhile (answered at once, as their tests time them).
    ctx_.wait.wait(kFrequencySetPauseSeconds, [this, ticket] {
        for (const QString& due : echoes_.takeDue(ctx_.clock.monotonicSeconds()))
            reply(due);
        if (!echoes_.isOut(ticket) && !catBusy_ && ctx_.port.isOpen() && ctx_.port.inBufferCount() > 0)
            readFromLogger();
        return echoes_.isOut(ticket);
    });
    for (const QString& last : echoes_.takeUpTo(ticket))
        reply(last);
    catBusy_ = true;
}

void LoggerCat::reply(const QString& text) {
    ctx_.logger.write(text);
}

void LoggerCat::light(const QString& indicator, bool lit) {
    ctx_.store.setColour(indicator, lit ? Colours::kRed : Colours::kLedOff);
}

void LoggerCat::unlightAll() {
    for (const QString& indicator : {Ctl::cdLight, Ctl::ctsLight, Ctl::dtrLight, Ctl::rtsLight,
                                     Ctl::tdLight, Ctl::rdLight, Ctl::dsrLight})
        light(indicator, false);
}
