#pragma once

#include <QByteArray>
#include <vector>

// BPSK with varicode, as PSK31 and its faster kin: a 0 bit turns the phase over, a 1 keeps
// it; each turn is shaped with a raised cosine, so the signal is two tones apart by the baud
// rate and no wider. A transmission starts with 32 turns (idle), ends with 32 symbols of
// steady carrier, then fades out in one symbol.
class PskModulator {
public:
    static constexpr int kPreambleSymbols = 32;
    static constexpr int kPostambleSymbols = 32;

    PskModulator(double sampleRate, double carrierHz, double baud);

    // The whole transmission of `text`, as samples in -1..1.
    std::vector<float> transmit(const QByteArray& text);

    // Piece by piece: start, characters, idle while nothing is to send, end.
    void start(std::vector<float>& out);
    void character(unsigned char c, std::vector<float>& out);
    void idle(int symbols, std::vector<float>& out);
    void end(std::vector<float>& out);
    void reset();

private:
    void symbol(bool bit, std::vector<float>& out, double amplitudeFrom = 1, double amplitudeTo = 1);

    double rate_;
    double carrier_;
    double baud_;
    double phase_ = 0;   // carrier phase, radians
    float level_ = 1.0f; // the current symbol sign
    double symbolClock_ = 0;
};
