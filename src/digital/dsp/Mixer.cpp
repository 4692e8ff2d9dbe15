#include "Mixer.h"

#include <complex>
#include <liquid/liquid.h>

#include <cmath>
#include <utility>

Mixer::Mixer(double sampleRate, double hz)
    : rate_(sampleRate), hz_(hz), nco_(nco_crcf_create(LIQUID_VCO)) {
    setFrequency(hz);
}

Mixer::~Mixer() {
    if (nco_)
        nco_crcf_destroy(nco_);
}

Mixer::Mixer(Mixer&& other) noexcept
    : rate_(other.rate_), hz_(other.hz_), nco_(std::exchange(other.nco_, nullptr)) {}

Mixer& Mixer::operator=(Mixer&& other) noexcept {
    std::swap(rate_, other.rate_);
    std::swap(hz_, other.hz_);
    std::swap(nco_, other.nco_);
    return *this;
}

void Mixer::setFrequency(double hz) {
    hz_ = hz;
    nco_crcf_set_frequency(nco_, float(2 * M_PI * hz / rate_));
}

std::complex<double> Mixer::down(double x) {
    std::complex<float> y;
    nco_crcf_mix_down(nco_, std::complex<float>(float(x), 0.0f), &y);
    nco_crcf_step(nco_);
    return {y.real(), y.imag()};
}

void Mixer::reset() {
    nco_crcf_reset(nco_);
    setFrequency(hz_);
}
