#include "SignalFinder.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kFftSize = 4096;        // about 2 Hz a bin at 8 kHz
constexpr double kAverageGain = 0.15; // per update: about 1.5 s to follow a new signal
constexpr double kStepHz = 1.0;       // where carriers are tried
constexpr double kBalance = 4.0;      // how much more one side of a PSK signal may hold
} // namespace

SignalFinder::Shape SignalFinder::pskShape(double baud) {
    return {{0.0}, 0.6 * baud, 1.4 * baud, true, 0.3 * baud};
}

SignalFinder::Shape SignalFinder::rttyShape(double baud, double shiftHz) {
    // A carrier is sought only half a baud either side: a weak station between two strong ones
    // must not lose to their skirts; the stronger of two found too close is kept later on.
    return {{-shiftHz / 2, shiftHz / 2}, 0.7 * baud, shiftHz + 1.5 * baud, false, 0.5 * baud};
}

SignalFinder::Shape SignalFinder::cwShape() {
    // One tone, its keying close about it: two stations 60 Hz apart are two, and a carrier is
    // the highest point within 20 Hz; a peak within 150 Hz of a station and 15 dB under it is
    // its keying's skirt, not a station of its own.
    return {{0.0}, 10, 40, false, 20, 150, 15};
}

SignalFinder::SignalFinder(double sampleRate)
    : spectrum_(sampleRate, kFftSize, int(std::lround(sampleRate * kUpdateSeconds))),
      average_(kFftSize / 2 + 1, 0.0) {}

bool SignalFinder::push(std::span<const float> samples) {
    if (!spectrum_.push(samples.data(), samples.size()))
        return false;
    const std::vector<float>& db = spectrum_.decibels();
    for (size_t k = 0; k < average_.size(); ++k) {
        const double power = std::pow(10.0, db[k] / 10.0);
        average_[k] = primed_ ? average_[k] + kAverageGain * (power - average_[k]) : power;
    }
    primed_ = true;
    return true;
}

double SignalFinder::noisePerBin() const {
    const double binHz = spectrum_.binHz();
    std::vector<double> band(average_.begin() + long(kBandLowHz / binHz),
                             average_.begin() + long(kBandHighHz / binHz));
    std::nth_element(band.begin(), band.begin() + long(band.size() / 2), band.end());
    return band[band.size() / 2] / std::log(2.0); // the median of noise power is ln 2 of its mean
}

// One tone's power above the noise, on either side of its centre and in the middle.
SignalFinder::TonePower SignalFinder::toneAround(double hz, const Shape& shape,
                                                 double noise) const {
    const double binHz = spectrum_.binHz();
    const double centre = hz / binHz;
    const long from = std::max(0L, long(std::ceil(centre - shape.toneHalfWidthHz / binHz)));
    const long to =
        std::min(long(average_.size()) - 1, long(centre + shape.toneHalfWidthHz / binHz));
    const double gap = shape.symmetric ? 0.25 * shape.toneHalfWidthHz / binHz : 0;
    TonePower tone;
    tone.bins = double(to - from + 1);
    tone.middleBins = 2 * gap;
    for (long k = from; k <= to; ++k) {
        const double power = average_[size_t(k)] - noise;
        (double(k) < centre - gap   ? tone.below
         : double(k) > centre + gap ? tone.above
                                    : tone.middle) += power;
        tone.heard += std::max(power, 0.0); // the noise would pull the centre to the middle
        tone.moment += std::max(power, 0.0) * double(k) * binHz;
    }
    return tone;
}

// How strongly a signal of the shape stands with its carrier at `hz`, and the power-weighted
// carrier. PSK: both sides of the carrier must hold about the same, more than its middle does
// (else it is one idle tone of a signal, or between two signals); lopsided power counts for
// less. RTTY: mark and space must both hold power (a lone tone is some other signal's mark).
double SignalFinder::powerAround(double hz, const Shape& shape, double noise,
                                 double* weightedHz) const {
    double heard = 0, moment = 0, counted = 0, weakest = 0, strongest = 0;
    for (double offset : shape.toneOffsetsHz) {
        const TonePower tone = toneAround(hz + offset, shape, noise);
        heard += tone.heard;
        moment += tone.moment - tone.heard * offset;
        const double low = std::min(tone.below, tone.above),
                     high = std::max(tone.below, tone.above);
        if (!shape.symmetric)
            counted += tone.below + tone.above;
        else if (low > 0 && high < kBalance * low && tone.middle < tone.below + tone.above)
            counted += 2 * low * tone.bins / (tone.bins - tone.middleBins) * low / high;
        const double whole = tone.below + tone.above + tone.middle;
        weakest = offset == shape.toneOffsetsHz.front() ? whole : std::min(weakest, whole);
        strongest = std::max(strongest, whole);
    }
    if (weightedHz)
        *weightedHz = heard > 0 ? moment / heard : hz;
    if (!shape.symmetric)
        counted = weakest <= 0 ? 0 : counted * std::min(1.0, kBalance * weakest / strongest);
    return counted;
}

// The S/N in 2500 Hz the operator reads: all the power of the signal's tones above the noise,
// out to where a neighbour's could begin.
double SignalFinder::snrAt(double hz, const Shape& shape, double noise) const {
    const double binHz = spectrum_.binHz();
    const double reach = shape.spacingHz / 2;
    double above = 0;
    for (double offset : shape.toneOffsetsHz) {
        const double halfWidth = std::min(reach, 2 * shape.toneHalfWidthHz);
        const long from = std::max(0L, long(std::ceil((hz + offset - halfWidth) / binHz)));
        const long to =
            std::min(long(average_.size()) - 1, long((hz + offset + halfWidth) / binHz));
        for (long k = from; k <= to; ++k)
            above += average_[size_t(k)] - noise;
    }
    return 10 * std::log10(std::max(above, 1e-30) / (noise * 2500 / binHz));
}

std::vector<SignalFinder::Found> SignalFinder::find(const Shape& shape, double minSnrDb) const {
    if (!primed_)
        return {};
    const double binHz = spectrum_.binHz();
    const double noise = noisePerBin();
    const double lowest = kBandLowHz - shape.toneOffsetsHz.front() + shape.toneHalfWidthHz;
    const double highest = kBandHighHz - shape.toneOffsetsHz.back() - shape.toneHalfWidthHz;
    // The power above the noise everywhere a carrier could be.
    std::vector<double> excess;
    for (double hz = lowest; hz <= highest; hz += kStepHz)
        excess.push_back(powerAround(hz, shape, noise, nullptr));
    std::vector<Found> found;
    const long reach = long(shape.peakReachHz / kStepHz);
    for (long i = 0; i < long(excess.size()); ++i) {
        const double snr =
            10 * std::log10(std::max(excess[size_t(i)], 1e-30) / (noise * 2500 / binHz));
        if (snr < minSnrDb)
            continue;
        bool highest = true; // the strongest within the shape's reach on either side
        for (long j = std::max(0L, i - reach);
             j <= std::min(long(excess.size()) - 1, i + reach) && highest; ++j)
            highest = excess[size_t(j)] < excess[size_t(i)] ||
                      (excess[size_t(j)] == excess[size_t(i)] && j >= i);
        if (!highest)
            continue;
        double centre = 0;
        powerAround(lowest + double(i) * kStepHz, shape, noise, &centre);
        found.push_back({centre, snrAt(centre, shape, noise)});
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.snrDb > b.snrDb; });
    std::vector<Found> apart; // two closer than the spacing are one signal: the stronger
    for (const Found& f : found)
        if (std::none_of(apart.begin(), apart.end(), [&](const Found& a) {
                const double distance = std::abs(a.hz - f.hz);
                return distance < shape.spacingHz ||
                       (distance < shape.skirtReachHz && a.snrDb - f.snrDb > shape.skirtBelowDb);
            }))
            apart.push_back(f);
    return apart;
}
