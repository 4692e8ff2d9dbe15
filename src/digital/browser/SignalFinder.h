#pragma once

#include "digital/modem/Spectrum.h"

#include <span>
#include <vector>

// Finds the signals of one mode across the audio band on one averaged spectrum. A signal is
// where the power in the mode's tones (PSK: one tone a baud wide; RTTY: the mark and the space)
// stands clearly above the noise floor, higher than anywhere near it.
class SignalFinder {
  public:
    static constexpr double kBandLowHz = 200, kBandHighHz = 3000;
    static constexpr double kUpdateSeconds = 0.25;

    struct Shape {
        std::vector<double> toneOffsetsHz; // from the carrier: {0} for PSK and CW, {-85, +85} for RTTY
        double toneHalfWidthHz;            // the power taken around each tone
        double spacingHz;                  // two signals closer than this are one
        // PSK is symmetric about its carrier: only power found on both sides counts (the
        // middle left out), so that half of a strong neighbour, or one of a signal's own two
        // idle tones, is not taken for a signal of its own.
        bool symmetric;
        double peakReachHz; // a carrier is where the power is highest this far either side
        // A peak this far from a signal and this much weaker is that signal's skirt (CW's
        // keying sidebands), not a station; 0: none are looked for.
        double skirtReachHz = 0;
        double skirtBelowDb = 0;
    };
    static Shape pskShape(double baud);
    static Shape rttyShape(double baud, double shiftHz);
    static Shape cwShape();

    struct Found {
        double hz;    // the carrier
        double snrDb; // in 2500 Hz
    };

    explicit SignalFinder(double sampleRate);

    // Takes samples; true when a new average is ready (four times a second).
    bool push(std::span<const float> samples);
    // The signals of that shape in the band, strongest first, at least `minSnrDb` in 2500 Hz.
    std::vector<Found> find(const Shape& shape, double minSnrDb) const;

  private:
    struct TonePower {
        double below = 0, above = 0, middle = 0; // above the noise
        double heard = 0, moment = 0;            // for the power-weighted frequency
        double bins = 0, middleBins = 0;
    };
    TonePower toneAround(double hz, const Shape& shape, double noise) const;
    double powerAround(double hz, const Shape& shape, double noise, double* weightedHz) const;
    double noisePerBin() const;
    double snrAt(double hz, const Shape& shape, double noise) const;

    Spectrum spectrum_;
    std::vector<double> average_; // power per bin, followed over a couple of seconds
    bool primed_ = false;
};
