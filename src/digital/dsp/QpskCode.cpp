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
    filled_ = 0;
    margin_ = kSure;
}

int Viterbi::push(std::complex<double> turn) {
    // How well the turn matches each symbol: its projection on that symbol's turn.
    std::array<double, 4> match{};
    for (int s = 0; s < 4; ++s)
        match[size_t(s)] = (turn * std::conj(turnFor(s))).real();

    std::array<double, kStates> metric;
    std::array<std::uint64_t, kStates> history;
    for (unsigned next = 0; next < kStates; ++next) {
        // `next` holds the newest four bits; the state before held the three below them
        // and one more older bit, 0 or 1.
        const bool bit = next & 1;
        double best = -1e300;
        std::uint64_t bestHistory = 0;
        for (unsigned older = 0; older < 2; ++older) {
            const unsigned previous = (next >> 1) | (older << (kConstraint - 2));
            const unsigned bits = (previous << 1) | (bit ? 1u : 0u);
            const double m = metric_[previous] + match[size_t(symbolFor(bits))];
            if (m > best) {
                best = m;
                bestHistory = history_[previous];
            }
        }
        metric[next] = best;
        history[next] = (bestHistory << 1) | (bit ? 1u : 0u);
    }
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
