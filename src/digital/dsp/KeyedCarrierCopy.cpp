#include "KeyedCarrierCopy.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kBlockSeconds = 0.002;
// The key is read through a running sum of this many blocks (22 ms) about each block: its
// nulls fall 45 and 91 Hz off, and a neighbour 60 Hz off is 13 dB down in it. Its half-way
// points still fall on the edges of a dot at 50 wpm.
constexpr int kKeyFilterBlocks = 11;
// The key-down blocks either side of a moment whose carrier gives its level and phase.
constexpr int kAroundBlocks = 10;
constexpr double kDownShare = 0.55, kUpShare = 0.45; // of the keyed level, with the key up / down
constexpr double kLevelGain = 0.05;    // per key-down block
constexpr double kWholeShare = 0.8;    // of the keyed level: the sum lies inside an element
constexpr double kPeakDecay = 0.9986;  // per block: halves in a second, as fast as a fade
constexpr double kTurnGain = 0.02;     // per block
constexpr double kEdgeSeconds = 0.004; // a transmitter's rise and fall
constexpr double kDepthGain = 0.005;   // per keyed block: the take-out's depth over a second or so
constexpr long kLearningBlocks = 500;  // a second: the keyed level and the turning settle
constexpr long kKeyReach = kKeyFilterBlocks / 2;
// How far from where the key was decided its edge is looked for, in blocks either way.
constexpr long kEdgeSearchBlocks = 4;
// How late each step is, in blocks: the key is read once the filter has its last block, the
// carrier once the key is read a reach beyond, a block rebuilt once the key and carrier are
// known two blocks beyond it (an edge there may already be rising).
constexpr long kKeyLate = kKeyReach;
constexpr long kCarrierLate = kKeyLate + kKeyReach + kAroundBlocks;
constexpr long kRebuildLate = kCarrierLate + 2;
constexpr int kLateBlocks = int(kRebuildLate) + 1;
} // namespace

KeyedCarrierCopy::KeyedCarrierCopy(double sampleRate, double toneHz)
    : blockSamples_(std::max(1, int(std::lround(sampleRate * kBlockSeconds)))),
      mixer_(sampleRate, toneHz) {
    start();
}

int KeyedCarrierCopy::delaySamples(double sampleRate) {
    return kLateBlocks * std::max(1, int(std::lround(sampleRate * kBlockSeconds)));
}

bool KeyedCarrierCopy::learned() const {
    return blockCount_ > kLearningBlocks;
}

void KeyedCarrierCopy::setCarrier(double hz) {
    mixer_.setFrequency(hz);
    mixer_.reset();
    start();
}

void KeyedCarrierCopy::start() {
    blocks_.assign(size_t(kCarrierLate + kAroundBlocks + kKeyReach + 4), Block{});
    oscillator_.assign(size_t((kLateBlocks + 2) * blockSamples_), {});
    out_.assign(oscillator_.size(), 0.0f);
    summing_ = {};
    samples_ = 0;
    blockCount_ = 0;
    keyedLevel_ = 0;
    peakLevel_ = 0;
    turn_ = {1, 0};
    turnSum_ = {};
    bandEnergy_ = leftEnergy_ = 0;
}

void KeyedCarrierCopy::process(std::span<const float> band, std::vector<float>& rebuilt) {
    rebuilt.resize(band.size());
    const long ring = long(out_.size()), delay = kLateBlocks * blockSamples_;
    for (size_t i = 0; i < band.size(); ++i) {
        const std::complex<double> oscillator = mixer_.down(1.0);
        oscillator_[size_t(samples_ % ring)] = oscillator;
        summing_ += std::isfinite(band[i]) ? double(band[i]) * oscillator : 0.0;
        if ((samples_ + 1) % blockSamples_ == 0)
            endBlock();
        rebuilt[i] = samples_ >= delay ? out_[size_t((samples_ - delay) % ring)] : 0.0f;
        ++samples_;
    }
}

// A block is summed: the key is read where the key filter now reaches, the carrier followed
// where the key-downs around are all read, and the samples before that rebuilt.
void KeyedCarrierCopy::endBlock() {
    const long now = blockCount_++;
    block(now) = Block{};
    block(now).sum = summing_;
    summing_ = {};
    if (now >= kKeyLate + kKeyReach + 1)
        decideKey(now - kKeyLate);
    if (now >= kCarrierLate + kAroundBlocks + 2)
        followCarrier(now - kCarrierLate);
    if (now >= kRebuildLate + kAroundBlocks + 4)
        rebuildBlock(now - kRebuildLate);
}

// The key in a block's middle, from the running sum about it; where it changed, the moment
// the sum crossed half-way.
void KeyedCarrierCopy::decideKey(long at) {
    std::complex<double> sum{};
    for (long m = at - kKeyReach; m <= at + kKeyReach; ++m)
        sum += block(m).sum;
    const double level = std::abs(sum);
    const Block& before = block(at - 1);
    Block& b = block(at);
    b.level = level;
    b.filtered = sum;
    // A fading station: the loudest of the last moments, falling about as fast as a fade
    // does, brings the keyed level down with it.
    peakLevel_ = std::max(level, peakLevel_ * kPeakDecay);
    const double keyed = std::min(keyedLevel_, peakLevel_);
    b.down = level > (before.down ? kUpShare : kDownShare) * keyed;
    b.edgeAt = b.down != before.down ? crossedHalfWay(at, 0.5 * keyed) : before.edgeAt;
    if (b.down && level > kWholeShare * keyed) // not an element's end, part of it a gap
        keyedLevel_ += kLevelGain * (level - keyedLevel_);
}

// Where the key filter crossed half the keyed level, last, between the middles of the
// blocks up to `at` (the hysteresis may have seen it a block late).
double KeyedCarrierCopy::crossedHalfWay(long at, double half) const {
    for (long m = at; m > at - 2; --m) {
        const double from = block(m - 1).level, to = block(m).level;
        if ((from - half) * (to - half) <= 0 && from != to)
            return middleOf(m - 1) + (half - from) / (to - from) * blockSamples_;
    }
    return middleOf(at - 1);
}

// The carrier as heard with the key down about a moment, within the reach either side: best
// from the key filter where its whole length is keyed (it stops the neighbours), else from
// the blocks inside key-downs (a fast sender's dots are shorter than the filter); each turned
// on or back by the carrier's own turning to that moment, and averaged. None: the one
// before, turned on.
std::complex<double> KeyedCarrierCopy::carrierAround(long at) const {
    std::complex<double> filtered{}, inside{};
    int filteredCount = 0, insideCount = 0;
    std::complex<double> turned = std::pow(turn_, kAroundBlocks); // block m's carrier on to `at`
    for (long m = at - kAroundBlocks; m <= at + kAroundBlocks; ++m, turned *= std::conj(turn_)) {
        if (m < kKeyReach || !(block(m - 1).down && block(m).down && block(m + 1).down))
            continue;
        inside += block(m).sum * turned;
        ++insideCount;
        bool whole = true;
        for (long k = m - kKeyReach; k <= m + kKeyReach && whole; ++k)
            whole = block(k).down;
        if (whole) {
            filtered += block(m).filtered * turned;
            ++filteredCount;
        }
    }
    if (filteredCount > 0)
        return filtered * (2.0 / (filteredCount * blockSamples_ * kKeyFilterBlocks));
    if (insideCount > 0)
        return inside * (2.0 / (insideCount * blockSamples_));
    return block(at - 1).carrier * turn_;
}

void KeyedCarrierCopy::followCarrier(long at) {
    const std::complex<double> carrier = carrierAround(at);
    const std::complex<double> before = block(at - 1).carrier;
    if (std::norm(before) > 0 && std::norm(carrier) > 0) {
        turnSum_ += kTurnGain * (carrier * std::conj(before) / std::abs(carrier * std::conj(before)) - turnSum_);
        if (std::abs(turnSum_) > 0)
            turn_ = turnSum_ / std::abs(turnSum_);
    }
    Block& b = block(at);
    b.carrier = carrier;
    // An edge: where the key filter crossed half the level of the carrier just around it,
    // which a fading station's learned level lags. The key was decided on that learned level:
    // after a pause its loudest has fallen and the key went down early, so the crossing may
    // lie some blocks on.
    if (b.down != block(at - 1).down && std::norm(carrier) > 0)
        b.edgeAt = crossingNear(at, 0.25 * std::abs(carrier) * blockSamples_ * kKeyFilterBlocks, b.down);
}

// Where the key filter crossed `half` going up (or down), between the middles of the blocks
// about `at`: the crossing nearest to it.
double KeyedCarrierCopy::crossingNear(long at, double half, bool rising) const {
    for (long step = 0; step <= kEdgeSearchBlocks; ++step)
        for (const long m : {at - step, at + 1 + step}) {
            if (m > at + kEdgeSearchBlocks || m < at - kEdgeSearchBlocks)
                continue;
            const double from = block(m - 1).level, to = block(m).level;
            if (rising ? from < half && to >= half : from > half && to <= half)
                return middleOf(m - 1) + (half - from) / (to - from) * blockSamples_;
        }
    return block(at).edgeAt;
}

// How far the key is down at a sample in the block `at`: as it was two blocks before, then
// each edge since that may still be rising or falling, with the soft shape of a
// transmitter's keying.
double KeyedCarrierCopy::keyed(double sample, long at) const {
    double key = block(at - 2).down ? 1 : 0;
    const double rise = kEdgeSeconds / kBlockSeconds * blockSamples_;
    for (long m = at - 1; m <= at + 2; ++m) {
        if (block(m).down == block(m - 1).down)
            continue;
        const double into = std::clamp((sample - block(m).edgeAt) / rise + 0.5, 0.0, 1.0);
        const double step = 0.5 - 0.5 * std::cos(M_PI * into);
        key += block(m).down ? step : -step;
    }
    return std::clamp(key, 0.0, 1.0);
}

// The block's samples: the carrier drawn straight from the middle of one block to the middle
// of the next, keyed, on the carrier's own phase.
void KeyedCarrierCopy::rebuildBlock(long at) {
    const long ring = long(out_.size());
    bool silent = true; // the key up all around: nothing to rebuild
    for (long m = at - 2; m <= at + 2 && silent; ++m)
        silent = !block(m).down;
    if (silent) {
        for (int i = 0; i < blockSamples_; ++i)
            out_[size_t((at * blockSamples_ + i) % ring)] = 0.0f;
        return;
    }
    const double half = 0.5 * blockSamples_;
    std::complex<double> rebuiltSum{};
    for (int i = 0; i < blockSamples_; ++i) {
        const double u = i + 0.5;
        const std::complex<double> carrier =
            u < half ? block(at - 1).carrier + (block(at).carrier - block(at - 1).carrier) * ((u + half) / blockSamples_)
                     : block(at).carrier + (block(at + 1).carrier - block(at).carrier) * ((u - half) / blockSamples_);
        const long sample = at * blockSamples_ + i;
        const double key = keyed(double(sample) + 0.5, at);
        out_[size_t(sample % ring)] = float((key * carrier * std::conj(oscillator_[size_t(sample % ring)])).real());
        rebuiltSum += 0.5 * key * carrier;
    }
    block(at).rebuilt = rebuiltSum;
    measureDepth(at - kKeyReach);
}

// Through the key filter (which stops the neighbours), how much of the station is left on its
// tone about block `at` with the copy taken out, where the key is down.
void KeyedCarrierCopy::measureDepth(long at) {
    if (!block(at).down)
        return;
    std::complex<double> left{};
    for (long m = at - kKeyReach; m <= at + kKeyReach; ++m)
        left += block(m).sum - block(m).rebuilt;
    bandEnergy_ += kDepthGain * (std::norm(block(at).filtered) - bandEnergy_);
    leftEnergy_ += kDepthGain * (std::norm(left) - leftEnergy_);
}

double KeyedCarrierCopy::takenOutDb() const {
    return leftEnergy_ > 0 ? 10 * std::log10(bandEnergy_ / leftEnergy_) : 0;
}
