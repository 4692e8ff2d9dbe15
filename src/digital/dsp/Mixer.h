#pragma once

#include <complex>

// Brings a tone down to 0 Hz, one sample at a time. The oscillator is a unit phasor turned by
// one step per sample: a complex multiply where a sine and a cosine cost ten times as much (the
// signal browser runs seven of these per receiver, for up to 32 receivers).
class Mixer {
public:
    Mixer(double sampleRate, double hz);

    // Keeps the phase reached, so that a retuned tone goes on without a jump.
    void setFrequency(double hz);
    double frequency() const { return hz_; }
    // x times e^(-j phase), then on to the next sample's phase.
    std::complex<double> down(double x) {
        const std::complex<double> y = x * phasor_;
        phasor_ *= step_;
        if (++sinceNormalised_ == kNormaliseEvery)
            normalise();
        return y;
    }
    void reset();

private:
    // Rounding lets the phasor's length creep by about 1e-16 a step; put back to 1 often
    // enough that it never shows.
    static constexpr int kNormaliseEvery = 1024;
    void normalise();

    double rate_;
    double hz_;
    std::complex<double> phasor_{1, 0};
    std::complex<double> step_{1, 0};
    int sinceNormalised_ = 0;
};
