#include "RttyDemodulator.h"

#include <cmath>

namespace {
constexpr int kFrameBits = 7; // start, five data bits, stop
} // namespace

RttyDemodulator::RttyDemodulator(double sampleRate, double carrierHz, double baud, double shiftHz,
                                 bool reverse)
    : bit_(sampleRate / baud), bitSamples_(std::max(1, int(std::lround(sampleRate / baud)))) {
    const double upper = carrierHz + shiftHz / 2, lower = carrierHz - shiftHz / 2;
    mark_.step = 2 * M_PI * (reverse ? lower : upper) / sampleRate;
    space_.step = 2 * M_PI * (reverse ? upper : lower) / sampleRate;
}

double RttyDemodulator::ToneFilter::push(double x, int length) {
    const std::complex<double> mixed = x * std::polar(1.0, -phase);
    phase = std::fmod(phase + step, 2 * M_PI);
    window.push_back(mixed);
    sum += mixed;
    if (int(window.size()) > length) {
        sum -= window.front();
        window.pop_front();
    }
    return std::norm(sum);
}

double RttyDemodulator::levelAt(qint64 sample) const {
    const qint64 at = sample - first_;
    return at >= 0 && at < qint64(levels_.size()) ? levels_[size_t(at)] : 0.0;
}

QString RttyDemodulator::process(const float* samples, size_t count) {
    QString out;
    for (size_t n = 0; n < count; ++n) {
        const double x = std::isfinite(samples[n]) ? samples[n] : 0.0;
        levels_.push_back(mark_.push(x, bitSamples_) - space_.push(x, bitSamples_));
        ++now_;
        hunt(out);
    }
    // Keep about two frames of history.
    const auto keep = qint64(3 * kFrameBits * bit_);
    if (qint64(levels_.size()) > 2 * keep) {
        const qint64 drop = qint64(levels_.size()) - keep;
        levels_.erase(levels_.begin(), levels_.begin() + drop);
        first_ += drop;
    }
    return out;
}

void RttyDemodulator::hunt(QString& out) {
    const qint64 latest = now_ - 1;
    if (expected_ >= 0) {
        // Running text: read the next character where it should be.
        if (latest < expected_ + (kFrameBits + 1) * bit_)
            return;
        const double start = expected_;
        expected_ = -1;
        // In running text a stop bit lost in noise does not end the text: the start bit does.
        if (readCharacter(start, 0.1, false, out))
            return;
        huntFrom_ = std::llround(start - bit_ / 2); // the text paused: look for an edge again
        pendingEdge_ = -1;
        for (qint64 s = std::max(huntFrom_, first_ + 1); s <= latest; ++s)
            if (levelAt(s - 1) > 0 && levelAt(s) <= 0) {
                pendingEdge_ = s;
                break;
            }
        wasMark_ = levelAt(latest) > 0;
        return;
    }
    const bool isMark = levelAt(latest) > 0;
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
    if (readCharacter(double(edge) - bit_ / 2, 0.5, true, out))
        return;
    huntFrom_ = edge + 1; // not a character: look for the next edge
    // The frame took a while to arrive: look back for an edge since then.
    for (qint64 s = std::max(huntFrom_, first_ + 1); s <= latest; ++s) {
        if (levelAt(s - 1) > 0 && levelAt(s) <= 0) {
            pendingEdge_ = s;
            return;
        }
    }
}

bool RttyDemodulator::readCharacter(double coarse, double searchBits, bool checkStop, QString& out) {
    // Search around the coarse start for the timing at which the seven bit decisions are the
    // most certain.
    double bestStart = coarse, bestScore = -1;
    const int step = std::max(1, bitSamples_ / 32);
    for (double start = coarse - searchBits * bit_; start <= coarse + searchBits * bit_; start += step) {
        double score = 0;
        for (int k = 0; k < kFrameBits; ++k)
            score += std::fabs(levelAt(std::llround(start + (k + 1) * bit_)));
        if (score > bestScore) {
            bestScore = score;
            bestStart = start;
        }
    }
    auto bitAt = [&](int k) { return levelAt(std::llround(bestStart + (k + 1) * bit_)) > 0; };
    if (bitAt(0) || (checkStop && !bitAt(kFrameBits - 1)))
        return false; // no start bit, or no stop bit: noise
    quint8 code = 0;
    for (int k = 1; k <= 5; ++k)
        if (bitAt(k))
            code |= quint8(1u << (k - 1));
    out += baudot_.push(code);
    // The next start cannot come before the middle of this stop bit; running text puts it
    // right after the stop bit and a half.
    huntFrom_ = std::llround(bestStart + (kFrameBits - 0.5) * bit_);
    expected_ = bestStart + (kFrameBits + 0.5) * bit_;
    return true;
}
