#include "BandPass.h"

#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>

BandPass::BandPass(double sampleRate, double centreHz, double widthHz, double edgeHz) {
    constexpr double kStopBandDb = 60;
    // Long enough for a transition of about a fifth of the width, or of the edge asked for
    // (Kaiser's estimate of the length for a stop band this deep).
    const double length = edgeHz > 0 ? (kStopBandDb - 8) / (2.285 * 2 * M_PI * edgeHz / sampleRate)
                                     : 4 * sampleRate / widthHz;
    const unsigned taps = unsigned(std::clamp(length, 31.0, 1023.0)) | 1u;
    std::vector<float> h(taps);
    liquid_firdes_kaiser(taps, float(widthHz / 2 / sampleRate), float(kStopBandDb), 0.0f, h.data());
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
