#include "CarrierSearch.h"

#include "TerminalContext.h"
#include "TerminalControls.h"
#include "common/ControlStore.h"
#include "digital/modem/Modem.h"

CarrierSearch::CarrierSearch(TerminalContext& context)
    : context_(context), stepWait_(context.clock) {}

void CarrierSearch::tuneTo(int hz) {
    context_.store.setText(TermCtl::receiveCarrierBox, QString::number(hz));
    context_.modem.setReceiveCarrier(0, hz);
}

void CarrierSearch::search(int direction) {
    if (context_.closing)
        return;
    if (running_)
        return; // one search at a time; the running one goes on
    RunningHandler running(context_);
    running_ = true;
    PausingWait::yieldToEvents();
    context_.stopSearch = false;
    auto carrier = [this] { return context_.modem.receiveCarrier(0); }; // where it listens
    auto atEdge = [direction](int f) { return direction < 0 ? f <= kLowestHz : f >= kHighestHz; };
    const int start = carrier();
    if (direction < 0 ? start > kLowestHz + kJumpHz : start < kHighestHz)
        tuneTo(start + direction * kJumpHz);
    for (;;) {
        const int f = carrier();
        if (atEdge(f) || context_.stopSearch || context_.closing)
            break;
        stepWait_.wait(kStepSeconds, [this] { return context_.closing; });
        tuneTo(f + direction);
        if (signalToNoise() >= kFoundSnDb)
            break;
    }
    context_.stopSearch = false;
    running_ = false;
}

// The demodulator's own S/N needs a few symbols to settle, and the search moves on every
// 4 ms; the spectrum's S/N at the carrier answers at once.
double CarrierSearch::signalToNoise() const {
    const Modem& modem = context_.modem;
    const double halfWidth = modem.speed(0) / 2;
    return std::max(double(modem.signalToNoise(0)),
                    modem.spectrum().signalToNoiseAt(modem.receiveCarrier(0), halfWidth));
}
