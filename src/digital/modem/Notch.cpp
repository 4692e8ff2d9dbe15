#include "Notch.h"

#include <cmath>

Notch::Notch(double sampleRate, double hz, double q) : hz_(hz) {
    const double w = 2 * M_PI * hz / sampleRate;
    const double alpha = std::sin(w) / (2 * q);
    const double a0 = 1 + alpha;
    b0_ = 1 / a0;
    b1_ = -2 * std::cos(w) / a0;
    b2_ = 1 / a0;
    a1_ = -2 * std::cos(w) / a0;
    a2_ = (1 - alpha) / a0;
}

float Notch::process(float x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return static_cast<float>(y);
}
