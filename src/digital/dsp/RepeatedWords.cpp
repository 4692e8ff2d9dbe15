#include "RepeatedWords.h"

#include "KeyingDecoder.h"
#include "MorseReader.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMarginDots = 2; // of key-up either side of a word, for its edges
constexpr long kCoarseStep = 4;   // blocks summed for the first look through the history
constexpr double kFlushDots = 8;  // of key-up after the sum: its last character ends
constexpr double kStretchDots = 2; // a hand's renditions drift apart this much over a word
constexpr double kStretchCost = 0.2; // per coarse step stretched, against a step's agreement
constexpr int kMostTried = 3;      // places looked at closely, for each word
constexpr double kReachDots = 30;  // beyond the word as heard, its renditions are summed
constexpr qsizetype kFewestCallCharacters = 3;

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

RepeatedWords::Reading RepeatedWords::wordEnded(long first, long end, double dotMs, double dashMs) {
    const double dotBlocks = dotMs / blockMs_;
    const long margin = std::lround(kMarginDots * dotBlocks);
    const long from = first - margin, length = end - first + 2 * margin;
    if (end - first < kShortestWordDots * dotBlocks || end - first > kLongestWordDots * dotBlocks)
        return {};
    const std::vector<Fit> earlier = earlierRenditions(from, length, dotBlocks);
    if (earlier.empty())
        return {};
    // The renditions are summed some way beyond the word as heard: noise may have cut off its
    // first or last characters, or run it into the word beside it. Every rendition of a call
    // stands between word gaps, so the sum reads them where the word as heard only guessed.
    const long reach = std::lround(kReachDots * dotBlocks), span = length + 2 * reach;
    std::vector<double> before(static_cast<size_t>(span)), sum(static_cast<size_t>(span));
    for (const Fit& fit : earlier)
        for (long t = -reach; t < length + reach; ++t) {
            sum[size_t(t + reach)] += at(fit.under(t));
            before[size_t(t + reach)] += at(fit.unstretched + t);
        }
    for (long t = -reach; t < length + reach; ++t)
        sum[size_t(t + reach)] += at(from + t);
    const long wordFrom = reach + margin, wordTo = reach + length - margin;
    return {.together = read(sum, dotMs, dashMs, wordFrom, wordTo),
            .earlier = earlier.size() >= 2 ? read(before, dotMs, dashMs, wordFrom, wordTo) : QString()};
}

// The best places before the word where its keying stands again, none overlapping another.
std::vector<RepeatedWords::Fit> RepeatedWords::earlierRenditions(long from, long length, double dotBlocks) const {
    std::vector<Fit> chosen;
    std::vector<long> tried; // a place's neighbours in the first look are the same place
    for (const Fit& candidate : coarseCandidates(from, length)) {
        if (int(chosen.size()) + 1 >= kMostRenditions || int(tried.size()) >= kMostTried)
            break;
        const bool apart = std::none_of(tried.begin(), tried.end(), [&](long start) {
            return std::abs(start - candidate.start) < length;
        });
        if (!apart)
            continue;
        tried.push_back(candidate.start);
        Fit fit = warp(from, length, candidate.start, dotBlocks);
        if (fit.correlation >= kSameWordCorrelation && fit.blocks.back() < from)
            chosen.push_back(std::move(fit));
    }
    return chosen;
}

// The evidence from `from` on, summed in coarse steps of a few blocks each.
std::vector<double> RepeatedWords::coarse(long from, long steps) const {
    std::vector<double> out(static_cast<size_t>(std::max(0L, steps)));
    for (long i = 0; i < steps; ++i)
        for (long k = 0; k < kCoarseStep; ++k)
            out[size_t(i)] += at(from + i * kCoarseStep + k);
    return out;
}

// A first look through the whole history, in coarse steps and without stretching: the places
// that resemble the word, the likeliest first.
std::vector<RepeatedWords::Fit> RepeatedWords::coarseCandidates(long from, long length) const {
    const long oldest = std::max(0L, pushed_ - kHistoryBlocks);
    const long steps = length / kCoarseStep, places = (from - oldest) / kCoarseStep - steps;
    if (steps < 2 || places < 1)
        return {};
    const std::vector<double> history = coarse(oldest, places + steps), word = coarse(from, steps);
    double wordSum = 0, wordSquares = 0, runSum = 0, runSquares = 0;
    for (long i = 0; i < steps; ++i) {
        wordSum += word[size_t(i)], wordSquares += word[size_t(i)] * word[size_t(i)];
        runSum += history[size_t(i)], runSquares += history[size_t(i)] * history[size_t(i)];
    }
    std::vector<Fit> candidates;
    for (long p = 0; p < places; ++p) {
        double products = 0;
        for (long i = 0; i < steps; ++i)
            products += word[size_t(i)] * history[size_t(p + i)];
        const double c = correlation(double(steps), wordSum, runSum, wordSquares, runSquares, products);
        if (c >= kCoarseCorrelation)
            candidates.push_back({.start = oldest + p * kCoarseStep, .unstretched = 0, .correlation = c, .blocks = {}});
        const double leaving = history[size_t(p)], coming = history[size_t(p + steps)];
        runSum += coming - leaving;
        runSquares += coming * coming - leaving * leaving;
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const Fit& a, const Fit& b) { return a.correlation > b.correlation; });
    return candidates;
}

// Lays the place near `near` under the word, stretched where a hand's elements and gaps fell
// longer or shorter, within a few dots either way: which earlier block lies under each of the
// word's, and how well the two then agree.
RepeatedWords::Fit RepeatedWords::warp(long from, long length, long near, double dotBlocks) const {
    const long steps = length / kCoarseStep;
    const long reach = std::max(2L, std::lround(kStretchDots * dotBlocks / double(kCoarseStep)));
    const long regionFrom = near - reach * kCoarseStep;
    const std::vector<long> under = stretchedPath(standardised(coarse(from, steps)),
                                                  standardised(coarse(regionFrom, steps + 2 * reach)), reach);
    Fit fit{.start = regionFrom + under[0] * kCoarseStep, .unstretched = near, .correlation = -1, .blocks = {}};
    fit.blocks.resize(size_t(length));
    double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
    for (long t = 0; t < length; ++t) {
        const long i = std::min(t / kCoarseStep, steps - 1);
        fit.blocks[size_t(t)] = regionFrom + under[size_t(i)] * kCoarseStep + (t - i * kCoarseStep);
        const double x = at(from + t), y = at(fit.blocks[size_t(t)]);
        sx += x, sy += y, sxx += x * x, syy += y * y, sxy += x * y;
    }
    fit.correlation = correlation(double(length), sx, sy, sxx, syy, sxy);
    return fit;
}

// Dynamic time warping: for each of the word's coarse steps, the region's step under it on the
// path that agrees best, each stretch costing a little. The region reaches `reach` steps
// beyond the word either side.
std::vector<long> RepeatedWords::stretchedPath(const std::vector<double>& word, const std::vector<double>& region,
                                               long reach) {
    const long steps = long(word.size()), width = 2 * reach + 1;
    // score[i][d]: the best path to the word's step i lying over the region's step i + d.
    std::vector<double> score(size_t(steps * width));
    std::vector<signed char> came(size_t(steps * width), 0);
    for (long d = 0; d < width; ++d)
        score[size_t(d)] = word[0] * region[size_t(d)];
    for (long i = 1; i < steps; ++i)
        for (long d = 0; d < width; ++d) {
            // From the step before: the region moved on by one (d stays), two (d + 1) or none.
            const double* before = &score[size_t((i - 1) * width)];
            double best = before[d];
            signed char step = 0;
            if (d > 0 && before[d - 1] - kStretchCost > best)
                best = before[d - 1] - kStretchCost, step = -1;
            if (d + 1 < width && before[d + 1] - kStretchCost > best)
                best = before[d + 1] - kStretchCost, step = 1;
            score[size_t(i * width + d)] = best + word[size_t(i)] * region[size_t(i + d)];
            came[size_t(i * width + d)] = step;
        }
    long d = long(std::max_element(score.end() - width, score.end()) - (score.end() - width));
    std::vector<long> under(static_cast<size_t>(steps));
    for (long i = steps - 1; i >= 0; --i) {
        under[size_t(i)] = i + d;
        d += came[size_t(i * width + d)];
    }
    return under;
}

std::vector<double> RepeatedWords::standardised(std::vector<double> values) {
    double mean = 0, squares = 0;
    for (const double v : values)
        mean += v / double(values.size());
    for (double& v : values)
        v -= mean, squares += v * v;
    const double spread = std::sqrt(squares / double(values.size()));
    for (double& v : values)
        v = spread > 0 ? v / spread : 0;
    return values;
}

// The words most likely in the summed evidence, read at the sender's speed, with where each
// lies.
std::vector<RepeatedWords::Word> RepeatedWords::readWords(const std::vector<double>& evidence, double dotMs,
                                                          double dashMs) const {
    KeyingDecoder decoder;
    decoder.setDot(dotMs / blockMs_);
    MorseReader reader(dotMs, dashMs);
    std::vector<Word> words(1);
    bool down = false;
    int run = 0;
    long lastDownEnded = 0;
    const long total = long(evidence.size()) + decoder.lag() + std::lround(kFlushDots * dotMs / blockMs_);
    for (long i = 0; i < total; ++i) {
        decoder.push(i < long(evidence.size()) ? evidence[size_t(i)] : -1.0);
        const long block = i - decoder.lag();
        if (block < 0)
            continue;
        const bool nowDown = decoder.decidedDown();
        if (nowDown != down) {
            if (down) {
                reader.keyDown(run * blockMs_, false);
                lastDownEnded = block;
            } else {
                reader.keyUpEnded(run * blockMs_);
            }
            down = nowDown;
            run = 0;
        }
        ++run;
        if (down && words.back().first < 0)
            words.back().first = block;
        if (!down)
            for (const QChar c : reader.keyUp(run * blockMs_)) {
                if (c != u' ')
                    words.back().text += c, words.back().last = lastDownEnded;
                else if (!words.back().text.isEmpty())
                    words.push_back({});
                else
                    words.back().first = -1; // keying that made no character is no word's
            }
    }
    return words;
}

// Of the words in the summed evidence, the one that lies most over blocks `wordFrom` to
// `wordTo`: the word as heard, whatever noise ran into it or cut off. None when that one is
// too short to be a call, in time or in characters ("K1A").
QString RepeatedWords::read(const std::vector<double>& evidence, double dotMs, double dashMs, long wordFrom,
                            long wordTo) const {
    const Word* best = nullptr;
    long bestOverlap = 0;
    const std::vector<Word> words = readWords(evidence, dotMs, dashMs);
    for (const Word& word : words) {
        const long overlap = std::min(word.last, wordTo) - std::max(word.first, wordFrom);
        if (!word.text.isEmpty() && overlap > bestOverlap)
            best = &word, bestOverlap = overlap;
    }
    const bool callSized = best && best->text.size() >= kFewestCallCharacters &&
                           double(best->last - best->first) >= kShortestWordDots * dotMs / blockMs_;
    return callSized ? best->text : QString();
}
