#pragma once

// A crowded band for the signal browser: signals of known texts at known carriers and S/N
// (each in 2500 Hz), summed over one seeded noise.
#include "Awgn.h"
#include "MorseAudio.h"
#include "digital/dsp/PskModulator.h"
#include "digital/dsp/RttyModulator.h"

#include <QString>
#include <memory>
#include <random>
#include <vector>

namespace SyntheticBand {

struct Signal {
    double hz;
    double snrDb;
    QString text;
};

constexpr double kNoiseIn2500 = 1e-4; // noise power in 2500 Hz

// A transmission of `text` with `idleSeconds` of idle before it and after, so that a receiver
// found it before the text begins. RTTY idles with LTRS ("diddles"), as contest programs do.
inline std::vector<float> transmission(Modulator& modulator, const QString& text,
                                       double idleSeconds) {
    std::vector<float> out;
    auto idle = [&] {
        if (auto* rtty = dynamic_cast<RttyModulator*>(&modulator))
            rtty->code(Baudot::kLetters, out);
        else
            modulator.idle(out);
    };
    modulator.start(out);
    while (double(out.size()) < idleSeconds * 48000)
        idle();
    for (QChar c : text)
        modulator.character(c, out);
    const size_t textEnd = out.size();
    while (double(out.size() - textEnd) < idleSeconds * 48000)
        idle();
    modulator.end(out);
    return out;
}

// Noise alone, as the band above.
inline std::vector<float> noise(double seconds, unsigned seed) {
    std::vector<float> out(size_t(seconds * 48000));
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, std::sqrt(kNoiseIn2500 * 24000 / 2500.0));
    for (float& v : out)
        v = float(gauss(random));
    return out;
}

// The band: every signal scaled to its S/N, then the noise, at 48 kHz.
inline std::vector<float> band(const std::vector<Signal>& stations, bool rtty,
                               double idleSeconds = 4, unsigned seed = 7) {
    std::vector<std::vector<float>> parts;
    size_t length = 0;
    for (const Signal& s : stations) {
        std::unique_ptr<Modulator> modulator;
        if (rtty)
            modulator = std::make_unique<RttyModulator>(48000, s.hz);
        else
            modulator = std::make_unique<PskModulator>(48000, s.hz, 31.25);
        std::vector<float> x = transmission(*modulator, s.text, idleSeconds);
        const double gain = std::sqrt(std::pow(10.0, s.snrDb / 10) * kNoiseIn2500 / Awgn::power(x));
        for (float& v : x)
            v = float(v * gain);
        length = std::max(length, x.size());
        parts.push_back(std::move(x));
    }
    std::vector<float> sum(length + 48000, 0.0f); // a second of noise after the last
    for (const auto& x : parts)
        for (size_t n = 0; n < x.size(); ++n)
            sum[n] += x[n];
    const double sigma = std::sqrt(kNoiseIn2500 * 24000 / 2500.0);
    std::mt19937 random(seed);
    std::normal_distribution<double> gauss(0.0, sigma);
    for (float& v : sum)
        v = float(v + gauss(random));
    return sum;
}

// A CW station: its fist, and how its signal fades.
struct CwStation {
    double hz;
    double snrDb; // of the keyed carrier
    QString text;
    MorseAudio::Fist fist;
    MorseAudio::Fading fading{};
};

// A CW band at 48 kHz: each station keys its text once, a second in, over the same noise as
// the other bands, with static crashes 20 dB over the noise if asked.
inline std::vector<float> cwBand(const std::vector<CwStation>& stations, double seconds,
                                 bool crashes = false, unsigned seed = 7) {
    constexpr double kRate = 48000, kStartSeconds = 1;
    std::vector<float> sum(size_t(seconds * kRate), 0.0f);
    for (const CwStation& s : stations) {
        const double amplitude = std::sqrt(2 * std::pow(10.0, s.snrDb / 10) * kNoiseIn2500);
        MorseAudio::addTone(sum, kRate, s.hz, amplitude, MorseAudio::keying(s.text, s.fist),
                            kStartSeconds, s.fading);
    }
    const double sigma = std::sqrt(kNoiseIn2500 * 24000 / 2500.0);
    MorseAudio::addNoise(sum, sigma, seed);
    if (crashes)
        MorseAudio::addCrashes(sum, kRate, sigma, 20, 2, seed + 1);
    return sum;
}

// Characters wrong, missing or extra against `sent`, wherever in `heard` it best fits (the
// noise decoded before and after it is not counted), over the length of `sent`.
inline double characterErrorRate(const QString& sent, const QString& heard) {
    std::vector<int> previous(size_t(heard.size()) + 1, 0), current(previous.size());
    for (qsizetype i = 1; i <= sent.size(); ++i) {
        current[0] = int(i);
        for (qsizetype j = 1; j <= heard.size(); ++j) {
            const int change = previous[size_t(j - 1)] + (sent[i - 1] == heard[j - 1] ? 0 : 1);
            current[size_t(j)] =
                std::min({change, previous[size_t(j)] + 1, current[size_t(j - 1)] + 1});
        }
        std::swap(previous, current);
    }
    return double(*std::min_element(previous.begin(), previous.end())) / double(sent.size());
}

} // namespace SyntheticBand
