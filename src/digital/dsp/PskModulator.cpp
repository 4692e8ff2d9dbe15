#include "PskModulator.h"

#include "Varicode.h"

#include <cmath>

PskModulator::PskModulator(double sampleRate, double carrierHz, double baud)
    : rate_(sampleRate), carrier_(carrierHz), baud_(baud) {}

void PskModulator::reset() {
    phase_ = 0;
    level_ = 1.0f;
    symbolClock_ = 0;
}

void PskModulator::symbol(bool bit, std::vector<float>& out, double amplitudeFrom, double amplitudeTo) {
    const float from = level_;
    const float to = bit ? level_ : -level_;
    // A symbol lasts rate/baud samples, kept exact over many symbols by a running clock.
    symbolClock_ += rate_ / baud_;
    const auto samples = static_cast<int>(std::floor(symbolClock_));
    symbolClock_ -= samples;
    const double step = 2 * M_PI * carrier_ / rate_;
    for (int n = 0; n < samples; ++n) {
        const double t = double(n) / samples; // 0..1 through the symbol
        const double shape = 0.5 * (1 + std::cos(M_PI * t)); // 1 -> 0
        const double baseband = from * shape + to * (1 - shape);
        const double amplitude = amplitudeFrom * shape + amplitudeTo * (1 - shape);
        out.push_back(static_cast<float>(amplitude * baseband * std::cos(phase_)));
        phase_ = std::fmod(phase_ + step, 2 * M_PI);
    }
    level_ = to;
}

void PskModulator::start(std::vector<float>& out) {
    symbol(false, out, 0, 1); // fade in on the first turn
    idle(kPreambleSymbols - 1, out);
}

void PskModulator::idle(int symbols, std::vector<float>& out) {
    for (int i = 0; i < symbols; ++i)
        symbol(false, out);
}

void PskModulator::character(unsigned char c, std::vector<float>& out) {
    const QByteArray code = Varicode::encode(c);
    if (code.isEmpty())
        return;
    for (char bit : code)
        symbol(bit == '1', out);
    symbol(false, out);
    symbol(false, out);
}

void PskModulator::end(std::vector<float>& out) {
    for (int i = 0; i < kPostambleSymbols; ++i)
        symbol(true, out);
    symbol(true, out, 1, 0); // fade out
}

std::vector<float> PskModulator::transmit(const QByteArray& text) {
    std::vector<float> out;
    reset();
    start(out);
    for (char c : text)
        character(static_cast<unsigned char>(c), out);
    end(out);
    return out;
}
