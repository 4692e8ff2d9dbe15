#include "RepeatedWords.h"

#include "KeyingDecoder.h"
#include "MorseReader.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMarginDots = 2; // of key-up either side of a word, for its edges
constexpr long kCoarseStep = 4;   // blocks summed for the first look through the history
constexpr double kFlushDots = 8;  // of key-up after the sum: its last character ends

// Pearson's correlation from the sums of x, y, x², y² and xy over n values.
double correlation(double n, double sx, double sy, double sxx, double syy, double sxy) {
    const double cov = sxy - sx * sy / n, vx = sxx - sx * sx / n, vy = syy - sy * sy / n;
    return vx > 0 && vy > 0 ? cov / std::sqrt(vx * vy) : 0;
}
} // namespace

void RepeatedWords::push(double evidence) {
    evidence_[size_t(pushed_ % kHistoryBlocks)] = float(evidence);
    ++pushed_;
}

double RepeatedWords::at(long block) const {
    if (block < 0 || block >= pushed_ || block < pushed_ - kHistoryBlocks)
        return 0;
    return evidence_[size_t(block % kHistoryBlocks)];
}

QString RepeatedWords::wordEnded(long first, long end, double dotMs, double dashMs) {
    const double dotBlocks = dotMs / blockMs_;
    const long margin = std::lround(kMarginDots * dotBlocks);
    const long from = first - margin, length = end - first + 2 * margin;
    if (end - first < kShortestWordDots * dotBlocks || end - first > kLongestWordDots * dotBlocks)
        return {};
    std::vector<double> sum(static_cast<size_t>(length));
    for (long t = 0; t < length; ++t)
        sum[size_t(t)] = at(from + t);
    const std::vector<Fit> earlier = earlierRenditions(from, length);
    for (const Fit& fit : earlier)
        for (long t = 0; t < length; ++t)
            sum[size_t(t)] += at(fit.start + t);
    return earlier.empty() ? QString() : read(sum, dotMs, dashMs);
}

// The best places before the word where its evidence stands again, none overlapping another:
// first a look through the whole history in steps of a few blocks, then each place found to
// the block.
std::vector<RepeatedWords::Fit> RepeatedWords::earlierRenditions(long from, long length) const {
    const long oldest = std::max(0L, pushed_ - kHistoryBlocks);
    const long steps = length / kCoarseStep, places = (from - oldest) / kCoarseStep - steps;
    if (steps < 2 || places < 1)
        return {};
    // The history and the word in coarse steps, the history's running sums for each place.
    std::vector<double> coarse(static_cast<size_t>(places + steps)), word(static_cast<size_t>(steps));
    for (long i = 0; i < places + steps; ++i)
        for (long k = 0; k < kCoarseStep; ++k)
            coarse[size_t(i)] += at(oldest + i * kCoarseStep + k);
    double wordSum = 0, wordSquares = 0;
    for (long i = 0; i < steps; ++i) {
        for (long k = 0; k < kCoarseStep; ++k)
            word[size_t(i)] += at(from + i * kCoarseStep + k);
        wordSum += word[size_t(i)];
        wordSquares += word[size_t(i)] * word[size_t(i)];
    }
    std::vector<Fit> candidates;
    double runSum = 0, runSquares = 0;
    for (long i = 0; i < steps; ++i)
        runSum += coarse[size_t(i)], runSquares += coarse[size_t(i)] * coarse[size_t(i)];
    for (long p = 0; p < places; ++p) {
        double products = 0;
        for (long i = 0; i < steps; ++i)
            products += word[size_t(i)] * coarse[size_t(p + i)];
        const double c = correlation(double(steps), wordSum, runSum, wordSquares, runSquares, products);
        if (c >= kSameWordCorrelation)
            candidates.push_back({oldest + p * kCoarseStep, c});
        const double leaving = coarse[size_t(p)], coming = coarse[size_t(p + steps)];
        runSum += coming - leaving;
        runSquares += coming * coming - leaving * leaving;
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const Fit& a, const Fit& b) { return a.correlation > b.correlation; });
    std::vector<Fit> chosen;
    for (const Fit& candidate : candidates) {
        if (int(chosen.size()) + 1 >= kMostRenditions)
            break;
        const bool apart = std::none_of(chosen.begin(), chosen.end(), [&](const Fit& c) {
            return std::abs(c.start - candidate.start) < length;
        });
        if (!apart)
            continue;
        const Fit fine = refine(from, length, candidate.start);
        if (fine.correlation >= kSameWordCorrelation && fine.start + length <= from)
            chosen.push_back(fine);
    }
    return chosen;
}

// The place within a coarse step either way of `near` where the word's evidence fits best.
RepeatedWords::Fit RepeatedWords::refine(long from, long length, long near) const {
    Fit best;
    for (long start = near - kCoarseStep; start <= near + kCoarseStep; ++start) {
        double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
        for (long t = 0; t < length; ++t) {
            const double x = at(from + t), y = at(start + t);
            sx += x, sy += y, sxx += x * x, syy += y * y, sxy += x * y;
        }
        const double c = correlation(double(length), sx, sy, sxx, syy, sxy);
        if (c > best.correlation)
            best = {start, c};
    }
    return best;
}

// The key-downs and key-ups most likely in the summed evidence, read at the sender's speed.
QString RepeatedWords::read(const std::vector<double>& evidence, double dotMs, double dashMs) const {
    KeyingDecoder decoder;
    decoder.setDot(dotMs / blockMs_);
    MorseReader reader(dotMs, dashMs);
    QString text;
    bool down = false;
    int run = 0;
    const long total = long(evidence.size()) + decoder.lag() + std::lround(kFlushDots * dotMs / blockMs_);
    for (long i = 0; i < total; ++i) {
        decoder.push(i < long(evidence.size()) ? evidence[size_t(i)] : -1.0);
        if (i < decoder.lag())
            continue;
        const bool nowDown = decoder.decidedDown();
        if (nowDown != down && run > 0) {
            if (down) {
                reader.keyDown(run * blockMs_, false);
            } else {
                text += reader.keyUp(run * blockMs_);
                reader.keyUpEnded(run * blockMs_);
            }
            run = 0;
        }
        down = nowDown;
        ++run;
    }
    if (!down)
        text += reader.keyUp(run * blockMs_);
    return text.trimmed();
}
