#pragma once

// Reads the keying back out of rendered side-tone samples: the tone's envelope from two
// samples a quarter period apart, and the moments it crosses half its full level.
#include <cmath>
#include <vector>

namespace ToneMeasure {

// Envelope of a tone whose period is `period` samples (a multiple of 4).
inline std::vector<double> envelope(const std::vector<short>& x, int period) {
    const int q = period / 4, back = q / 2, ahead = q - back;
    std::vector<double> e(x.size(), 0.0);
    for (size_t n = back; n + ahead < x.size(); ++n)
        e[n] = std::hypot(double(x[n - back]), double(x[n + ahead]));
    return e;
}

// Sample positions (with fractions) where the envelope crosses `level`, up or down in turn.
inline std::vector<double> crossings(const std::vector<double>& e, double level) {
    std::vector<double> at;
    bool above = false;
    for (size_t n = 1; n < e.size(); ++n) {
        const bool now = e[n] >= level;
        if (now != above) {
            at.push_back(double(n - 1) + (level - e[n - 1]) / (e[n] - e[n - 1]));
            above = now;
        }
    }
    return at;
}

} // namespace ToneMeasure
