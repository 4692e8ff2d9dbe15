#include "PskModulator.h"

#include "Varicode.h"

#include <cmath>

namespace {
const std::complex<double> kReversal{-1, 0};
const std::complex<double> kSteady{1, 0};
} // namespace

PskModulator::PskModulator(double sampleRate, double carrierHz, double baud, bool qpsk)
    : rate_(sampleRate), carrier_(carrierHz), baud_(baud), qpsk_(qpsk) {}

void PskModulator::reset() { *this = PskModulator(rate_, carrier_, baud_, qpsk_); }

void PskModulator::symbol(std::complex<double> turn, std::vector<float>& out, double amplitudeFrom,
                          double amplitudeTo) {
    const std::complex<double> from = level_;
    const std::complex<double> to = level_ * turn;
    // A symbol lasts rate/baud samples, kept exact over many symbols by a running clock.
    symbolClock_ += rate_ / baud_;
    const auto samples = static_cast<int>(std::floor(symbolClock_));
    symbolClock_ -= samples;
    const double step = 2 * M_PI * carrier_ / rate_;
    for (int n = 0; n < samples; ++n) {
        const double t = double(n) / samples; // 0..1 through the symbol
        const double shape = 0.5 * (1 + std::cos(M_PI * t)); // 1 -> 0
        const std::complex<double> baseband = from * shape + to * (1 - shape);
        const double amplitude = amplitudeFrom * shape + amplitudeTo * (1 - shape);
        const std::complex<double> carrier = std::polar(1.0, phase_);
        out.push_back(static_cast<float>(amplitude * (baseband * carrier).real()));
        phase_ = std::fmod(phase_ + step, 2 * M_PI);
    }
    level_ = to;
}

void PskModulator::bit(bool one, std::vector<float>& out) {
    if (qpsk_)
        symbol(QpskCode::turnFor(encoder_.push(one)), out);
    else
        symbol(one ? kSteady : kReversal, out);
}

void PskModulator::start(std::vector<float>& out) {
    encoder_.reset();
    symbol(kReversal, out, 0, 1); // fade in on the first turn
    idle(kPreambleSymbols - 1, out);
}

void PskModulator::idle(int symbols, std::vector<float>& out) {
    for (int i = 0; i < symbols; ++i)
        bit(false, out);
}

void PskModulator::character(QChar c, std::vector<float>& out) {
    if (c.unicode() >= 128)
        return; // varicode has no others
    const QByteArray code = Varicode::encode(static_cast<unsigned char>(c.unicode()));
    for (char b : code)
        bit(b == '1', out);
    bit(false, out);
    bit(false, out);
}

void PskModulator::end(std::vector<float>& out) {
    if (qpsk_)
        idle(QpskCode::Viterbi::kDepth, out); // the decoder decides this far behind
    for (int i = 0; i < kPostambleSymbols; ++i)
        symbol(kSteady, out);
    symbol(kSteady, out, 1, 0); // fade out
}

void PskModulator::steadyCarrier(std::vector<float>& out) {
    for (int i = 0; i < kPostambleSymbols; ++i)
        symbol(kSteady, out);
}
