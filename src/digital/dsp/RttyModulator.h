#pragma once

#include "Baudot.h"
#include "DspBlocks.h"

#include <QString>
#include <vector>

// RTTY: Baudot characters as frequency shift keying with a continuous phase. Each character
// is a start bit (space), five data bits (least significant first) and 1.5 stop bits (mark),
// unless told to leave 1 or 2 as some programs do. A transmission starts with a quarter of a
// second of mark and LTRS, and ends with two bits of mark; between characters it idles on mark.
// The carrier is the centre between the tones; mark is the upper one unless reversed.
class RttyModulator final : public Modulator {
public:
    RttyModulator(double sampleRate, double carrierHz, double baud = 45.45, double shiftHz = 170,
                  bool reverse = false, double stopBits = 1.5);

    void start(std::vector<float>& out) override;
    void character(QChar c, std::vector<float>& out) override; // letters, figures and signs
    void idle(std::vector<float>& out) override { mark(1, out); }
    void end(std::vector<float>& out) override { mark(2, out); }
    void steadyCarrier(std::vector<float>& out) override { mark(4, out); }
    void reset() override;

    // The frame of one Baudot code, and plain mark: for building signals by hand.
    void code(quint8 code, std::vector<float>& out);
    void mark(double bits, std::vector<float>& out);

private:
    void tone(bool markTone, double bits, std::vector<float>& out);

    double rate_, carrier_, baud_, shift_, stopBits_;
    bool reverse_;
    double phase_ = 0;
    double clock_ = 0;
    Baudot::Encoder encoder_; // keeps the shift across the characters of a transmission
};
