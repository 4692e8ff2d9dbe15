#pragma once

// Morse as stations send it, for the tests and benches: a sender's fist (speed, dash length,
// how unevenly a hand keys), the key-down times of a text, and their tone added to a band,
// with fading and static crashes if asked. S/N is the keyed carrier's power against the noise
// in 2500 Hz.
#include <QHash>
#include <QString>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace MorseAudio {

struct Fist {
    double wpm = 25;
    double dashDots = 3;   // a machine's 3, a hand's 2.5 to 4
    double jitter = 0;     // each element and gap off by up to this share, at random
    unsigned seed = 1;
};

inline QString elementsOf(QChar c) {
    static const QHash<QChar, QString> codes = [] {
        const char* const table[][2] = {
            {"A", ".-"},    {"B", "-..."},  {"C", "-.-."},  {"D", "-.."},   {"E", "."},
            {"F", "..-."},  {"G", "--."},   {"H", "...."},  {"I", ".."},    {"J", ".---"},
            {"K", "-.-"},   {"L", ".-.."},  {"M", "--"},    {"N", "-."},    {"O", "---"},
            {"P", ".--."},  {"Q", "--.-"},  {"R", ".-."},   {"S", "..."},   {"T", "-"},
            {"U", "..-"},   {"V", "...-"},  {"W", ".--"},   {"X", "-..-"},  {"Y", "-.--"},
            {"Z", "--.."},  {"0", "-----"}, {"1", ".----"}, {"2", "..---"}, {"3", "...--"},
            {"4", "....-"}, {"5", "....."}, {"6", "-...."}, {"7", "--..."}, {"8", "---.."},
            {"9", "----."}, {"/", "-..-."}, {"?", "..--.."}, {"=", "-...-"}};
        QHash<QChar, QString> map;
        for (const auto& row : table)
            map.insert(QChar::fromLatin1(row[0][0]), QString::fromLatin1(row[1]));
        return map;
    }();
    return codes.value(c.toUpper());
}

// The key-down stretches of `text` in seconds from 0, and (in `end`) when its last gap ends.
inline std::vector<std::pair<double, double>> keying(const QString& text, const Fist& fist,
                                                     double* end = nullptr) {
    std::mt19937 random(fist.seed);
    std::uniform_real_distribution<double> uneven(-fist.jitter, fist.jitter);
    const double dot = 1.2 / fist.wpm;
    auto length = [&](double dots) { return dots * dot * (1 + uneven(random)); };
    std::vector<std::pair<double, double>> down;
    double t = 0;
    for (QChar c : text) {
        if (c == u' ') {
            t += length(4); // with the 3 after the character before: 7
            continue;
        }
        const QString elements = elementsOf(c);
        for (qsizetype i = 0; i < elements.size(); ++i) {
            const double on = length(elements[i] == u'-' ? fist.dashDots : 1);
            down.push_back({t, t + on});
            t += on + (i + 1 < elements.size() ? length(1) : 0);
        }
        t += length(3);
    }
    if (end)
        *end = t;
    return down;
}

struct Fading {
    double depthDb = 0; // from the strongest to the weakest
    double hz = 0.2;
};

// The carrier's share of its full level at `t` seconds into the band.
inline double fadeShare(const Fading& fading, double t) {
    if (fading.depthDb <= 0)
        return 1.0;
    const double depth = std::pow(10.0, -fading.depthDb / 20);
    return depth + (1 - depth) * (0.5 + 0.5 * std::cos(2 * M_PI * fading.hz * t));
}

// Adds the keyed tone to `band` (at `rate`), starting `startSeconds` in; 4 ms soft edges.
inline void addTone(std::vector<float>& band, double rate, double hz, double amplitude,
                    const std::vector<std::pair<double, double>>& down, double startSeconds,
                    const Fading& fading = {}) {
    constexpr double kEdge = 0.004;
    for (const auto& [on, off] : down) {
        const auto from = size_t((startSeconds + on) * rate);
        const auto to = std::min(band.size(), size_t((startSeconds + off + kEdge) * rate));
        for (size_t n = from; n < to; ++n) {
            const double t = double(n) / rate, into = t - startSeconds - on,
                         left = startSeconds + off - t;
            double shape = 1;
            if (into < kEdge)
                shape = 0.5 - 0.5 * std::cos(M_PI * std::max(0.0, into) / kEdge);
            else if (left < 0)
                shape = 0.5 + 0.5 * std::cos(M_PI * std::min(kEdge, -left) / kEdge);
            band[n] += float(amplitude * shape * fadeShare(fading, t) * std::sin(2 * M_PI * hz * t));
        }
    }
}

// The noise's standard deviation for a keyed carrier of `amplitude` at `snrDb` in 2500 Hz.
inline double sigmaFor(double amplitude, double snrDb, double rate) {
    const double noiseIn2500 = amplitude * amplitude / 2 / std::pow(10.0, snrDb / 10);
    return std::sqrt(noiseIn2500 * (rate / 2) / 2500);
}

inline void addNoise(std::vector<float>& band, double sigma, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, sigma);
    for (float& v : band)
        v = float(v + gauss(random));
}

// Static: short impulses `overDb` above the noise's level, `perSecond` of them at random.
inline void addCrashes(std::vector<float>& band, double rate, double sigma, double overDb,
                       double perSecond, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> where(0, double(band.size()));
    const double peak = sigma * std::pow(10.0, overDb / 20);
    const auto count = size_t(perSecond * double(band.size()) / rate);
    for (size_t i = 0; i < count; ++i) {
        const auto at = size_t(where(random));
        for (size_t n = at; n < std::min(band.size(), at + size_t(0.002 * rate)); ++n)
            band[n] += float(peak * std::exp(-double(n - at) / (0.0005 * rate)) * ((n % 2) ? 1 : -1));
    }
}

} // namespace MorseAudio
