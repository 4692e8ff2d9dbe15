#pragma once

#include "DspBlocks.h"

#include <QString>
#include <vector>

// RTTY: Baudot characters as frequency shift keying with a continuous phase. Each character
// is a start bit (space), five data bits (least significant first) and 1.5 stop bits (mark),
// unless told to leave 1 or 2 as some programs do.
// The carrier is the centre between the tones; mark is the upper one unless reversed.
class RttyModulator final : public Modulator {
public:
    RttyModulator(double sampleRate, double carrierHz, double baud = 45.45, double shiftHz = 170,
                  bool reverse = false, double stopBits = 1.5);

    // The whole transmission: half a second of mark, LTRS, the text, LTRS, a moment of mark.
    std::vector<float> transmit(const QString& text) override;
    void reset() override;
    void code(quint8 code, std::vector<float>& out);
    void mark(double bits, std::vector<float>& out);

private:
    void tone(bool markTone, double bits, std::vector<float>& out);

    double rate_, carrier_, baud_, shift_, stopBits_;
    bool reverse_;
    double phase_ = 0;
    double clock_ = 0;
};
