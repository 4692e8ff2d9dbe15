#pragma once

#include <array>
#include <complex>
#include <cstdint>

// QPSK31's error-correcting code: each varicode bit goes through a convolutional encoder
// (constraint length 5, rate 1/2, generators 0x17 and 0x19), whose two output bits choose one
// of four phase turns. Idle (zeros) gives the same reversals as BPSK, a run of ones the same
// steady carrier, so both modes start and end alike.
namespace QpskCode {

inline constexpr int kConstraint = 5;
inline constexpr int kStates = 1 << (kConstraint - 1);

// The symbol 0..3 for the last five bits (newest in bit 0).
int symbolFor(unsigned bits);
// The phase turn that carries a symbol, as a unit vector (USB sense).
std::complex<double> turnFor(int symbol);

class Encoder {
public:
    int push(bool bit); // the symbol to send for it
    void reset() { bits_ = 0; }

private:
    unsigned bits_ = 0;
};

// A soft-decision Viterbi decoder: takes each received phase turn, gives the bit decided
// kDepth turns earlier.
class Viterbi {
public:
    static constexpr int kDepth = 40;

    int push(std::complex<double> turn); // the decided bit, or -1 while filling up
    // How sure the last decided bit is: how far behind the best path is that decided it
    // otherwise (kSure when every path agrees).
    double margin() const { return margin_; }
    void reset();
    static constexpr double kSure = 1e9;

private:
    std::array<double, kStates> metric_{};
    std::array<std::uint64_t, kStates> history_{};
    int filled_ = 0;
    double margin_ = kSure;
};

} // namespace QpskCode
