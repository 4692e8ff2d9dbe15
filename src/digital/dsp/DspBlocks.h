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

// A transmission, piece by piece, as the modem on the air sends it and as the tools and the
// tests make it whole: its start, the characters as they come, idle while there is nothing to
// send, its end. Each call adds samples in -1..1 to `out`. A character the mode has no code for
// is left out. `reset` returns the block to what it was when made: phase, clocks, shift.
class Modulator {
public:
    virtual ~Modulator() = default;
    virtual void start(std::vector<float>& out) = 0;
    virtual void character(QChar c, std::vector<float>& out) = 0;
    virtual void idle(std::vector<float>& out) = 0; // a short piece of the idle signal
    virtual void end(std::vector<float>& out) = 0;
    virtual void steadyCarrier(std::vector<float>& out) = 0; // a short piece of plain carrier, for tuning
    virtual void reset() = 0;

    // The whole transmission of `text`, from a fresh start.
    std::vector<float> transmit(const QString& text) {
        std::vector<float> out;
        reset();
        start(out);
        for (QChar c : text)
            character(c, out);
        end(out);
        return out;
    }
};
