#include "CwDemodulator.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kBlockSeconds = 0.002;
constexpr double kFirstDots = 0.6, kSecondDots = 0.4; // the running sums' lengths
constexpr double kFadeWaitDots = 0.35; // past the filters' tail: the tone stays faded so long
constexpr double kFilterDotMs = 35;
// The side filters' distances, in the first sum's nulls, below and above: in a crowded band
// one of them falls between two neighbours.
constexpr double kNoiseOffsetNulls[] = {1.5, 2.5, 3.5};
constexpr double kRetuneShare = 0.15;     // the dot moved this much: the filters follow
constexpr double kHysteresis = 0.1;       // of the threshold, either way
constexpr double kNoiseGain = 0.005;      // per block: the noise over 0.4 s, so that a burst of
                                          // it is not taken for a station
constexpr int kSettlingBlocks = 100;
constexpr double kSettlingGain = 0.1;
constexpr double kKeyedGain = 0.3; // per key-down
constexpr double kPeakDecay = 0.998;     // per block: halves in 0.7 s, as a deep fade
                                         // falls (in a second, more calls were lost)
constexpr double kPeakShare = 0.7;
constexpr double kFadingShare = 0.55;     // of the peak: a fading station's keyed level
constexpr double kFadedShare = 5.0;       // of the noise: a signal, though under the threshold
constexpr double kFadeGain = 0.05;        // per block
constexpr double kGoneSeconds = 2.0;      // of silence: the station has gone
constexpr double kUnheardShare = 2.0;     // of the noise: the keyed level guessed before a signal
constexpr double kOnRatio = 14.0, kOffRatio = 3.0; // keyed power against the noise
constexpr double kCrashShare = 1.0;       // of the threshold, in both side filters at once
constexpr double kEvidenceShare = 0.5;    // a block's: the filter's blocks overlap
constexpr double kMostEvidence = 1;       // a block's at the most, either way: a crash's tail
} // namespace

double CwDemodulator::Filter::push(int first, int second) {
    at = (at + 1) % kLongestSum;
    blocks[size_t(at)] = block;
    block = {};
    std::complex<double> sum{};
    for (int i = 0; i < first; ++i)
        sum += blocks[size_t((at - i + kLongestSum) % kLongestSum)];
    firsts[size_t(at)] = sum;
    sum = {};
    for (int i = 0; i < second; ++i)
        sum += firsts[size_t((at - i + kLongestSum) % kLongestSum)];
    return std::norm(sum);
}

CwDemodulator::CwDemodulator(double sampleRate, double toneHz)
    : rate_(sampleRate), tone_(toneHz),
      blockSamples_(std::max(1, int(std::lround(sampleRate * kBlockSeconds)))),
      filters_{}, repeats_(1000 * kBlockSeconds) {
    for (int i = 0; i < 1 + kSides; ++i)
        filters_.emplace_back(sampleRate, toneHz);
    retune();
}

void CwDemodulator::reset() {
    // Made anew, so that nothing learned from the sound can be left behind.
    *this = CwDemodulator(rate_, tone_);
}

void CwDemodulator::setCarrier(double hz) {
    tone_ = hz;
    retune();
}

void CwDemodulator::retune() {
    // The filters are sized for a dot at about 34 wpm whatever speed is learned: following the
    // speed, a speed learned too slow ran the elements together and taught a slower one yet,
    // one learned too fast let more noise in. A slower sender's elements are longer than the
    // filters: the count of the key over a third of their dot smooths them further.
    const double blockMs = 1000 * kBlockSeconds, dot = reader_.dotMs();
    firstBlocks_ = std::clamp(int(std::lround(kFirstDots * kFilterDotMs / blockMs)), 1, kLongestSum);
    secondBlocks_ = std::clamp(int(std::lround(kSecondDots * kFilterDotMs / blockMs)), 1, kLongestSum);
    fadeWaitBlocks_ = std::max(1, int(std::lround(kFadeWaitDots * dot / blockMs)));
    decoder_.setDot(dot / blockMs);
    filters_[0].mixer.setFrequency(tone_);
    const double null = 1 / (firstBlocks_ * kBlockSeconds);
    for (int i = 0; i < kSides / 2; ++i) {
        filters_[size_t(1 + 2 * i)].mixer.setFrequency(tone_ - kNoiseOffsetNulls[i] * null);
        filters_[size_t(2 + 2 * i)].mixer.setFrequency(tone_ + kNoiseOffsetNulls[i] * null);
    }
}

double CwDemodulator::signalToNoise() const {
    if (!present_)
        return heardSnrDb_;
    if (noisePower_ <= 0 || keyedPower_ <= noisePower_)
        return -99;
    const double bandwidthHz = 1.0 / (firstBlocks_ * kBlockSeconds);
    return 10 * std::log10((keyedPower_ - noisePower_) / noisePower_ * bandwidthHz / 2500);
}

QString CwDemodulator::process(std::span<const float> samples) {
    QString out;
    for (const float sample : samples) {
        const double x = std::isfinite(sample) ? sample : 0.0;
        for (Filter& filter : filters_)
            filter.block += filter.mixer.down(x);
        if (++inBlock_ < blockSamples_)
            continue;
        inBlock_ = 0;
        const double tone = filters_[0].push(firstBlocks_, secondBlocks_);
        std::array<double, kSides> sides{};
        for (int i = 0; i < kSides; ++i)
            sides[size_t(i)] = filters_[size_t(1 + i)].push(firstBlocks_, secondBlocks_);
        follow(tone, sides);
        const double blockMs = 1000 * kBlockSeconds;
        if (!down_) {
            const QString text = reader_.keyUp(run_ * blockMs);
            if (present_)
                out += text;
            followWord(text);
        }
        if (present_ && std::abs(reader_.dotMs() - tunedDotMs_) > kRetuneShare * tunedDotMs_) {
            tunedDotMs_ = reader_.dotMs();
            retune();
        }
    }
    return out;
}

// One block: the levels, whether a signal is heard, and the key.
void CwDemodulator::follow(double tone, const std::array<double, kSides>& sides) {
    const double noise = *std::min_element(sides.begin(), sides.end()); // a crash fills them all
    if (blocksHeard_ < kSettlingBlocks) { // the filters fill: the noise is learned fast
        const double gain = ++blocksHeard_ == 1 ? 1.0 : kSettlingGain;
        for (int i = 0; i < kSides; ++i)
            sideNoise_[size_t(i)] += gain * (sides[size_t(i)] - sideNoise_[size_t(i)]);
        noisePower_ = *std::min_element(sideNoise_.begin(), sideNoise_.end());
        keyedPower_ = kUnheardShare * noisePower_;
        return;
    }
    peakPower_ = std::max(tone, peakPower_ * kPeakDecay);
    // Until a signal is heard its keyed level is not known: the loudest of the last moments
    // stands for it, so that the first elements are parted from the first. Once heard, a
    // station fading away is followed down at once by its loudest of the last moments, where
    // the level learned from whole key-downs would lag by several elements and lose them.
    const double keyed = present_ ? std::min(keyedPower_, std::max(noisePower_, kFadingShare * peakPower_))
                                  : std::max(keyedPower_, kPeakShare * peakPower_);
    const double threshold = 0.5 * (std::sqrt(keyed) + std::sqrt(noisePower_));
    const bool crash = std::sqrt(noise) > kCrashShare * threshold && noise > 4 * noisePower_;
    if (!crash) {
        // Each side's noise on its own, the quietest counting: a side with a neighbour in it
        // holds more.
        for (int i = 0; i < kSides; ++i) {
            double& average = sideNoise_[size_t(i)];
            average += kNoiseGain * (std::min(sides[size_t(i)], 4 * average) - average);
        }
        noisePower_ = *std::min_element(sideNoise_.begin(), sideNoise_.end());
    }
    const double level = std::sqrt(tone);
    const bool aboveThreshold = level > threshold * (down_ ? 1 - kHysteresis : 1 + kHysteresis);
    // A fading signal: the tone clearly stands out of the noise yet stays under the threshold,
    // which the louder key-downs before set, for longer than an element's tail lasts in the
    // filters. The keyed level comes down to it.
    fadedBlocks_ = !aboveThreshold && !crash && tone > kFadedShare * noisePower_ ? fadedBlocks_ + 1 : 0;
    if (fadedBlocks_ > firstBlocks_ + secondBlocks_ + fadeWaitBlocks_)
        keyedPower_ += kFadeGain * (tone - keyedPower_);
    if (present_ && !down_ && run_ * kBlockSeconds > kGoneSeconds) {
        present_ = false; // a long silence: the station has stopped, or faded out
        keyedPower_ = kUnheardShare * noisePower_;
    }
    const double ratio = keyedPower_ / noisePower_;
    present_ = present_ ? ratio > kOffRatio : ratio > kOnRatio;
    if (present_)
        heardSnrDb_ = signalToNoise();

    decideKey(tone, keyed, crash);
}

// The key, as the decoder has it a little after the fact: counted in runs for the reader,
// and its key-downs' level learned.
void CwDemodulator::decideKey(double tone, double keyed, bool crash) {
    const double evidence = crash ? 0.0 : keyDownEvidence(tone, keyed);
    decoder_.push(evidence);
    repeats_.push(evidence);
    Heard& now = heard_[size_t(blocks_++ % heard_.size())];
    now = {tone, crash};
    if (blocks_ <= decoder_.lag())
        return;
    const Heard& then = heard_[size_t((blocks_ - 1 - decoder_.lag()) % long(heard_.size()))];
    const bool down = decoder_.decidedDown();
    if (down_ && !then.crash) {
        downPower_ += then.tone;
        ++downBlocks_;
    }
    ++run_;
    if (down == down_)
        return;
    const int ended = run_ - 1;
    const double blockMs = 1000 * kBlockSeconds;
    if (!down_)
        reader_.keyUpEnded(ended * blockMs);
    if (down_) {
        reader_.keyDown(ended * blockMs, present_);
        // The keyed level: the mean over whole key-downs, which noise alone keeps near its
        // own level however often it crosses the threshold.
        if (downBlocks_ > 0)
            keyedPower_ += kKeyedGain * (downPower_ / downBlocks_ - keyedPower_);
        downPower_ = 0;
        downBlocks_ = 0;
    }
    const long decidedBlock = blocks_ - 1 - decoder_.lag();
    if (down && !inWord_) {
        inWord_ = true;
        wordFirst_ = decidedBlock;
    }
    if (!down)
        lastKeyUp_ = decidedBlock;
    down_ = down;
    run_ = 1;
}

// The word going on, as printed; where the reader ends it, it is heard again.
void CwDemodulator::followWord(const QString& text) {
    const qsizetype space = text.indexOf(u' ');
    if (present_)
        wordHeard_ += space < 0 ? text : text.left(space);
    if (space < 0)
        return;
    wordEnded();
    wordHeard_ = present_ ? text.mid(space + 1).trimmed() : QString();
}

// The reader has ended a word: heard again with its earlier renditions, if it was sent before.
void CwDemodulator::wordEnded() {
    if (inWord_ && present_) {
        const RepeatedWords::Reading again =
            repeats_.wordEnded(wordFirst_, lastKeyUp_, reader_.dotMs(), reader_.dashMs());
        if (!again.together.isEmpty())
            repeatedWords_.push_back({again, wordHeard_});
    }
    inWord_ = false;
}

// How much likelier the tone's level is with the key down than up: the levels spread by the
// noise about the keyed level and about the noise's own, the evidence growing with the
// distance from their middle. The filter's blocks overlap, so each counts for a share of its
// own, and none for much: a crash's tail is not a key-down.
double CwDemodulator::keyDownEvidence(double tone, double keyed) const {
    const double noise = std::max(noisePower_, 1e-30);
    const double up = std::sqrt(noise), down = std::sqrt(std::max(keyed, noise));
    const double evidence = (std::sqrt(tone) - 0.5 * (up + down)) * (down - up) / (0.5 * noise);
    return std::clamp(kEvidenceShare * evidence, -kMostEvidence, kMostEvidence);
}
