#include "Mixer.h"

#include <cmath>

Mixer::Mixer(double sampleRate, double hz) : rate_(sampleRate), hz_(hz) {
    setFrequency(hz);
}

void Mixer::setFrequency(double hz) {
    hz_ = hz;
    step_ = std::polar(1.0, -2 * M_PI * hz / rate_);
}

void Mixer::normalise() {
    sinceNormalised_ = 0;
    phasor_ /= std::abs(phasor_);
}

void Mixer::reset() {
    phasor_ = {1, 0};
    sinceNormalised_ = 0;
    setFrequency(hz_);
}
