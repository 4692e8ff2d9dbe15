#include "FskPhaseTracker.h"

#include <algorithm>
#include <cmath>

namespace {
// How much of a phase belief survives one bit's time: the sender's and the receiver's
// oscillators wander, and what the AFC does turns both tones at once.
constexpr double kKeptPerBit = 0.97;
constexpr double kMostSure = 0.995;
// The phases are trusted as far as they have foretold the phase of the tones read lately:
// the mean cosine of the miss, from not at all at kUnlocked to fully at kLocked.
constexpr double kUnlocked = 0.2, kLocked = 0.8;
constexpr double kLockGain = 0.1;
constexpr double kSureEnoughToCheck = 0.3;

double logBesselI0(double x) {
    if (x < 30)
        return std::log(std::cyl_bessel_i(0.0, x));
    return x - 0.5 * std::log(2 * M_PI * x) + std::log1p(1 / (8 * x));
}

// The mean resultant length of a von Mises belief of concentration kappa, and back.
double resultantOf(double kappa) {
    if (kappa < 30)
        return std::cyl_bessel_i(1.0, kappa) / std::cyl_bessel_i(0.0, kappa);
    return 1 - 1 / (2 * kappa) - 1 / (8 * kappa * kappa);
}

double concentrationOf(double r) {
    r = std::clamp(r, 0.0, kMostSure);
    if (r < 0.53)
        return 2 * r + r * r * r + 5 * std::pow(r, 5) / 6;
    if (r < 0.85)
        return -0.4 + 1.39 * r + 0.43 / (1 - r);
    return 1 / (r * r * r - 4 * r * r + 3 * r);
}

// The belief as a vector: concentration along its mean direction.
std::complex<double> natural(std::complex<double> resultant) {
    const double r = std::abs(resultant);
    return r > 0 ? resultant / r * concentrationOf(r) : std::complex<double>{};
}

std::complex<double> fromNatural(std::complex<double> v) {
    const double kappa = std::abs(v);
    return kappa > 0 ? v / kappa * resultantOf(kappa) : std::complex<double>{};
}

// log p(sum | this tone was sent), up to what both tones share. `trust` scales the belief.
double fit(std::complex<double> sum, std::complex<double> belief, double scale, double trust) {
    const std::complex<double> prior = trust * natural(belief);
    return logBesselI0(std::abs(scale * sum + prior)) - logBesselI0(std::abs(prior));
}
} // namespace

void FskPhaseTracker::checkLock(std::complex<double> sum, std::complex<double> belief) {
    // Whether the phases foretell the bits: a signal's tone comes in where its belief points;
    // noise, or a sender whose phase jumps, anywhere.
    if (std::abs(belief) < kSureEnoughToCheck || std::abs(sum) == 0)
        return;
    lock_ += kLockGain * (std::cos(std::arg(sum * std::conj(belief))) - lock_);
}

void FskPhaseTracker::setLevels(double amplitude, double noisePower) {
    scale_ = noisePower > 0 ? 2 * amplitude / noisePower : 0.0;
}

void FskPhaseTracker::forget() {
    mark_ = space_ = {};
}

void FskPhaseTracker::age(double samples) {
    const double kept = std::pow(kKeptPerBit, samples / bitSamples_);
    mark_ *= kept;
    space_ *= kept;
}

void FskPhaseTracker::markFor(double samples) {
    space_ *= std::polar(1.0, shift_ * samples);
    age(samples);
}

bool FskPhaseTracker::bit(std::complex<double> mark, std::complex<double> space, double samples, int known) {
    const double trust = std::clamp((lock_ - kUnlocked) / (kLocked - kUnlocked), 0.0, 1.0);
    const double evidence = fit(mark, mark_, scale_, trust) - fit(space, space_, scale_, trust);
    const double markChance = known >= 0 ? double(known) : 1 / (1 + std::exp(-std::clamp(evidence, -50.0, 50.0)));
    checkLock(markChance > 0.5 ? mark : space, markChance > 0.5 ? mark_ : space_);
    // Each outcome: the tone sent learns from its sum, the other moves on by the time.
    const std::complex<double> markIfMark = fromNatural(scale_ * mark + natural(mark_));
    const std::complex<double> spaceIfSpace = fromNatural(scale_ * space + natural(space_));
    const std::complex<double> markIfSpace = mark_ * std::polar(1.0, -shift_ * samples);
    const std::complex<double> spaceIfMark = space_ * std::polar(1.0, shift_ * samples);
    mark_ = markChance * markIfMark + (1 - markChance) * markIfSpace;
    space_ = markChance * spaceIfMark + (1 - markChance) * spaceIfSpace;
    age(samples);
    return known >= 0 ? known == 1 : evidence > 0;
}
