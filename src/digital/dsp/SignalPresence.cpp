#include "SignalPresence.h"

#include <algorithm>
#include <vector>

namespace {
constexpr double kDecay = 0.85;   // per symbol: the last seven symbols or so count
constexpr double kOnRatio = 2.3;  // noise alone stays below this all but very rarely
constexpr double kOffRatio = 1.5; // a weak signal that fades a little is still there

// The noise power gain of running means of these lengths in a row (each scaled by 1/length).
double noiseGain(const std::vector<int>& lengths) {
    std::vector<double> response{1.0};
    for (const int length : lengths) {
        std::vector<double> next(response.size() + size_t(length) - 1, 0.0);
        for (size_t i = 0; i < response.size(); ++i)
            for (int k = 0; k < length; ++k)
                next[i + size_t(k)] += response[i] / length;
        response.swap(next);
    }
    double gain = 0;
    for (const double h : response)
        gain += h * h;
    return gain;
}
} // namespace

SignalPresence::SignalPresence(int first, int second, int wide)
    : noiseShare_(noiseGain({std::max(1, first), std::max(1, second)}) / noiseGain({std::max(1, wide)})) {}

void SignalPresence::symbol(double narrowEnergy, double wideEnergy) {
    narrow_ = kDecay * narrow_ + (1 - kDecay) * narrowEnergy;
    wide_ = kDecay * wide_ + (1 - kDecay) * wideEnergy;
    ratio_ = wide_ > 0 ? narrow_ / wide_ / noiseShare_ : 1.0;
    present_ = present_ ? ratio_ > kOffRatio : ratio_ > kOnRatio;
}
