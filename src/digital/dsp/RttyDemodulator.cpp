#include "RttyDemodulator.h"

#include <cmath>

RttyDemodulator::RttyDemodulator(double sampleRate, double carrierHz, double baud, double shiftHz,
                                 bool reverse)
    : rate_(sampleRate), baud_(baud), reverse_(reverse),
      bitSamples_(std::max(1, int(std::lround(sampleRate / baud)))) {
    const double upper = carrierHz + shiftHz / 2, lower = carrierHz - shiftHz / 2;
    mark_.step = 2 * M_PI * (reverse ? lower : upper) / sampleRate;
    space_.step = 2 * M_PI * (reverse ? upper : lower) / sampleRate;
}

double RttyDemodulator::ToneFilter::push(double x, int length) {
    const std::complex<double> mixed = x * std::polar(1.0, -phase);
    phase = std::fmod(phase + step, 2 * M_PI);
    window.push_back(mixed);
    sum += mixed;
    if (int(window.size()) > length) {
        sum -= window.front();
        window.pop_front();
    }
    return std::norm(sum);
}

QString RttyDemodulator::process(const float* samples, size_t count) {
    QString out;
    for (size_t n = 0; n < count; ++n) {
        const double x = std::isfinite(samples[n]) ? samples[n] : 0.0;
        const double level = mark_.push(x, bitSamples_) - space_.push(x, bitSamples_);
        onLevel(level, out);
    }
    return out;
}

void RttyDemodulator::onLevel(double level, QString& out) {
    const bool isMark = level > 0;
    if (!inCharacter_) {
        // A start edge: the filters are a bit long, so the edge shows half a bit late.
        if (lastMark_ && !isMark) {
            inCharacter_ = true;
            sinceStart_ = 0;
            bitsTaken_ = 0;
            code_ = 0;
        }
        lastMark_ = isMark;
        return;
    }
    lastMark_ = isMark;
    sinceStart_ += 1;
    // The edge shows when the one-bit filters are half way into the start bit; each bit is
    // read when the filters hold that bit alone, at its end.
    const double sampleAt = (bitsTaken_ + 0.5) * bitSamples_;
    if (sinceStart_ < sampleAt)
        return;
    if (bitsTaken_ == 0 && isMark) { // the start bit did not hold: noise
        inCharacter_ = false;
        return;
    }
    if (bitsTaken_ >= 1 && bitsTaken_ <= 5 && isMark)
        code_ |= quint8(1u << (bitsTaken_ - 1));
    if (bitsTaken_ == 6) { // the stop bit
        inCharacter_ = false;
        if (isMark)
            out += baudot_.push(code_);
        return;
    }
    ++bitsTaken_;
}
