#include "SignalPresence.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kSideBauds = 2.5; // how far the sides listen from the carrier
constexpr double kDecay = 0.9;     // per symbol: the last ten symbols or so count
constexpr double kOnRatio = 3.5;   // noise alone stays below this all but very rarely
constexpr double kOffRatio = 2.0;  // a weak signal that fades a little is still there
constexpr int kRenormalise = 4096; // samples between trims of the turn's length
} // namespace

SignalPresence::SignalPresence(double sampleRate, double baud, int first, int second)
    : step_(std::polar(1.0, -2 * M_PI * kSideBauds * baud / sampleRate)), below_(first, second),
      above_(first, second) {}

void SignalPresence::sample(std::complex<double> mixed, std::complex<double> received) {
    turn_ *= step_;
    if (++samples_ % kRenormalise == 0)
        turn_ /= std::abs(turn_);
    received_ += std::norm(received);
    aboveEnergy_ += std::norm(above_.push(mixed * turn_));
    belowEnergy_ += std::norm(below_.push(mixed * std::conj(turn_)));
}

void SignalPresence::symbol() {
    averageReceived_ = kDecay * averageReceived_ + (1 - kDecay) * received_;
    averageBelow_ = kDecay * averageBelow_ + (1 - kDecay) * belowEnergy_;
    averageAbove_ = kDecay * averageAbove_ + (1 - kDecay) * aboveEnergy_;
    const double noise = std::min(averageBelow_, averageAbove_);
    symbolRatio_ = noise > 0 ? received_ / noise : 1.0;
    received_ = belowEnergy_ = aboveEnergy_ = 0;
    ratio_ = noise > 0 ? averageReceived_ / noise : 1.0;
    present_ = present_ ? ratio_ > kOffRatio : ratio_ > kOnRatio;
}
