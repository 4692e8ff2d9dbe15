#pragma once

#include <complex>
#include <memory>

struct nco_crcf_s;

// Brings a tone down to 0 Hz: liquid-dsp's oscillator, one sample at a time.
class Mixer {
public:
    Mixer(double sampleRate, double hz);
    ~Mixer();
    Mixer(Mixer&&) noexcept;
    Mixer& operator=(Mixer&&) noexcept;

    void setFrequency(double hz);
    double frequency() const { return hz_; }
    // x times e^(-j phase), then on to the next sample's phase.
    std::complex<double> down(double x);
    void reset();

private:
    double rate_;
    double hz_;
    nco_crcf_s* nco_;
};
