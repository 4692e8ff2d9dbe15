#pragma once

#include <QString>
#include <vector>

// Hears a station's repeated words together, as an operator who missed a call listens for it
// again: a contest station sends its call twice ("CQ TEST DL1ABC DL1ABC") and once more after
// "TU". Each block's key-down evidence (a log-likelihood) is kept for half a minute. When a
// word as long as a call ends, the places in what was heard before where the same keying
// stands are looked for (wherever the noise put the word gaps then), and where one fits
// well enough the evidence of both is added up: the noise of each rendition is its own, the
// keying is the same, so two renditions are heard 3 dB better than one, three 4.8 dB. The sum
// is read again, at the sender's speed, into the word: summed beyond the word as heard, so
// that the word gaps either side are read from all renditions, not from this one's noise.
//
// A hand's elements fall differently each time: its renditions are stretched over each other
// first, and add up less than a machine's.
class RepeatedWords {
public:
    static constexpr long kHistoryBlocks = 16384;
    // How well another place's evidence must agree with the word's: to be looked at closely
    // (unstretched: a hand's elements drift apart over a word, and at 0.5 its renditions
    // were passed over), and to be the word again (stretched over it).
    static constexpr double kCoarseCorrelation = 0.3, kSameWordCorrelation = 0.75;
    static constexpr int kMostRenditions = 3;
    // Words this long (in dots, with the gaps inside) may be calls: "K1A" to "VE3ABC/QRP".
    static constexpr double kShortestWordDots = 30, kLongestWordDots = 140;

    // A word read again: from all its renditions together, and from the earlier ones alone
    // (whose noise is not this rendition's: a second decoding of its own).
    struct Reading {
        QString together;
        QString earlier;
    };

    explicit RepeatedWords(double blockMs) : blockMs_(blockMs) {}

    // One block's evidence that the key is down (the decoder's input), block after block.
    void push(double evidence);
    // A word ended: its first key-down began at block `first`, its last ended before block
    // `end` (numbered as pushed, from 0). `dotMs` and `dashMs`: the sender's elements.
    // Returns the word read from it together with its earlier renditions, and from those alone
    // when there are two; empty when it was not heard before (or is too short or long to be a
    // call).
    Reading wordEnded(long first, long end, double dotMs, double dashMs);
    void reset() { *this = RepeatedWords(blockMs_); }

private:
    struct Fit {
        long start = 0; // of the earlier rendition's span
        long unstretched = 0; // where the span starts laid under the word as it stands
        double correlation = -1;
        std::vector<long> blocks; // the earlier block under each of the word's
        // Under the word's block `t`, and beyond its ends as laid at them.
        long under(long t) const {
            const long last = long(blocks.size()) - 1;
            return t < 0 ? blocks.front() + t : t > last ? blocks.back() + (t - last) : blocks[size_t(t)];
        }
    };
    double at(long block) const;
    std::vector<double> coarse(long from, long steps) const;
    static std::vector<double> standardised(std::vector<double> values);
    std::vector<Fit> earlierRenditions(long from, long length, double dotBlocks) const;
    std::vector<Fit> coarseCandidates(long from, long length) const;
    Fit warp(long from, long length, long near, double dotBlocks) const;
    static std::vector<long> stretchedPath(const std::vector<double>& word, const std::vector<double>& region,
                                           long reach);
    struct Word {
        QString text;
        long first = -1, last = -1; // blocks: its first key-down began, its last ended
    };
    std::vector<Word> readWords(const std::vector<double>& evidence, double dotMs, double dashMs) const;
    QString read(const std::vector<double>& evidence, double dotMs, double dashMs, long wordFrom,
                 long wordTo) const;

    double blockMs_;
    std::vector<float> evidence_ = std::vector<float>(size_t(kHistoryBlocks));
    long pushed_ = 0;
};
