#pragma once

// Reads the keying back out of rendered side-tone samples: the tone's envelope, demodulated
// at the known pitch, and the moments it crosses half its full level.
#include "keyer/MorseTiming.h"

#include <QString>

#include <cmath>
#include <complex>
#include <vector>

namespace ToneMeasure {

// Envelope of a tone whose period is `period` samples: the tone mixed down to zero and
// averaged with a triangular window of two periods (two running sums of one period each),
// which removes the mixing product at twice the pitch even while the level ramps, for any
// phase, and keeps a straight ramp centred.
inline std::vector<double> envelope(const std::vector<short>& x, int period) {
    const double w = 2 * M_PI / period;
    const size_t p = size_t(period);
    std::vector<std::complex<double>> once(x.size());
    std::vector<double> e(x.size(), 0.0);
    std::complex<double> first = 0, second = 0;
    for (size_t n = 0; n < x.size(); ++n) {
        first += double(x[n]) * std::polar(1.0, -w * double(n));
        if (n >= p)
            first -= double(x[n - p]) * std::polar(1.0, -w * double(n - p));
        once[n] = first;
        second += first;
        if (n >= p)
            second -= once[n - p];
        if (n + 2 >= 2 * p) // the window spans n - 2p + 2 .. n; its centre is n - p + 1
            e[n - p + 1] = 2.0 * std::abs(second) / double(p * p);
    }
    return e;
}

// Sample positions (with fractions) where the envelope crosses `level`, up or down in turn.
inline std::vector<double> crossings(const std::vector<double>& e, double level) {
    std::vector<double> at;
    bool above = false;
    for (size_t n = 1; n < e.size(); ++n) {
        const bool now = e[n] >= level;
        if (now != above) {
            at.push_back(double(n - 1) + (level - e[n - 1]) / (e[n] - e[n - 1]));
            above = now;
        }
    }
    return at;
}

// The ideal on/off edges of `text` keyed at `wpm`, in samples at `rate` from the first key-down.
inline std::vector<double> idealEdges(const QString& text, double wpm, int rate) {
    const double unit = MorseTiming::unitSeconds(wpm) * rate;
    std::vector<double> edges;
    double units = 0;
    bool down = false;
    for (QChar c : text)
        for (const KeyingSpan& span : MorseTiming::spansFor(c)) {
            if (span.keyDown != down)
                edges.push_back(units * unit);
            down = span.keyDown;
            units += span.units;
        }
    if (down)
        edges.push_back(units * unit);
    return edges;
}

} // namespace ToneMeasure
