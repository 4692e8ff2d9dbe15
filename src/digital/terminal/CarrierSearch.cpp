#include "CarrierSearch.h"

#include "TerminalContext.h"
#include "digital/modem/Modem.h"

CarrierSearch::CarrierSearch(TerminalContext& context, QObject* parent)
    : QObject(parent), context_(context) {
    stepTimer_.setInterval(kStepMs);
    connect(&stepTimer_, &QTimer::timeout, this, &CarrierSearch::step);
}

void CarrierSearch::tuneTo(int hz) {
    if (context_.tuneReceiveCarrier)
        context_.tuneReceiveCarrier(hz);
}

void CarrierSearch::start(int direction) {
    if (context_.closing || isRunning())
        return; // one search at a time; the running one goes on
    direction_ = direction;
    const int from = context_.modem.receiveCarrier(0); // where it listens
    if (direction < 0 ? from > kLowestHz + kJumpHz : from < kHighestHz)
        tuneTo(from + direction * kJumpHz);
    stepTimer_.start();
}

void CarrierSearch::step() {
    if (!isRunning())
        return;
    const int f = context_.modem.receiveCarrier(0);
    const bool atEdge = direction_ < 0 ? f <= kLowestHz : f >= kHighestHz;
    if (atEdge || context_.closing) {
        stop();
        return;
    }
    tuneTo(f + direction_);
    if (signalToNoise() >= kFoundSnDb)
        stop();
}

// The demodulator's own S/N needs a few symbols to settle, and the search moves on every
// 4 ms; the spectrum's S/N at the carrier answers at once.
double CarrierSearch::signalToNoise() const {
    const Modem& modem = context_.modem;
    const double halfWidth = modem.speed(0) / 2;
    return std::max(double(modem.signalToNoise(0)),
                    modem.spectrum().signalToNoiseAt(modem.receiveCarrier(0), halfWidth));
}
