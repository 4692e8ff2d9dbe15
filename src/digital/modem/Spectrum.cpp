#include "Spectrum.h"

#include <algorithm>

#include <liquid/liquid.h>

#include <cmath>

Spectrum::Spectrum(double sampleRate, int size, int hop)
    : rate_(sampleRate), size_(size), hop_(hop), window_(size_t(size)), history_(size_t(size), 0.0f),
      in_(size_t(size)), out_(size_t(size)), decibels_(size_t(size / 2 + 1), -120.0f) {
    for (int n = 0; n < size; ++n)
        window_[size_t(n)] = float(0.5 - 0.5 * std::cos(2 * M_PI * n / (size - 1)));
    plan_ = fft_create_plan(unsigned(size), reinterpret_cast<liquid_float_complex*>(in_.data()),
                            reinterpret_cast<liquid_float_complex*>(out_.data()),
                            LIQUID_FFT_FORWARD, 0);
}

Spectrum::~Spectrum() { fft_destroy_plan(static_cast<fftplan>(plan_)); }

bool Spectrum::push(const float* samples, size_t count) {
    float peak = 0;
    for (size_t n = 0; n < count; ++n) {
        const float x = std::isfinite(samples[n]) ? samples[n] : 0.0f;
        peak = std::max(peak, std::fabs(x));
        history_[next_] = x; // a ring: next_ is the oldest sample
        next_ = (next_ + 1) % history_.size();
    }
    level_ = std::min(1.0f, peak);
    sinceLast_ += count;
    if (sinceLast_ < size_t(hop_))
        return false;
    sinceLast_ = 0;
    compute();
    return true;
}

void Spectrum::compute() {
    for (int n = 0; n < size_; ++n)
        in_[size_t(n)] = {history_[(next_ + size_t(n)) % history_.size()] * window_[size_t(n)], 0.0f};
    fft_execute(static_cast<fftplan>(plan_));
    const float scale = 2.0f / (0.5f * float(size_)); // a full-scale sine reads 0 dB
    for (size_t k = 0; k < decibels_.size(); ++k) {
        const float magnitude = std::abs(out_[k]) * scale;
        decibels_[k] = 20.0f * std::log10(std::max(magnitude, 1e-6f));
    }
}

double Spectrum::signalToNoiseAt(double hz, double halfWidthHz) const {
    constexpr double kBandLowHz = 200, kBandHighHz = 3000;
    if (decibels_.empty())
        return 0;
    auto binOf = [this](double f) {
        return std::clamp(size_t(std::max(0.0, f / binHz())), size_t(0), decibels_.size() - 1);
    };
    std::vector<float> band(decibels_.begin() + long(binOf(kBandLowHz)),
                            decibels_.begin() + long(binOf(kBandHighHz)) + 1);
    std::nth_element(band.begin(), band.begin() + long(band.size() / 2), band.end());
    const float floor = band[band.size() / 2];
    float peak = decibels_[binOf(hz)];
    for (size_t bin = binOf(hz - halfWidthHz); bin <= binOf(hz + halfWidthHz); ++bin)
        peak = std::max(peak, decibels_[bin]);
    return double(peak - floor);
}
