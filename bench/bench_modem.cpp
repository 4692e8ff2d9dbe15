// Character error rate of the modem against noise, in 0.5 dB steps, on white Gaussian noise
// (SNR = signal power against the noise power in 2500 Hz), the BPSK receiver starting 20 Hz off
// frequency, and RTTY beside minimodem (Debian's package) on the same noisy audio when it is
// installed. Usage: bench_modem [CHARACTERS_PER_POINT [COLUMNS [FROM_DB TO_DB]]]: 2000
// characters, all of bpsk,qpsk,rtty,minimodem, -14 to -3 dB unless given.
#include "digital/dsp/PskDemodulator.h"
#include "digital/dsp/PskModulator.h"
#include "digital/dsp/RttyDemodulator.h"
#include "digital/dsp/RttyModulator.h"
#include "common/WavIo.h"
#include "digital/modem/Modem.h"
#include "../tests/support/Awgn.h"

#include <QByteArray>
#include <complex>
#include <random>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

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

double pskErrorRate(const QByteArray& text, double snr, double offsetHz, bool qpsk, double* seconds) {
    const std::vector<float> clean = PskModulator(kRate, 1500 + offsetHz, 31.25, qpsk).transmit(text);
    const std::vector<float> noisy = Awgn::add(clean, snr, kRate, 11);
    QElapsedTimer timer;
    timer.start();
    PskDemodulator rx(kRate, 1500, 31.25, qpsk);
    const QByteArray got = rx.process(noisy).toLatin1();
    *seconds += timer.nsecsElapsed() / 1e9;
    return double(editDistance(text, got)) / text.size();
}

std::vector<float> noisyRtty(const QByteArray& text, double snr) {
    const std::vector<float> clean = RttyModulator(kRate, 1500).transmit(QString::fromLatin1(text));
    return Awgn::add(clean, snr, kRate, 12);
}

double rttyErrorRate(const QByteArray& text, double snr, double* seconds) {
    const std::vector<float> noisy = noisyRtty(text, snr);
    QElapsedTimer timer;
    timer.start();
    RttyDemodulator rx(kRate, 1500);
    const QByteArray got = rx.process(noisy).toLatin1();
    *seconds += timer.nsecsElapsed() / 1e9;
    return double(editDistance(text, got)) / text.size();
}

// The same noisy RTTY through minimodem (Debian's package), when it is installed; -1 when not.
double minimodemErrorRate(const QByteArray& text, double snr) {
    static const QString program = QStandardPaths::findExecutable("minimodem");
    if (program.isEmpty())
        return -1;
    QTemporaryDir dir;
    const QString wav = dir.filePath("rtty.wav");
    std::vector<float> noisy = noisyRtty(text, snr);
    const float peak = std::max(*std::max_element(noisy.begin(), noisy.end()),
                                -*std::min_element(noisy.begin(), noisy.end()));
    for (float& v : noisy)
        v *= 0.9f / peak;
    if (!WavIo::write(wav, noisy, int(kRate), nullptr))
        return -1;
    QProcess rx;
    rx.start(program, {"--rx", "-q", "-f", wav, "-M", "1585", "-S", "1415", "rtty"});
    rx.waitForFinished(-1);
    return double(editDistance(text, rx.readAllStandardOutput().trimmed())) / text.size();
}

} // namespace

// The noise is calibrated when an ideal non-coherent FSK receiver on it makes bit errors at
// the textbook rate 1/2 exp(-Eb/2N0): the Eb/N0 that the measured rate implies, for 10 dB set.
double impliedEbN0(double ebN0Db) {
    const double rate = 8000, baud = 50, samplesPerBit = rate / baud;
    const double mark = 1500 + 2 * baud, space = 1500 - 2 * baud; // orthogonal tones
    const int bits = 200000;
    std::mt19937 random(3);
    std::vector<int> sent(bits);
    std::vector<float> signal(size_t(bits * samplesPerBit));
    double phase = 0;
    for (int b = 0; b < bits; ++b) {
        sent[size_t(b)] = int(random() & 1);
        const double step = 2 * M_PI * (sent[size_t(b)] ? mark : space) / rate;
        for (int n = 0; n < int(samplesPerBit); ++n, phase += step)
            signal[size_t(b * samplesPerBit + n)] = float(std::sin(phase));
    }
    const std::vector<float> noisy = Awgn::add(signal, ebN0Db - 10 * std::log10(2500 / baud), rate, 9);
    int errors = 0;
    for (int b = 0; b < bits; ++b) {
        std::complex<double> m{}, s{};
        for (int n = 0; n < int(samplesPerBit); ++n) {
            const double t = (b * samplesPerBit + n) / rate;
            const double x = noisy[size_t(b * samplesPerBit + n)];
            m += x * std::polar(1.0, -2 * M_PI * mark * t);
            s += x * std::polar(1.0, -2 * M_PI * space * t);
        }
        errors += (std::norm(m) > std::norm(s)) != bool(sent[size_t(b)]);
    }
    return 10 * std::log10(-2 * std::log(2 * double(errors) / bits));
}

int main(int argc, char** argv) {
    const int characters = argc > 1 ? std::atoi(argv[1]) : 2000;
    const QByteArray columns = argc > 2 ? QByteArray(argv[2]) : "bpsk,qpsk,rtty,minimodem";
    const double from = argc > 3 ? std::atof(argv[3]) : -14, to = argc > 4 ? std::atof(argv[4]) : -3;
    // Letters and digits; for RTTY also letters alone, since every figure costs a shift and a
    // shift lost in noise spoils the characters after it.
    const QByteArray text = randomText(characters, 5, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ");
    const QByteArray letters = randomText(characters, 6, "ABCDEFGHIJKLMNOPQRSTUVWXYZ ");
    double bpskSeconds = 0, qpskSeconds = 0, rttySeconds = 0;
    std::printf("noise calibration: FSK bit errors at Eb/N0 10 dB imply %.2f dB\n", impliedEbN0(10));
    std::printf("%d characters a point, 8 kHz, AWGN, SNR in 2500 Hz, PSK receivers 20 Hz off\n"
                "character error rate in %%; RTTY for letters (L) and with figures (F)\n\n", characters);
    std::printf("  SNR dB |  BPSK31 |  QPSK31 | RTTY (L) | RTTY (F) | minimodem (L)\n");
    auto cell = [&](const char* name, auto measure) {
        if (!columns.contains(name))
            return std::printf(" |     -  ");
        const double rate = measure();
        return rate < 0 ? std::printf(" |     -  ") : std::printf(" | %7.3f", 100 * rate);
    };
    for (double snr = from; snr <= to + 1e-9; snr += 0.5) {
        std::printf("  %6.1f", snr);
        cell("bpsk", [&] { return pskErrorRate(text, snr, 20.0, false, &bpskSeconds); });
        cell("qpsk", [&] { return pskErrorRate(text, snr, 20.0, true, &qpskSeconds); });
        cell("rtty", [&] { return rttyErrorRate(letters, snr, &rttySeconds); });
        cell("rtty", [&] { return rttyErrorRate(text, snr, &rttySeconds); });
        cell("minimodem", [&] { return minimodemErrorRate(letters, snr); });
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("\ndemodulation time: BPSK31 %.2f s, QPSK31 %.2f s, RTTY %.2f s in all\n", bpskSeconds,
                qpskSeconds, rttySeconds);

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
