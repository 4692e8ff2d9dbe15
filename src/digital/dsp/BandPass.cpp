#include "BandPass.h"

#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>

BandPass::BandPass(double sampleRate, double centreHz, double widthHz) {
    // Long enough for a transition of about a fifth of the width.
    const unsigned taps = unsigned(std::clamp(4 * sampleRate / widthHz, 31.0, 1023.0)) | 1u;
    std::vector<float> h(taps);
    liquid_firdes_kaiser(taps, float(widthHz / 2 / sampleRate), 60.0f, 0.0f, h.data());
    double dc = 0;
    for (float tap : h)
        dc += tap;
    const double w = 2 * M_PI * centreHz / sampleRate;
    const double middle = (taps - 1) / 2.0;
    for (unsigned n = 0; n < taps; ++n)
        h[n] = float(2 * h[n] / dc * std::cos(w * (n - middle))); // unit gain at the centre
    filter_ = firfilt_rrrf_create(h.data(), taps);
}

BandPass::~BandPass() { firfilt_rrrf_destroy(static_cast<firfilt_rrrf>(filter_)); }

void BandPass::process(float* samples, size_t count) {
    auto* f = static_cast<firfilt_rrrf>(filter_);
    for (size_t n = 0; n < count; ++n) {
        firfilt_rrrf_push(f, samples[n]);
        firfilt_rrrf_execute(f, &samples[n]);
    }
}
