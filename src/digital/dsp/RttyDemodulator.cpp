#include "RttyDemodulator.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kFrameBits = 7;           // start, five data, stop
constexpr double kFrameLength = 7.5;    // bits, with one and a half stop bits
constexpr double kStopChoices[3] = {-0.5, 0.0, 0.5}; // one, one and a half, two stop bits
constexpr double kStopScoreDecay = 0.7; // per character
constexpr double kClockGain = 0.15;     // of the timing error measured on a character
constexpr double kPauseLevel = 0.5;     // a start bit this far towards mark: the sender paused
constexpr double kAmplitudeGain = 0.05;
constexpr double kAfcGain = 0.05;       // of the measured error, per bit
constexpr double kAfcFloor = 0.25;      // of the usual bit level: less is too little to follow
constexpr double kAfcMinSnrDb = 6;
constexpr int kAfcSettleBits = 28;       // bits measured before the signal to noise counts for it
constexpr double kSnrGain = 0.02;       // per bit
constexpr double kPhasePause = 1.0;     // seconds of mark after which a tone's phase is unknown
constexpr double kOnsetRatio = 3;       // a frame this much above the usual: a new, stronger signal
constexpr int kMarkLearnt = 8;          // bits of the mark before a first character read for its phase
} // namespace

RttyDemodulator::RttyDemodulator(double sampleRate, double carrierHz, double baud, double shiftHz,
                                 bool reverse)
    : rate_(sampleRate), baud_(baud), shift_(shiftHz), reverse_(reverse), carrier_(carrierHz),
      bit_(sampleRate / baud), bitSamples_(std::max(2, int(std::lround(sampleRate / baud)))),
      mark_(sampleRate), space_(sampleRate),
      phases_(2 * M_PI * (reverse ? -shiftHz : shiftHz) / sampleRate, sampleRate / baud) {
    tune();
}

void RttyDemodulator::tune() {
    const double centre = carrier_ + afcOffset_;
    const double upper = centre + shift_ / 2, lower = centre - shift_ / 2;
    mark_.mixer.setFrequency(reverse_ ? lower : upper);
    space_.mixer.setFrequency(reverse_ ? upper : lower);
}

void RttyDemodulator::reset() {
    // Made anew, so that nothing learned from the sound can be left behind.
    const bool afc = afc_;
    *this = RttyDemodulator(rate_, carrier_, baud_, shift_, reverse_);
    afc_ = afc;
}

void RttyDemodulator::setCarrier(double hz) {
    carrier_ = hz;
    afcOffset_ = 0;
    tune();
}

double RttyDemodulator::ToneFilter::push(double x, int length) {
    const std::complex<double> mixed = mixer.down(x);
    window.push_back(mixed);
    sum += mixed;
    laterHalf += mixed;
    const size_t half = size_t(length / 2);
    if (window.size() > half)
        laterHalf -= window[window.size() - 1 - half];
    if (int(window.size()) > length) {
        sum -= window.front();
        window.pop_front();
    }
    return std::norm(sum);
}

void RttyDemodulator::followFrequency() {
    // The later half of a bit turns against the earlier by 2 pi x error x half a bit. The
    // measurement counts as far as the halves hold one steady tone (noise turns every way and
    // mostly cancels), and not at all when there is next to nothing to hear or only noise
    // (two noise-filled filters differ by about 3 dB; a signal worth following by more).
    const double energy = bitEnergy_ / bitSamples_;
    const double certainty = energy > 0 ? std::min(1.0, 4 * std::abs(frequencyTurn_) / bitEnergy_) : 0.0;
    if (energy > kAfcFloor * amplitude_ && certainty > 0 && snrDb_ > kAfcMinSnrDb && signalBits_ >= kAfcSettleBits) {
        const double error = std::arg(frequencyTurn_) * rate_ / (2 * M_PI * (bitSamples_ / 2));
        afcOffset_ = std::clamp(afcOffset_ + kAfcGain * certainty * error, -kAfcRangeHz, kAfcRangeHz);
        tune();
    }
    frequencyTurn_ = {};
    bitEnergy_ = 0;
}

double RttyDemodulator::levelAt(double sample) const {
    const qint64 at = std::llround(sample) - first_;
    return at >= 0 && at < qint64(levels_.size()) ? levels_[size_t(at)] : 0.0;
}

std::complex<float> RttyDemodulator::sumAt(const std::vector<std::complex<float>>& sums, double sample) const {
    const qint64 at = std::llround(sample) - first_;
    return at >= 0 && at < qint64(sums.size()) ? sums[size_t(at)] : std::complex<float>{};
}

double RttyDemodulator::totalAt(double sample) const {
    const qint64 at = std::llround(sample) - first_;
    return at >= 0 && at < qint64(totals_.size()) ? totals_[size_t(at)] : 0.0;
}

QString RttyDemodulator::process(std::span<const float> samples) {
    QString out;
    for (const float sample : samples) {
        const double x = std::isfinite(sample) ? sample : 0.0;
        const double mark = mark_.push(x, bitSamples_), space = space_.push(x, bitSamples_);
        levels_.push_back(mark - space);
        totals_.push_back(mark + space);
        markSums_.emplace_back(mark_.sum);
        spaceSums_.emplace_back(space_.sum);
        ++now_;
        if (afc_ && expected_ >= 0) { // only while a signal is being followed
            frequencyTurn_ += mark_.turn() + space_.turn();
            bitEnergy_ += mark + space;
            if (now_ % bitSamples_ == 0)
                followFrequency();
        }
        if (expected_ >= 0)
            follow(out);
        else
            hunt(out);
        forgetOldLevels();
    }
    return out;
}

void RttyDemodulator::forgetOldLevels() {
    // A few frames of history are all the framing looks back on, however much sound comes in
    // at once.
    const auto keep = qint64(3 * kFrameBits * bit_);
    if (qint64(levels_.size()) <= 2 * keep)
        return;
    const qint64 drop = qint64(levels_.size()) - keep;
    levels_.erase(levels_.begin(), levels_.begin() + drop);
    totals_.erase(totals_.begin(), totals_.begin() + drop);
    markSums_.erase(markSums_.begin(), markSums_.begin() + drop);
    spaceSums_.erase(spaceSums_.begin(), spaceSums_.begin() + drop);
    first_ += drop;
}

void RttyDemodulator::lookForEdgeFrom(qint64 from) {
    huntFrom_ = from;
    pendingEdge_ = -1;
    const qint64 latest = now_ - 1;
    for (qint64 s = std::max(huntFrom_, first_ + 1); s <= latest; ++s)
        if (levelAt(double(s - 1)) > 0 && levelAt(double(s)) <= 0) {
            pendingEdge_ = s;
            break;
        }
    wasMark_ = levelAt(double(latest)) > 0;
}

void RttyDemodulator::hunt(QString& out) {
    const qint64 latest = now_ - 1;
    const bool isMark = levelAt(double(latest)) > 0;
    if (pendingEdge_ < 0) {
        // A mark-to-space change: the filters are half way into a start bit.
        if (wasMark_ && !isMark && latest >= huntFrom_)
            pendingEdge_ = latest;
        wasMark_ = isMark;
        return;
    }
    wasMark_ = isMark;
    // Wait for the whole frame, and half a bit more for the timing search.
    if (latest < pendingEdge_ + qint64((kFrameBits + 1) * bit_))
        return;
    const qint64 edge = pendingEdge_;
    pendingEdge_ = -1;
    // The start bit began about half a bit before the edge showed.
    if (!readFirstCharacter(double(edge) - bit_ / 2, out))
        lookForEdgeFrom(edge + 1); // not a character: the next edge since then
}

bool RttyDemodulator::readFirstCharacter(double coarse, QString& out) {
    // Search around the coarse start for the timing at which the seven bit decisions are the
    // most certain.
    double bestStart = coarse, bestScore = -1;
    const int step = std::max(1, bitSamples_ / 32);
    for (double start = coarse - bit_ / 2; start <= coarse + bit_ / 2; start += step) {
        double score = 0;
        for (int k = 0; k < kFrameBits; ++k)
            score += std::fabs(levelAt(start + (k + 1) * bit_));
        if (score > bestScore) {
            bestScore = score;
            bestStart = start;
        }
    }
    if (levelAt(bestStart + bit_) > 0 || levelAt(bestStart + kFrameBits * bit_) <= 0)
        return false;
    if (amplitude_ <= 0)
        amplitude_ = bestScore / kFrameBits;
    // One and a half stop bits until the sender shows otherwise: a small head start, in the
    // signal's own scale.
    stopScore_ = {0, 0.3 * amplitude_, 0};
    decode(bestStart, out, true);
    expected_ = bestStart + kFrameLength * bit_;
    return true;
}

void RttyDemodulator::follow(QString& out) {
    // Wait until the latest frame the clock allows, with its timing samples, has arrived.
    const double latest = double(now_ - 1);
    if (latest < expected_ + (kFrameBits + 1) * bit_)
        return;
    // Where this frame starts: the clock's place, moved by the stop length the sender uses.
    size_t choice = 0;
    for (size_t i = 0; i < 3; ++i) {
        const double start = expected_ + kStopChoices[i] * bit_;
        const double edge = levelAt(start) - levelAt(start + bit_); // mark, then the start bit
        stopScore_[i] = kStopScoreDecay * stopScore_[i] + edge;
        if (stopScore_[i] > stopScore_[choice])
            choice = i;
    }
    const double start = expected_ + kStopChoices[choice] * bit_;
    if (startsAfresh(start)) {
        // A signal far stronger than what the clock followed so far (noise, most often) has
        // begun: time it from its own start edge, and learn its levels anew.
        amplitude_ = 0;
        signalBits_ = 0;
        expected_ = -1;
        lookForEdgeFrom(std::llround(start - bit_));
        return;
    }
    if (levelAt(start + bit_) > kPauseLevel * amplitude_) {
        expected_ = -1; // the sender paused: look for the next start edge
        lookForEdgeFrom(std::llround(start - bit_ / 2));
        return;
    }
    decode(start, out);
    const double correction = -kClockGain * timingError(start) * bit_;
    timingMs_ = (kStopChoices[choice] * bit_ + correction) / rate_ * 1000;
    expected_ = start + correction + kFrameLength * bit_;
}

bool RttyDemodulator::startsAfresh(double start) const {
    double size = 0;
    for (int k = 0; k < kFrameBits; ++k)
        size += std::fabs(levelAt(start + (k + 1) * bit_));
    return amplitude_ > 0 && size / kFrameBits > kOnsetRatio * amplitude_;
}

void RttyDemodulator::decode(double start, QString& out, bool first) {
    // The tones' phases carry over from the last frame unless the sender paused for long.
    phases_.setLevels(std::sqrt(std::max(0.0, signal_)), noise_);
    if (first || start - phasesUntil_ > kPhasePause * rate_)
        learnMarkBefore(start);
    else if (start > phasesUntil_)
        phases_.markFor(start - phasesUntil_);
    quint8 code = 0;
    double size = 0;
    for (int k = 0; k < kFrameBits; ++k) {
        const double end = start + (k + 1) * bit_;
        const double level = levelAt(end);
        measureNoise(level, totalAt(end));
        size += std::fabs(level);
        const int known = k == 0 ? 0 : k == kFrameBits - 1 ? 1 : -1;
        const bool mark = phases_.bit(sumAt(markSums_, end), sumAt(spaceSums_, end), bit_, known);
        if (k >= 1 && k <= 5 && mark)
            code |= quint8(1u << (k - 1));
    }
    phasesUntil_ = start + kFrameBits * bit_;
    amplitude_ += kAmplitudeGain * (size / kFrameBits - amplitude_);
    out += baudot_.push(code);
    huntFrom_ = std::llround(start + (kFrameBits - 0.5) * bit_);
}

void RttyDemodulator::learnMarkBefore(double start) {
    // A transmission begins with a steady mark: the bits of it before the first character
    // give the mark tone's phase from the start.
    phases_.forget();
    int bits = 0;
    while (bits < kMarkLearnt && levelAt(start - bits * bit_) > 0 && start - (bits + 1) * bit_ >= double(first_))
        ++bits;
    for (int k = bits - 1; k >= 0; --k) {
        const double end = start - k * bit_;
        phases_.bit(sumAt(markSums_, end), sumAt(spaceSums_, end), bit_, 1);
    }
}

void RttyDemodulator::measureNoise(double level, double total) {
    // At the end of a bit the filter of the tone sent holds signal and noise, the other noise.
    const double sent = (total + std::fabs(level)) / 2, other = (total - std::fabs(level)) / 2;
    // Averages over all bits so far until there are enough for the running ones. A new
    // signal is measured afresh; the noise under it was there before it.
    signal_ += std::max(kSnrGain, 1.0 / ++signalBits_) * (sent - other - signal_);
    noise_ += std::max(kSnrGain, 1.0 / ++noiseBits_) * (other - noise_);
    snrDb_ = 10 * std::log10(std::max(1e-12, signal_) / std::max(1e-12, noise_));
}

double RttyDemodulator::timingError(double start) const {
    // Half way between two bits that differ, the one-bit filter holds half of each: nothing,
    // when the timing is right. Late by a fraction d of a bit, it holds d more of the second
    // bit, so the level there is 2 d times the second bit's level.
    double sum = 0;
    int changes = 0;
    for (int k = 0; k + 1 < kFrameBits; ++k) {
        const double before = levelAt(start + (k + 1) * bit_);
        const double after = levelAt(start + (k + 2) * bit_);
        if ((before > 0) == (after > 0))
            continue;
        const double middle = levelAt(start + (k + 1.5) * bit_);
        sum += middle / (2 * (after > 0 ? amplitude_ : -amplitude_));
        ++changes;
    }
    return changes > 0 && amplitude_ > 0 ? std::clamp(sum / changes, -0.5, 0.5) : 0.0;
}
