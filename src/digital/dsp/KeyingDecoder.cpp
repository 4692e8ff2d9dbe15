#include "KeyingDecoder.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kUnlikely = -1e30;
constexpr double kSpread = 0.2;      // of an element's or gap's length, on a log scale
constexpr double kAnyLength = 0.05;  // the share of runs of any length at all
constexpr double kLongestDownDots = 8, kLongestUpDots = 10;
constexpr double kDownEndsPerDot = 0.5;  // a key-down longer than the longest: soon over
constexpr double kUpEndsPerDot = 0.1;    // a pause: it may last

// How likely a run of `length` is, of one of the lengths in `dots` (with their shares).
double runWeight(double length, double dot, std::initializer_list<std::pair<double, double>> dots) {
    double weight = 0;
    for (const auto& [share, inDots] : dots) {
        const double z = std::log(length / (inDots * dot)) / kSpread;
        weight += share * std::exp(-0.5 * z * z) / length;
    }
    return weight;
}
} // namespace

KeyingDecoder::KeyingDecoder() : starts_(kHistory) {
    setDot(17.5);
    up_.score.back() = 0; // before anything is heard, the key has been up for long
    up_.best = up_.score.size() - 1;
}

double KeyingDecoder::Runs::bestEnd(int* length) const {
    double best = kUnlikely;
    for (size_t d = 0; d < score.size(); ++d) {
        const double s = score[d] + ends[d];
        if (s > best) {
            best = s;
            *length = int(d);
        }
    }
    return best;
}

// A block more: a run of this kind begins (from `enteredAt`), or the one going on grows. The
// scores are lowered by `lower` on the way (they would otherwise grow without end), and the
// best of them is kept.
void KeyingDecoder::Runs::advance(double enteredAt, double evidence, long now, double lower) {
    const size_t last = score.size() - 1;
    const double grown = score[last - 1] + stays[last - 1], held = score[last] + stays[last];
    if (grown > held)
        lastStart = now - long(last);
    evidence -= lower;
    score[last] = std::max(grown, held) + evidence;
    best = last;
    for (size_t d = last - 1; d > 0; --d) {
        score[d] = score[d - 1] + stays[d - 1] + evidence;
        if (score[d] > score[best])
            best = d;
    }
    score[0] = enteredAt + evidence;
    if (score[0] > score[best])
        best = 0;
}

void KeyingDecoder::setDot(double blocks) {
    blocks = std::max(blocks, 1.0);
    if (std::abs(blocks - dotBlocks_) < 0.1 * dotBlocks_)
        return;
    dotBlocks_ = blocks;
    rebuild();
}

// The lengths of runs of either kind, and from them how likely a run of each length is to go
// on or to end. The scores so far are kept where the lengths still reach.
void KeyingDecoder::rebuild() {
    const double u = dotBlocks_;
    const int downs = std::max(4, int(std::ceil(kLongestDownDots * u)));
    const int ups = std::max(4, int(std::ceil(kLongestUpDots * u)));
    std::vector<double> downShare(static_cast<size_t>(downs)), upShare(static_cast<size_t>(ups));
    for (int n = 1; n <= downs; ++n)
        downShare[size_t(n - 1)] = runWeight(n, u, {{0.5, 1}, {0.5, 3}});
    for (int n = 1; n <= ups; ++n)
        upShare[size_t(n - 1)] = runWeight(n, u, {{0.5, 1}, {0.3, 3}, {0.15, 7}});
    fill(down_, downShare, kDownEndsPerDot / u);
    fill(up_, upShare, kUpEndsPerDot / u);
}

void KeyingDecoder::fill(Runs& runs, std::vector<double> shares, double lastEnds) {
    double total = 0;
    for (const double s : shares)
        total += s;
    const double anyLength = kAnyLength / double(shares.size());
    for (double& s : shares)
        s = (1 - kAnyLength) * s / total + anyLength;
    const size_t count = shares.size();
    runs.stays.assign(count, 0);
    runs.ends.assign(count, 0);
    double longer = 1; // the share of runs at least this long
    for (size_t d = 0; d + 1 < count; ++d) {
        const double ends = std::clamp(shares[d] / longer, 1e-9, 1 - 1e-9);
        runs.ends[d] = std::log(ends);
        runs.stays[d] = std::log(1 - ends);
        longer = std::max(longer - shares[d], 1e-12);
    }
    runs.ends[count - 1] = std::log(std::min(lastEnds, 1.0));
    runs.stays[count - 1] = std::log(std::max(1 - lastEnds, 1e-9));
    // The scores so far stay; runs longer than the new longest join the open-ended state.
    const double longest = runs.score.size() >= count
                               ? *std::max_element(runs.score.begin() + long(count - 1), runs.score.end())
                               : kUnlikely;
    runs.score.resize(count, kUnlikely);
    runs.score.back() = std::max(runs.score.back(), longest);
    runs.best = size_t(std::max_element(runs.score.begin(), runs.score.end()) - runs.score.begin());
}

void KeyingDecoder::push(double keyDownEvidence) {
    ++now_;
    int upLength = 0, downLength = 0;
    const double intoDown = up_.bestEnd(&upLength), intoUp = down_.bestEnd(&downLength);
    const size_t lastUp = up_.score.size() - 1, lastDown = down_.score.size() - 1;
    Start& here = starts_[size_t(now_ % kHistory)];
    here.previousStart[1] = size_t(upLength) == lastUp ? up_.lastStart : now_ - 1 - upLength;
    here.previousStart[0] = size_t(downLength) == lastDown ? down_.lastStart : now_ - 1 - downLength;
    const double top = std::max(down_.score[down_.best], up_.score[up_.best]);
    down_.advance(intoDown, keyDownEvidence, now_, top);
    up_.advance(intoUp, 0, now_, top);
}

bool KeyingDecoder::decidedDown() const {
    bool down = down_.score[down_.best] > up_.score[up_.best];
    const Runs& runs = down ? down_ : up_;
    long start = runs.best == runs.score.size() - 1 ? runs.lastStart : now_ - long(runs.best);
    const long decided = now_ - lagBlocks_;
    for (int back = 0; start > decided && back < kHistory / 8; ++back) {
        start = starts_[size_t(start % kHistory)].previousStart[down ? 1 : 0];
        down = !down;
    }
    return down;
}
