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

// A soft-decision Viterbi decoder whose paths each follow the carrier's phase.
class Viterbi {
public:
    static constexpr int kDepth = 40;

    // Takes each received symbol, gives the bit decided kDepth symbols earlier, or -1 while
    // filling up. The code is carried by phase turns; rather than measure each turn from the
    // one noisy symbol before, each path keeps its own phase reference, made of its last
    // symbols turned back by the turns that path decided.
    int push(std::complex<double> symbol);
    // How sure the last decided bit is: how far behind the best path is that decided it
    // otherwise (kSure when every path agrees).
    double margin() const { return margin_; }
    // How much of a path's phase reference is kept from symbol to symbol (the rest is the new
    // symbol): 0 measures each turn from the symbol before alone, as plain differential
    // reception does; more averages out noise but lags behind a carrier that is off.
    void setReferenceKeep(double keep) { keep_ = keep; }
    static constexpr double kSteadyKeep = 0.5;
    void reset();
    static constexpr double kSure = 1e9;

private:
    std::array<double, kStates> metric_{};
    std::array<std::uint64_t, kStates> history_{};
    std::array<std::complex<double>, kStates> reference_{};
    double keep_ = 0;
    bool referenced_ = false; // a first symbol has been taken
    int decide(const std::array<double, kStates>& metric, const std::array<std::uint64_t, kStates>& history);
    int filled_ = 0;
    double margin_ = kSure;
};

} // namespace QpskCode
