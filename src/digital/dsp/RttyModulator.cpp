#include "RttyModulator.h"

#include "Baudot.h"

#include <cmath>

RttyModulator::RttyModulator(double sampleRate, double carrierHz, double baud, double shiftHz,
                             bool reverse, double stopBits)
    : rate_(sampleRate), carrier_(carrierHz), baud_(baud), shift_(shiftHz), stopBits_(stopBits),
      reverse_(reverse) {}

void RttyModulator::tone(bool markTone, double bits, std::vector<float>& out) {
    const bool upper = markTone != reverse_;
    const double frequency = carrier_ + (upper ? shift_ / 2 : -shift_ / 2);
    clock_ += bits * rate_ / baud_;
    const auto samples = static_cast<int>(std::floor(clock_));
    clock_ -= samples;
    const double step = 2 * M_PI * frequency / rate_;
    for (int n = 0; n < samples; ++n) {
        out.push_back(static_cast<float>(std::sin(phase_)));
        phase_ = std::fmod(phase_ + step, 2 * M_PI);
    }
}

void RttyModulator::reset() {
    *this = RttyModulator(rate_, carrier_, baud_, shift_, reverse_, stopBits_);
}

void RttyModulator::mark(double bits, std::vector<float>& out) { tone(true, bits, out); }

void RttyModulator::code(quint8 code, std::vector<float>& out) {
    tone(false, 1, out); // start
    for (int bit = 0; bit < 5; ++bit)
        tone((code >> bit) & 1, 1, out);
    tone(true, stopBits_, out);
}

void RttyModulator::start(std::vector<float>& out) {
    mark(baud_ / 4, out); // a quarter of a second
    code(Baudot::kLetters, out);
    encoder_.reset(); // the first character says its shift again
}

void RttyModulator::character(QChar c, std::vector<float>& out) {
    for (quint8 baudot : encoder_.encode(QString(c)))
        code(baudot, out);
}
