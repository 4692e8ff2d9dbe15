#pragma once

// Tells a PSK signal from noise alone by where its energy lies. Noise spreads evenly across
// the band, so the receive filter lets through a known share of what a filter several times
// wider lets through; a signal puts its energy inside the receive filter and raises that
// share. The ratio needs no noise level to be learned first, and does not mind a receiver a
// little off frequency. Both energies are taken a symbol at a time and averaged over a few
// symbols; the answer has hysteresis, so that a weak signal does not flicker in and out.
class SignalPresence {
public:
    // The receive filter (two running means, of `first` and `second` samples) and the wider
    // reference (one running mean of `wide` samples).
    SignalPresence(int first, int second, int wide);

    // Once a symbol, with the energy each filter put out over the symbol.
    void symbol(double narrowEnergy, double wideEnergy);

    bool present() const { return present_; }
    // The receive filter's share against what noise alone gives it (1 for noise).
    double ratio() const { return ratio_; }

private:
    double noiseShare_; // what noise alone gives: the filters' noise bandwidths
    double narrow_ = 0, wide_ = 0;
    double ratio_ = 1;
    bool present_ = false;
};
