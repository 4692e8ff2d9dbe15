#include "TransmitText.h"

#include "TerminalContext.h"
#include "TerminalControls.h"
#include "common/ControlStore.h"
#include "digital/modem/Modem.h"
#include "platform/Dialogs.h"
#include "platform/PausingWait.h"

namespace {
constexpr QChar kBackspace(8);
constexpr QChar kReturn(13);
constexpr QChar kEscape(27);

QString captionFor(const QString& macro) {
    return macro.left(3);
}
} // namespace

TransmitText::TransmitText(TerminalContext& context, QObject* parent)
    : QObject(parent), context_(context) {}

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
    RunningHandler running(context_);
    stopTransmitting();
    context_.wait.wait(kKeyUpDelaySeconds, [this] { return context_.closing; });
    if (context_.closing)
        return; // the closing window has keyed up already
    context_.modem.setReturnToRx(true);
    context_.keyTransmitter(false);
    context_.modem.setReturnToRx(true);
    context_.modem.setTransmit(false);
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
    if (sendingMacro_)
        return; // a macro is going out: this one follows it, and its wait covers both
    RunningHandler running(context_);
    sendingMacro_ = true;
    context_.wait.waitUntil([this] {
        return context_.modem.pendingCharacters() < 1 || context_.txOffPressed || context_.closing;
    });
    context_.wait.wait(kKeyUpDelaySeconds, [this] { return context_.closing; });
    sendingMacro_ = false;
    if (context_.closing)
        return; // the closing window has keyed up already
    context_.txOffPressed = true;
    stopTransmitting();
    context_.txOffPressed = false;
}
