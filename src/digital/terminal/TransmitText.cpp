#include "TransmitText.h"

#include "TerminalContext.h"
#include "TerminalControls.h"
#include "common/ControlStore.h"
#include "digital/modem/Modem.h"
#include "platform/Dialogs.h"
#include "platform/Clock.h"

namespace {
constexpr QChar kBackspace(8);
constexpr QChar kReturn(13);
constexpr QChar kEscape(27);

QString captionFor(const QString& macro) {
    return macro.left(3);
}
} // namespace

TransmitText::TransmitText(TerminalContext& context, QObject* parent)
    : QObject(parent), context_(context) {
    tickTimer_.setInterval(kTickMs);
    connect(&tickTimer_, &QTimer::timeout, this, &TransmitText::tick);
}

void TransmitText::focusIn() {
    box_.clear();
    emit boxCleared();
}

TransmitText::KeyOutcome TransmitText::keyPress(QChar key, int caret) {
    if (context_.closing)
        return {};
    if (key == kReturn || key == kEscape) {
        endWithEnter();
        return {false, false};
    }
    if (!soundCanSend())
        return {};
    context_.keyTransmitter(true);
    if (!context_.store.isTicked(TermCtl::transmitButton)) {
        txSentPos_ = 0;
        context_.modem.setTransmit(true);
    }
    KeyOutcome outcome;
    if (context_.modem.isTransmitting() && caret < txSentPos_) {
        outcome.caretToEnd = true;
        caret = int(box_.size());
    }
    if (key == kBackspace && caret <= txSentPos_) {
        context_.modem.sendText(QString(kBackspace));
        txSentPos_ = qMax(0, caret - 1);
    }
    return outcome;
}

bool TransmitText::soundCanSend() { return soundLetsSend(context_); }

void TransmitText::endWithEnter() {
    stopTransmitting();
    enterKeyUpAt_ = context_.clock.monotonicSeconds() + kKeyUpDelaySeconds;
    followTicks();
}

void TransmitText::finishEnter() {
    enterKeyUpAt_ = -1;
    context_.modem.setReturnToRx(true);
    context_.keyTransmitter(false);
    context_.modem.setReturnToRx(true);
    context_.modem.setTransmit(false);
}

// A clock that stands still (a test's) never reaches a time: what waits for one goes at once.
bool TransmitText::due(double at) const {
    return context_.clock.standsStill() || context_.clock.monotonicSeconds() >= at;
}

void TransmitText::followTicks() {
    if (isBusy() && !tickTimer_.isActive())
        tickTimer_.start();
    else if (!isBusy())
        tickTimer_.stop();
}

void TransmitText::tick() {
    if (context_.closing) {
        stop();
        return;
    }
    if (enterKeyUpAt_ >= 0 && due(enterKeyUpAt_))
        finishEnter();
    if (macro_ == MacroStage::Sending &&
        (context_.modem.pendingCharacters() < 1 || context_.txOffPressed)) {
        macro_ = MacroStage::KeyingUp;
        macroKeyUpAt_ = context_.clock.monotonicSeconds() + kKeyUpDelaySeconds;
    }
    if (macro_ == MacroStage::KeyingUp && due(macroKeyUpAt_))
        finishMacro();
    followTicks();
}

void TransmitText::stop() {
    macro_ = MacroStage::None;
    enterKeyUpAt_ = -1;
    tickTimer_.stop();
}

QString TransmitText::nextCharacter() {
    if (txSentPos_ < 0 || txSentPos_ >= box_.size())
        return {};
    return QString(box_[txSentPos_++]);
}

void TransmitText::onTransmitStateChanged(Modem::TransmitState state) {
    // The TX button's caption tells the state, in the order of the states.
    static const char* const captions[] = {"TX", "RX", "ReqRX", "Wait", "Tone"};
    const bool receiving = state == Modem::TransmitState::Receiving;
    if (receiving) {
        txSentPos_ = 0;
        box_.clear();
        emit boxCleared();
    }
    context_.store.setText(TermCtl::transmitButton, QString::fromLatin1(captions[int(state)]));
    context_.store.setValue(TermCtl::transmitButton, receiving ? 0 : 1);
}

void TransmitText::txButtonClicked() {
    if (context_.store.isTicked(TermCtl::transmitButton) && !soundCanSend()) {
        context_.store.setValue(TermCtl::transmitButton, 0);
        return;
    }
    if (context_.store.isTicked(TermCtl::transmitButton)) {
        txSentPos_ = 0;
        context_.modem.setTransmit(true);
        context_.keyTransmitter(true);
    } else {
        context_.modem.setReturnToRx(true);
        if (context_.closeDirectory)
            context_.closeDirectory();
        context_.keyTransmitter(false);
    }
}

void TransmitText::txButtonSecondEvent() {
    context_.modem.startTone();
}

void TransmitText::txOffClicked() {
    context_.txOffPressed = true;
    stopTransmitting();
}

void TransmitText::stopTransmitting() {
    context_.modem.setTransmit(false);
    if (context_.closeDirectory)
        context_.closeDirectory();
    context_.keyTransmitter(false);
}

void TransmitText::setFunctionKey(int index, const QString& macro) {
    functionKeys_[size_t(index)] = macro;
    context_.store.setText(TermCtl::at(TermCtl::functionKey, index), captionFor(macro));
}

void TransmitText::editFunctionKey(int index) {
    context_.txOffPressed = false;
    const QString answer = context_.dialogs.askText(
        QStringLiteral("Enter Function, First 3 char are title"), functionKeys_[size_t(index)]);
    setFunctionKey(index, answer.toUpper());
    context_.txOffPressed = false;
}

void TransmitText::sendFunctionKey(int index) {
    if (context_.closing || !soundCanSend())
        return;
    context_.keyTransmitter(true);
    const QString text = functionKeys_[size_t(index)].mid(3, kMaxMacroText) + kReturn;
    context_.modem.setTransmit(true);
    context_.modem.sendText(text);
    if (isSendingMacro())
        return; // a macro is going out: this one follows it, and its ending covers both
    macro_ = MacroStage::Sending;
    tick();
}

// A TXOFF pressed while the macro went out, or before it, is spent on it.
void TransmitText::finishMacro() {
    macro_ = MacroStage::None;
    stopTransmitting();
    context_.txOffPressed = false;
}
