// Character error rate of the modem against noise, in 0.5 dB steps, on white Gaussian noise
// (SNR = signal power against the noise power in 2500 Hz), the BPSK receiver starting 20 Hz off
// frequency. Usage: bench_modem [CHARACTERS_PER_POINT] (2000 unless given).
#include "digital/dsp/PskDemodulator.h"
#include "digital/dsp/PskModulator.h"
#include "digital/dsp/RttyDemodulator.h"
#include "digital/dsp/RttyModulator.h"
#include "digital/modem/Modem.h"
#include "../tests/support/Awgn.h"

#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

constexpr double kRate = 8000;

// Random text from the given characters.
QByteArray randomText(int characters, unsigned seed, const char* alphabet) {
    const size_t size = std::strlen(alphabet);
    std::mt19937 random(seed);
    QByteArray text;
    for (int i = 0; i < characters; ++i)
        text.append(alphabet[random() % size]);
    return text;
}

// Levenshtein distance within a band along the diagonal (errors stay local, so the band only
// has to cover how far the two texts drift apart), two rows.
int editDistance(const QByteArray& a, const QByteArray& b) {
    const qsizetype band = std::max<qsizetype>(300, std::abs(a.size() - b.size()) + 200);
    constexpr int kFar = 1 << 29;
    std::vector<int> previous(size_t(b.size()) + 1, kFar), current(size_t(b.size()) + 1, kFar);
    for (qsizetype j = 0; j <= std::min(b.size(), band); ++j)
        previous[size_t(j)] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        const qsizetype from = std::max<qsizetype>(1, i - band), to = std::min(b.size(), i + band);
        std::fill(current.begin(), current.end(), kFar);
        if (i <= band)
            current[0] = int(i);
        for (qsizetype j = from; j <= to; ++j)
            current[size_t(j)] = std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1,
                                           previous[size_t(j - 1)] + (a[i - 1] != b[j - 1])});
        std::swap(previous, current);
    }
    return previous[size_t(b.size())];
}

double pskErrorRate(const QByteArray& text, double snr, double offsetHz, double* seconds) {
    const std::vector<float> clean = PskModulator(kRate, 1500 + offsetHz, 31.25).transmit(text);
    const std::vector<float> noisy = Awgn::add(clean, snr, kRate, 11);
    QElapsedTimer timer;
    timer.start();
    PskDemodulator rx(kRate, 1500, 31.25);
    const QByteArray got = rx.process(noisy.data(), noisy.size());
    *seconds += timer.nsecsElapsed() / 1e9;
    return double(editDistance(text, got)) / text.size();
}

double rttyErrorRate(const QByteArray& text, double snr, double* seconds) {
    const std::vector<float> clean = RttyModulator(kRate, 1500).transmit(QString::fromLatin1(text));
    const std::vector<float> noisy = Awgn::add(clean, snr, kRate, 12);
    QElapsedTimer timer;
    timer.start();
    RttyDemodulator rx(kRate, 1500);
    const QByteArray got = rx.process(noisy.data(), noisy.size()).toLatin1();
    *seconds += timer.nsecsElapsed() / 1e9;
    return double(editDistance(text, got)) / text.size();
}

} // namespace

int main(int argc, char** argv) {
    const int characters = argc > 1 ? std::atoi(argv[1]) : 2000;
    // Letters and digits; for RTTY also letters alone, since every figure costs a shift and a
    // shift lost in noise spoils the characters after it.
    const QByteArray text = randomText(characters, 5, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ");
    const QByteArray letters = randomText(characters, 6, "ABCDEFGHIJKLMNOPQRSTUVWXYZ ");
    double pskSeconds = 0, rttySeconds = 0;
    std::printf("%d characters a point, 8 kHz, AWGN, SNR in 2500 Hz\n\n", characters);
    std::printf("  SNR dB | BPSK31 CER (20 Hz off) | RTTY CER, letters | RTTY CER, with figures\n");
    for (double snr = -14; snr <= -3; snr += 0.5) {
        const double psk = pskErrorRate(text, snr, 20.0, &pskSeconds);
        const double rttyLetters = rttyErrorRate(letters, snr, &rttySeconds);
        const double rttyMixed = rttyErrorRate(text, snr, &rttySeconds);
        std::printf("  %6.1f | %22.4f | %17.4f | %22.4f\n", snr, psk, rttyLetters, rttyMixed);
    }
    std::printf("\ndemodulation time: BPSK31 %.2f s, RTTY %.2f s in all\n", pskSeconds, rttySeconds);

    // The modem as the terminal runs it: 48 kHz from the sound card, both channels, with the
    // spectrum and waterfall computed ten times a second.
    const std::vector<float> air = Awgn::add(PskModulator(48000, 1500, 31.25).transmit(text.left(250)), 10, 48000, 13);
    Modem modem(48000);
    modem.setChannelOn(1, true);
    QElapsedTimer timer;
    timer.start();
    for (size_t at = 0; at < air.size(); at += 960) // 20 ms blocks
        modem.receive(air.data() + at, std::min<size_t>(960, air.size() - at));
    const double used = timer.nsecsElapsed() / 1e9, heard = air.size() / 48000.0;
    std::printf("modem receive at 48 kHz, two channels and spectrum: %.1f s of audio in %.3f s, %.2f %% of one core\n",
                heard, used, 100 * used / heard);
    return 0;
}
