#include "WinKeyer.h"

#include "KeyerPass.h"
#include "CwStation.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/NumericText.h"
#include "platform/BusyGuard.h"
#include "platform/Dialogs.h"
#include "platform/serial/CommPort.h"

#include <QTimer>
#include <utility>

namespace {

// The messages for the port's error and line events, as the operator has always seen them.
QString eventMessage(CommEvent event) {
    switch (event) {
    case CommEvent::Ring: return QStringLiteral("Change in ring indicator");
    case CommEvent::Break: return QStringLiteral("COMBREAK");
    case CommEvent::CdTimeout: return QStringLiteral("RLSID TIMEOUR");
    case CommEvent::CtsTimeout: return QStringLiteral("CTS TIMEOUT");
    case CommEvent::DsrTimeout: return QStringLiteral("DSR TIMEOUT");
    case CommEvent::Framing: return QStringLiteral("FRAMING ERROR");
    case CommEvent::Overrun: return QStringLiteral("DATA LOST");
    case CommEvent::RxOverflow: return QStringLiteral("RCV BUFFER OVERFLOW");
    case CommEvent::Parity: return QStringLiteral("PARITY ERROR");
    case CommEvent::TxFull: return QStringLiteral("TRANSMIT BUFFER FULL");
    default: return {};
    }
}

// The keyer's answer to the logger opening (or closing) its end: version 23 and a speed-pot
// report of 0, as a WinKeyer answers host open.
const QByteArray kHello("\x17\x80", 2);

} // namespace

WinKeyer::WinKeyer(Context context, QObject* parent) : QObject(parent), ctx_(std::move(context)) {
    connect(&ctx_.store, &ControlStore::changed, this,
            [this](const QString& name, ControlStore::Aspect) { onControlChanged(name); });
    burstQuiet_.setSingleShot(true);
    burstQuiet_.setInterval(kBurstQuietMs);
    connect(&burstQuiet_, &QTimer::timeout, this, &WinKeyer::endBurst);
    // With CW held back, the echo and the idle status follow the text as it goes on.
    ctx_.cw.setListener({[this](QChar c) { ctx_.port.write(QByteArray(1, char(c.unicode()))); },
                         [this] { ctx_.port.write(QByteArray(1, KeyerPass::kIdle)); }});
}

void WinKeyer::onControlChanged(const QString& name) {
    // The speed box never shows less than 5.
    if (name == Ctl::cwSpeedBox && NumericText::numericValue(ctx_.store.text(Ctl::cwSpeedBox)) < 5)
        ctx_.store.setText(Ctl::cwSpeedBox, QStringLiteral("5"));
}

void WinKeyer::onKeyerPortEvent(CommEvent event) {
    switch (event) {
    case CommEvent::Receive:
        if (burstQuiet_.isActive())
            dropBurst();
        else
            readKeyerPort();
        return;
    case CommEvent::RxOverflow:
        dropBurst();
        return;
    case CommEvent::DsrChange:
        commands_.reset(); // a new session: nothing of a command begun before it is owed
        if (!ctx_.port.dsr())
            ctx_.cw.keyerPortClosed(); // the logger is gone, and with it its Esc
        ctx_.port.write(kHello);
        return;
    case CommEvent::CtsChange:
        ctx_.port.setDtr(true);
        return;
    case CommEvent::CdChange:
        return;
    default:
        if (const QString message = eventMessage(event); !message.isEmpty())
            showMessageLater(ctx_.dialogs, this, message);
    }
}

// The logger sent more than the port holds: that burst is thrown away, whole, rather than
// keyed as an hour of CW behind everything the operator sends next.
void WinKeyer::dropBurst() {
    commands_.reset();
    droppedToTell_ += ctx_.port.discardInput() + ctx_.port.takeDroppedCount();
    burstQuiet_.start();
}

void WinKeyer::endBurst() {
    burstQuiet_.stop();
    const int dropped = std::exchange(droppedToTell_, 0);
    if (dropped == 0)
        return;
    showMessageLater(ctx_.dialogs, this,
                     QStringLiteral("%1: %2 characters from the logger were dropped, not sent as CW")
                         .arg(eventMessage(CommEvent::RxOverflow))
                         .arg(dropped));
}

void WinKeyer::readKeyerPort() {
    BusyGuard guard(keyerBusy_);
    if (!guard.entered())
        return; // the bytes wait in the port for the pass that is reading
    // An overflow is handled by its own event, before or after this pass: the batch is read
    // whole, with no events between its bytes.
    QByteArray batch;
    while (ctx_.port.inBufferCount() > 0 && batch.size() < kMaxBatch)
        batch += ctx_.port.readOne();
    const KeyerPassResult result = KeyerPass::run(batch, ctx_.store.isTicked(Ctl::sideToneCheck),
                                                  commands_, ctx_.cw.holdsBack());
    if (result.speed > 0)
        ctx_.cw.noteSpeed(result.speed);
    if (result.clearBuffer)
        ctx_.cw.abort();
    ctx_.port.write(result.toLogger); // before the echoes that follow the text held back
    ctx_.cw.sendKeyerLines(result.serverLines, result.sideTone, true);
    if (ctx_.port.inBufferCount() > 0)
        QTimer::singleShot(0, this, &WinKeyer::readKeyerPort);
}
