#pragma once

#include "DspBlocks.h"
#include "QpskCode.h"

#include <QByteArray>
#include <complex>
#include <vector>

// PSK with varicode, as PSK31 and its faster kin. BPSK: a 0 bit turns the phase over, a 1
// keeps it. QPSK: the bits go through QPSK31's convolutional code, whose symbols turn the
// phase by 0, 90, 180 or 270 degrees. Each turn is shaped with a raised cosine, so the signal
// is no wider than two tones the baud rate apart. A transmission starts with 32 reversals
// (idle), ends with 32 symbols of steady carrier (QPSK first sends 32 zeros to flush the
// receiver's decoder), then fades out in one symbol.
class PskModulator final : public Modulator {
public:
    static constexpr int kPreambleSymbols = 32;
    static constexpr int kPostambleSymbols = 32;
    static constexpr int kIdleSymbols = 2; // one idle piece: short, so typing is not kept waiting

    PskModulator(double sampleRate, double carrierHz, double baud, bool qpsk = false);

    void start(std::vector<float>& out) override;
    void character(QChar c, std::vector<float>& out) override; // 7-bit ASCII only
    void idle(std::vector<float>& out) override { idle(kIdleSymbols, out); }
    void idle(int symbols, std::vector<float>& out);
    void end(std::vector<float>& out) override;
    void steadyCarrier(std::vector<float>& out) override;
    void reset() override;

private:
    void bit(bool one, std::vector<float>& out);
    void symbol(std::complex<double> turn, std::vector<float>& out, double amplitudeFrom = 1,
                double amplitudeTo = 1);

    double rate_;
    double carrier_;
    double baud_;
    bool qpsk_;
    QpskCode::Encoder encoder_;
    double phase_ = 0;                // carrier phase, radians
    std::complex<double> level_{1, 0}; // the current symbol's phase
    double symbolClock_ = 0;
};
