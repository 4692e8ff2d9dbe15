#pragma once

#include <QString>
#include <span>
#include <vector>

// What every demodulator and modulator offers, whatever its mode. A block is a plain object:
// its constructor takes the sample rate and its settings, `process` takes sound in blocks of
// any size (the text does not depend on how the sound is cut), and `reset` returns it to what
// it was when made with its present settings: everything learned from the sound (filters,
// timing, the AFC's pull, the S/N, half-decoded characters) is forgotten.
class Demodulator {
public:
    virtual ~Demodulator() = default;
    // The text the samples complete.
    virtual QString process(std::span<const float> samples) = 0;
    virtual void reset() = 0;

    virtual void setAfc(bool on) = 0;
    // Where the receiver listens now (the AFC moves it), and where the operator puts it.
    virtual double carrier() const = 0;
    virtual void setCarrier(double hz) = 0;
    // Signal to noise of the last symbols, in dB.
    virtual double signalToNoise() const = 0;
};

class Modulator {
public:
    virtual ~Modulator() = default;
    // The whole transmission of `text` (its start, the text, its end), as samples in -1..1.
    virtual std::vector<float> transmit(const QString& text) = 0;
    virtual void reset() = 0;
};
