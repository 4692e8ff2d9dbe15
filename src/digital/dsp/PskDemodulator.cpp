#include "PskDemodulator.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kBinDecay = 0.98;   // per symbol: the timing follows over ~50 symbols
constexpr double kAfcGain = 0.02;    // of the measured error, per symbol
constexpr double kAfcPullGain = 0.08; // ... while pulling in
constexpr int kPullInSymbols = 100;
constexpr double kWideSymbols = 0.25;  // the BPSK AFC's filter while pulling in
constexpr double kAfcCatchGain = 0.3; // ... over the first symbols: most of the preamble is left
constexpr int kCatchSymbols = 12;     // to decode the first characters with
constexpr int kClockSymbols = 256; // the clock offset is measured over this many symbols
constexpr double kSnrDecay = 0.97;
constexpr double kReferenceKeep = 0.4; // of the BPSK reference, per symbol
constexpr int kIdleBits = 12;  // zeros in a row: idle (characters are parted by two; noise
                               // makes so many in a row but rarely)
constexpr int kPresenceLagSymbols = 32; // a weak signal's start is heard up to a preamble late
constexpr double kStrongSymbol = 1.5;   // a symbol's energy against the noise: the signal's
constexpr int kMissesInSignal = 4;      // symbols in a row below that: before the signal
constexpr int kClearBits = 64; // or this many symbols more, when it had no idle start
} // namespace

PskDemodulator::PskDemodulator(double sampleRate, double carrierHz, double baud, bool qpsk)
    : rate_(sampleRate), carrier_(carrierHz), tunedCarrier_(carrierHz), baud_(baud), qpsk_(qpsk), mixer_(sampleRate, carrierHz),
      receive_(std::max(1, int(std::lround(kFirstSymbols * sampleRate / baud))),
               std::max(1, int(std::lround(kSecondSymbols * sampleRate / baud)))),
      wide_(std::max(1, int(std::lround(kWideSymbols * sampleRate / baud)))),
      presence_(sampleRate, baud, receive_.first.length, receive_.second.length),
      carrierBeforeSignal_(carrierHz),
      varicode_(qpsk ? Varicode::Decoder::Errors::SingleBits : Varicode::Decoder::Errors::SymbolPairs) {}

void PskDemodulator::reset() {
    // Made anew, so that nothing learned from the sound can be left behind.
    const bool afc = afc_;
    *this = PskDemodulator(rate_, tunedCarrier_, baud_, qpsk_);
    afc_ = afc;
}

void PskDemodulator::setCarrier(double hz) {
    tunedCarrier_ = carrierBeforeSignal_ = hz;
    symbolsSeen_ = 0; // put on a station: pulled in afresh
    moveCarrier(hz);
}

void PskDemodulator::moveCarrier(double hz) {
    carrier_ = hz;
    mixer_.setFrequency(hz);
}

std::complex<double> PskDemodulator::filter(std::complex<double> mixed) {
    // Two running sums in a row: a trapezoid 1.3 symbols wide, which keeps most of the symbol's
    // energy and little of its neighbours' (the shaped symbols overlap by one).
    return receive_.push(mixed);
}

QString PskDemodulator::process(std::span<const float> samples) {
    QByteArray out;
    for (const float sample : samples) {
        const double x = std::isfinite(sample) ? sample : 0.0;
        const std::complex<double> mixed = mixer_.down(x);
        const std::complex<double> y = filter(mixed);
        const std::complex<double> wide = wide_.push(mixed);
        presence_.sample(mixed, y);

        symbolPhase_ += baud_ / rate_;
        if (symbolPhase_ >= 1.0) {
            symbolPhase_ -= 1.0;
            notePresence();
            followCarrier();
            if (++symbolCount_ % kClockSymbols == 0)
                measureClock();
            for (double& e : binEnergy_)
                e *= kBinDecay;
            int best = 0;
            for (int b = 1; b < kTimingBins; ++b)
                if (binEnergy_[b] > binEnergy_[best])
                    best = b;
            if (binEnergy_[best] > 1.1 * binEnergy_[bestBin_])
                bestBin_ = best; // a clearly better timing
        }
        const int bin = std::min(kTimingBins - 1, int(symbolPhase_ * kTimingBins));
        if (bin != lastBin_) {
            lastBin_ = bin;
            binEnergy_[bin] += std::abs(y);
            // Raised to this power the signal loses its data: what turns from one bin to the
            // next is the carrier error. While BPSK is far off, the receive filter would weigh
            // the two tones of the idle reversals unequally, and their squares would turn by
            // the baud rate as well: a wide filter weighs them alike. (QPSK's fourth power
            // would make too much of the noise a wide filter lets in.)
            const bool pulling = symbolsSeen_ < kPullInSymbols && !qpsk_;
            const std::complex<double> heard = pulling ? wide : y;
            const std::complex<double> squared = heard * heard;
            const std::complex<double> power = qpsk_ ? squared * squared : squared;
            turning_ += power * std::conj(previousPower_);
            previousPower_ = power;
            if (bin == bestBin_)
                decide(y, out);
        }
    }
    return QString::fromLatin1(out);
}

double PskDemodulator::timingPhase() const {
    // The strongest bin, refined between its neighbours by a parabola, in symbols.
    const int n = kTimingBins;
    const int peak = int(std::max_element(binEnergy_.begin(), binEnergy_.end()) - binEnergy_.begin());
    const double left = binEnergy_[size_t((peak + n - 1) % n)];
    const double mid = binEnergy_[size_t(peak)];
    const double right = binEnergy_[size_t((peak + 1) % n)];
    const double curve = left - 2 * mid + right;
    const double shift = curve < 0 ? 0.5 * (left - right) / curve : 0.0;
    return (peak + std::clamp(shift, -0.5, 0.5)) / n;
}

void PskDemodulator::measureClock() {
    // Only phase turns show where the symbols are; a steady carrier has no timing to give.
    const auto [low, high] = std::minmax_element(binEnergy_.begin(), binEnergy_.end());
    if (*high < 1.15 * *low) {
        lastPhase_ = -1;
        return;
    }
    const double phase = timingPhase();
    if (lastPhase_ >= 0) {
        double drift = phase - lastPhase_; // symbols over kClockSymbols symbols
        drift -= std::round(drift);
        // The strongest phase comes earlier each symbol when the sender's clock is faster.
        clockPpm_ = -drift / kClockSymbols * 1e6;
    }
    lastPhase_ = phase;
}

double PskDemodulator::carrierError() const {
    const double power = qpsk_ ? 4 : 2;
    if (qpsk_ && symbolsSeen_ >= kPullInSymbols) {
        // Once pulled in, QPSK measures on the symbol turns themselves: between two symbol
        // centres the turn is a whole number of quarters, plus the carrier error. (Between
        // them, a quarter turn moves the raised signal by an amount that depends on the data.)
        return std::arg(symbolTurning_) * baud_ / (power * 2 * M_PI);
    }
    // turning_ turns by power x 2 pi x error x (1 / (16 baud)) per bin.
    return std::arg(turning_) * kTimingBins * baud_ / (power * 2 * M_PI);
}

void PskDemodulator::notePresence() {
    const bool before = presence_.present();
    presence_.symbol();
    logPresence();
    if (presence_.present()) {
        if (!before && symbolsGone_ >= kGoneSymbols) { // a new signal
            carrierBeforeSignal_ = carrier_;
            symbolsHeard_ = 0;
        }
        ++symbolsHeard_;
        symbolsGone_ = 0;
        return;
    }
    // Gone. Something shorter than a transmission's preamble was a burst of noise, and where
    // it pulled the carrier is no station. A station that was heard is most likely heard
    // again where it was: the carrier waits there, pulled in.
    if (++symbolsGone_ == kGoneSymbols && symbolsHeard_ < kShortestSignalSymbols)
        moveCarrier(carrierBeforeSignal_);
}

void PskDemodulator::followCarrier() {
    if (afc_ && presence_.present() && std::abs(turning_) > 0) {
        const double error = carrierError();
        // Quick at first, to pull in; gentle once settled, so noise averages out.
        const double gain = symbolsSeen_ < kCatchSymbols && !qpsk_ ? kAfcCatchGain
                            : symbolsSeen_ < kPullInSymbols ? kAfcPullGain
                                                            : kAfcGain;
        moveCarrier(carrier_ + gain * error);
        ++symbolsSeen_;
    }
    turning_ = symbolTurning_ = {};
}

void PskDemodulator::decide(std::complex<double> value, QByteArray& out) {
    const std::complex<double> turn = value * std::conj(previous_);
    previous_ = value;
    if (std::abs(turn) == 0) { // the first symbol: the one the next is judged against
        reference_ = value;
        lastSign_ = 1;
        if (qpsk_)
            viterbi_.push(value);
        return;
    }
    const std::complex<double> unit = turn / std::abs(turn);
    symbolTurning_ += unit * unit * unit * unit * std::abs(turn);
    recentTurns_.push_back(unit);
    if (recentTurns_.size() > 64)
        recentTurns_.pop_front();
    // Signal against noise: along the nearest turn of the mode against across it.
    double inPhase = std::fabs(turn.real()), quadrature = std::fabs(turn.imag());
    if (qpsk_ && quadrature > inPhase)
        std::swap(inPhase, quadrature);
    signal_ = kSnrDecay * signal_ + (1 - kSnrDecay) * inPhase;
    noise_ = kSnrDecay * noise_ + (1 - kSnrDecay) * quadrature;
    snrDb_ = 10 * std::log10(std::max(1e-9, signal_) / std::max(1e-9, noise_));
    // QPSK: the decoder weighs the turns, strong ones more.
    if (qpsk_) // a steady reference only once the carrier is pulled in: it would lag behind
        viterbi_.setReferenceKeep(afc_ && symbolsSeen_ >= kPullInSymbols ? QpskCode::Viterbi::kSteadyKeep : 0.0);
    const int bit = qpsk_ ? viterbi_.push(value) : bpskBit(value);
    if (bit < 0)
        return;
    const QByteArray characters = varicode_.push(bit != 0, qpsk_ ? viterbi_.margin() : margin_);
    const bool prints = printsNow(bit); // every bit counts
    if (prints)
        out.append(QLatin1StringView(characters));
}

// BPSK: each symbol is judged against a reference made of the symbols just before it, their
// data taken off, which holds less noise than the one symbol before alone (half a dB at the
// weak end); the bit is whether the sign stayed (no phase turn is a 1). A reference that
// flips over in a fade flips every sign alike, which leaves the bits as they are.
int PskDemodulator::bpskBit(std::complex<double> value) {
    const double along = (value * std::conj(reference_)).real();
    const int sign = along >= 0 ? 1 : -1;
    margin_ = std::fabs(along);
    reference_ = kReferenceKeep * reference_ + (1 - kReferenceKeep) * value * double(sign);
    const int bit = int(sign == lastSign_);
    lastSign_ = sign;
    return bit;
}

// Whether a signal was heard at each symbol, for QPSK's printing a decoder's depth later.
void PskDemodulator::logPresence() {
    const bool heardNow = presence_.present(), heardBefore = presenceLog_ & 1;
    presenceLog_ = (presenceLog_ << 1) | (heardNow ? 1u : 0u);
    strongLog_ = (strongLog_ << 1) | (presence_.symbolRatio() > kStrongSymbol ? 1u : 0u);
    if (heardNow && !heardBefore) { // heard late by the test's memory: it began before
        int began = 0, misses = 0;
        for (int i = 0; i < kPresenceLagSymbols && misses < kMissesInSignal; ++i) {
            const bool strong = (strongLog_ >> i) & 1;
            misses = strong ? 0 : misses + 1;
            began = strong ? i + 1 : began;
        }
        presenceLog_ |= (std::uint64_t(1) << began) - 1;
    }
}

// Noise alone makes no characters (the decoder still runs, so that it is in step when a
// signal comes). QPSK's decoder hands each bit on 40 symbols late, so its bit is judged by
// whether a signal was heard at the bit's own symbol: the tail of a transmission still
// prints after the signal has gone, and the noise before its start does not. A signal is
// heard some symbols after it began, so its start counts as heard back over the symbols just
// before that stood out of the noise on their own (up to a preamble's length). After a silence
// long enough to be in the decoder's memory it prints from the signal's idle preamble on, or,
// if it was joined in the middle, once the decoder is clear of the noise.
bool PskDemodulator::printsNow(int bit) {
    if (!qpsk_)
        return presence_.present();
    if (!((presenceLog_ >> (QpskCode::Viterbi::kDepth - 1)) & 1)) {
        if (++silentBits_ >= kNoiseInTheDecoder) {
            heardItsStart_ = false; // its start is looked for afresh
            zeroRun_ = 0;
            bitsOfSignal_ = 0;
        }
        return false;
    }
    silentBits_ = 0;
    ++bitsOfSignal_;
    if (heardItsStart_)
        return true;
    zeroRun_ = bit ? 0 : zeroRun_ + 1;
    heardItsStart_ = zeroRun_ >= kIdleBits || bitsOfSignal_ > kClearBits;
    return heardItsStart_;
}
