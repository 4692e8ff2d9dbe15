#pragma once

// Adds white Gaussian noise for a stated signal-to-noise ratio in 2500 Hz, seeded so that
// every run hears the same noise.
#include <cmath>
#include <complex>
#include <random>
#include <vector>

#include <liquid/liquid.h>

namespace Awgn {

inline double power(const std::vector<float>& x) {
    double sum = 0;
    for (float v : x)
        sum += double(v) * v;
    return x.empty() ? 0 : sum / double(x.size());
}

// The noise's standard deviation for `snrDb` against this signal.
inline double sigmaFor(const std::vector<float>& signal, double snrDb, double sampleRate) {
    const double noiseIn2500 = power(signal) / std::pow(10.0, snrDb / 10);
    return std::sqrt(noiseIn2500 * (sampleRate / 2) / 2500.0);
}

inline std::vector<float> add(const std::vector<float>& signal, double snrDb, double sampleRate,
                              unsigned seed = 1) {
    const double sigma = sigmaFor(signal, snrDb, sampleRate);
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, sigma);
    std::vector<float> out(signal.size());
    for (size_t n = 0; n < signal.size(); ++n)
        out[n] = float(signal[n] + gauss(random));
    return out;
}

// As a station is heard on the air: `leadSeconds` of noise alone, then the signal in the same
// noise (its S/N as `add` gives it). Returns the samples; the signal starts at `leadSeconds`.
inline std::vector<float> afterNoise(const std::vector<float>& signal, double leadSeconds,
                                     double snrDb, double sampleRate, unsigned seed = 1) {
    const double sigma = sigmaFor(signal, snrDb, sampleRate);
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, sigma);
    std::vector<float> out(size_t(leadSeconds * sampleRate), 0.0f);
    out.insert(out.end(), signal.begin(), signal.end());
    for (float& v : out)
        v = float(v + gauss(random));
    return out;
}

// The same sound as heard by a receiver whose clock runs `ppm` fast (linear interpolation).
inline std::vector<float> clockError(const std::vector<float>& x, double ppm) {
    std::vector<float> out;
    const double step = 1.0 + ppm * 1e-6;
    for (double t = 0; t + 1 < double(x.size()); t += step) {
        const auto i = size_t(t);
        const double f = t - double(i);
        out.push_back(float(x[i] * (1 - f) + x[i + 1] * f));
    }
    return out;
}

// The same sound with its frequency drifting: moved by nothing at the start, by `hzAtEnd` at
// the end, steadily in between (the real signal made analytic by a Hilbert filter, turned,
// and taken real again).
inline std::vector<float> frequencyDrift(const std::vector<float>& x, double sampleRate, double hzAtEnd) {
    constexpr unsigned kSemiLength = 25;
    firhilbf hilbert = firhilbf_create(kSemiLength, 60.0f);
    std::vector<float> out(x.size());
    double phase = 0;
    for (size_t n = 0; n < x.size() + 2 * kSemiLength; ++n) {
        std::complex<float> analytic;
        firhilbf_r2c_execute(hilbert, n < x.size() ? x[n] : 0.0f, &analytic);
        if (n < 2 * kSemiLength)
            continue; // the filter's delay
        const size_t at = n - 2 * kSemiLength;
        const double offset = hzAtEnd * double(at) / double(x.size());
        phase = std::fmod(phase + 2 * M_PI * offset / sampleRate, 2 * M_PI);
        out[at] = float(2 * (std::complex<double>(analytic) * std::polar(1.0, phase)).real());
    }
    firhilbf_destroy(hilbert);
    return out;
}

} // namespace Awgn
