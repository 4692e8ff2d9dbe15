#include "Notch.h"

#include <complex>
#include <liquid/liquid.h>

#include <cmath>
#include <utility>

Notch::Notch(double sampleRate, double hz, double q) : hz_(hz) {
    const double w = 2 * M_PI * hz / sampleRate;
    const double alpha = std::sin(w) / (2 * q);
    float b[3] = {1.0f, float(-2 * std::cos(w)), 1.0f};
    float a[3] = {float(1 + alpha), float(-2 * std::cos(w)), float(1 - alpha)};
    filter_ = iirfilt_rrrf_create_sos(b, a, 1);
}

Notch::~Notch() {
    if (filter_)
        iirfilt_rrrf_destroy(filter_);
}

Notch::Notch(Notch&& other) noexcept : hz_(other.hz_), filter_(std::exchange(other.filter_, nullptr)) {}

Notch& Notch::operator=(Notch&& other) noexcept {
    std::swap(hz_, other.hz_);
    std::swap(filter_, other.filter_);
    return *this;
}

float Notch::process(float x) {
    float y = 0;
    iirfilt_rrrf_execute(filter_, x, &y);
    return y;
}
