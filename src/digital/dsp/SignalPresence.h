#pragma once

#include "RunningMean.h"

#include <complex>

// Tells a PSK signal from noise alone. Beside the receive filter, two filters of the same
// shape listen a few baud below and above the carrier; noise puts as much energy into each as
// into the receive filter, a signal puts its energy into the receive filter alone. The
// quieter side is the noise (a neighbour on one side does not count), so no noise level has
// to be learned and a receiver a little off frequency still hears its signal. The energies
// are taken a symbol at a time and averaged over a few symbols; the answer has hysteresis,
// so that a weak signal does not flicker in and out.
class SignalPresence {
public:
    // The receive filter: two running means of `first` and `second` samples.
    SignalPresence(double sampleRate, double baud, int first, int second);

    // Each sample: the signal mixed down at the carrier, and what the receive filter made of it.
    void sample(std::complex<double> mixed, std::complex<double> received);
    // Once a symbol.
    void symbol();

    bool present() const { return present_; }
    // The receive filter's energy against the quieter side's (about 1 for noise).
    double ratio() const { return ratio_; }
    // The last symbol's energy alone against the quieter side's average: where a signal that is
    // heard now began.
    double symbolRatio() const { return symbolRatio_; }

private:
    std::complex<double> step_; // the turn a sample that moves the upper side to 0 Hz
    std::complex<double> turn_{1.0, 0.0};
    long samples_ = 0;
    Trapezoid below_, above_;
    double received_ = 0, belowEnergy_ = 0, aboveEnergy_ = 0; // over the symbol so far
    double averageReceived_ = 0, averageBelow_ = 0, averageAbove_ = 0;
    double ratio_ = 1;
    double symbolRatio_ = 1;
    bool present_ = false;
};
