#include "BandDecimator.h"

#include <liquid/liquid.h>

#include <algorithm>
#include <cmath>

namespace {
constexpr unsigned kFilterDelay = 10; // input samples per side, in units of the factor
constexpr float kStopBandDb = 60.0f;
constexpr float kLoudest = 1.0f;
} // namespace

BandDecimator::BandDecimator(double inputRate)
    : inputRate_(inputRate),
      filter_(firdecim_rrrf_create_kaiser(kFactor, kFilterDelay, kStopBandDb)) {
    firdecim_rrrf_set_scale(static_cast<firdecim_rrrf>(filter_), 1.0f / kFactor);
}

BandDecimator::~BandDecimator() {
    firdecim_rrrf_destroy(static_cast<firdecim_rrrf>(filter_));
}

void BandDecimator::process(std::span<const float> samples, std::vector<float>& out) {
    for (float x : samples) {
        // Sound is -1..1; a broken driver's NaN or huge values would poison every running
        // average behind this point for good.
        pending_[pendingCount_++] = std::isfinite(x) ? std::clamp(x, -kLoudest, kLoudest) : 0.0f;
        if (pendingCount_ < kFactor)
            continue;
        float y = 0;
        firdecim_rrrf_execute(static_cast<firdecim_rrrf>(filter_), pending_, &y);
        out.push_back(y);
        pendingCount_ = 0;
    }
}
