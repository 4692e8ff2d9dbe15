#include "QpskCode.h"

#include <algorithm>
#include <bit>

namespace QpskCode {

namespace {
constexpr unsigned kFirstGenerator = 0x17;
constexpr unsigned kSecondGenerator = 0x19;


int parity(unsigned bits) { return std::popcount(bits) & 1; }
} // namespace

int symbolFor(unsigned bits) {
    return parity(bits & kFirstGenerator) | parity(bits & kSecondGenerator) << 1;
}

std::complex<double> turnFor(int symbol) {
    // 0 turns the phase over (as BPSK's 0), 2 keeps it (as BPSK's 1); 1 turns it back by a
    // quarter, 3 on by a quarter (on USB; on LSB the sideband swaps them).
    static const std::complex<double> turns[] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
    return turns[symbol & 3];
}

int Encoder::push(bool bit) {
    bits_ = ((bits_ << 1) | (bit ? 1u : 0u)) & ((1u << kConstraint) - 1);
    return symbolFor(bits_);
}

void Viterbi::reset() {
    metric_.fill(0);
    history_.fill(0);
    reference_.fill({});
    referenced_ = false;
    filled_ = 0;
    margin_ = kSure;
}

int Viterbi::push(std::complex<double> symbol) {
    // Each path's expected symbol is its reference turned by the turn its bits choose; the
    // match is the symbol's projection on it, so strong symbols (and strong references) weigh
    // more. With nothing kept, that is the projection of the turn from the symbol before.
    if (!referenced_) { // the first symbol: only the reference the next is judged against
        reference_.fill(symbol);
        referenced_ = std::abs(symbol) > 0;
        return -1;
    }
    std::array<double, kStates> metric;
    std::array<std::uint64_t, kStates> history;
    std::array<std::complex<double>, kStates> reference;
    for (unsigned next = 0; next < kStates; ++next) {
        const bool bit = next & 1;
        double best = -1e300;
        unsigned from = 0;
        std::complex<double> bestExpected{};
        for (unsigned older = 0; older < 2; ++older) {
            const unsigned previous = (next >> 1) | (older << (kConstraint - 2));
            const unsigned bits = (previous << 1) | (bit ? 1u : 0u);
            const std::complex<double> expected = reference_[previous] * turnFor(symbolFor(bits));
            const double m = metric_[previous] + (symbol * std::conj(expected)).real();
            if (m > best) {
                best = m;
                from = previous;
                bestExpected = expected;
            }
        }
        metric[next] = best;
        history[next] = (history_[from] << 1) | (bit ? 1u : 0u);
        reference[next] = keep_ * bestExpected + (1 - keep_) * symbol;
    }
    reference_ = reference;
    return decide(metric, history);
}

int Viterbi::decide(const std::array<double, kStates>& metric, const std::array<std::uint64_t, kStates>& history) {
    // Keep the metrics small: only their differences matter.
    const double top = *std::max_element(metric.begin(), metric.end());
    unsigned leader = 0;
    for (unsigned s = 0; s < kStates; ++s) {
        metric_[s] = metric[s] - top;
        if (metric[s] == top)
            leader = s;
    }
    history_ = history;
    if (filled_ < kDepth - 1) {
        ++filled_;
        return -1;
    }
    const int bit = int((history_[leader] >> (kDepth - 1)) & 1);
    // How sure the bit is: how far behind the leader the best path that decided otherwise is.
    margin_ = kSure;
    for (unsigned s = 0; s < kStates; ++s)
        if (int((history_[s] >> (kDepth - 1)) & 1) != bit)
            margin_ = std::min(margin_, -metric_[s]);
    return bit;
}

} // namespace QpskCode
