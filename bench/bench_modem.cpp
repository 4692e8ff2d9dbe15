// Character error rate of the modem against noise, in 0.5 dB steps, on white Gaussian noise
// (SNR = signal power against the noise power in 2500 Hz), heard as on the air: the text goes
// out in transmissions of 100 characters, each after a stretch of noise alone of 2 to 10 s
// (drawn at random, the same for every point), and the receiver runs through all of it, as
// the terminal's does. The PSK receivers start 20 Hz off frequency. RTTY is also run through
// minimodem (Debian's package) on the same noisy audio when it is installed. What the
// receiver prints from noise alone (before a transmission's start is three quarters over) is
// not counted. Besides the error rate, the characters lost at the start of a transmission are
// counted (before the first three in a row that come through). Usage:
// bench_modem [CHARACTERS_PER_POINT [COLUMNS [FROM_DB TO_DB [LEAD_SECONDS]]]]: 2000
// characters, all of bpsk,qpsk,bpsk63,rtty,minimodem, -14 to -3 dB, leads of 2 to 10 s unless
// given (LEAD_SECONDS 0: every transmission at once after the one before, for comparison).
#include "digital/dsp/PskDemodulator.h"
#include "digital/dsp/PskModulator.h"
#include "digital/dsp/RttyDemodulator.h"
#include "digital/dsp/RttyModulator.h"
#include "common/WavIo.h"
#include "digital/modem/Modem.h"
#include "sim/Awgn.h"

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

constexpr int kTransmission = 100; // characters

// Where the characters of `sent` that come before the first three in a row that `got` has
// in the same order end: what was lost at the start. (An alignment of the two texts.)
int lostAtStart(const QByteArray& sent, const QByteArray& got) {
    const size_t n = size_t(sent.size()), m = size_t(got.size());
    std::vector<std::vector<int>> cost(n + 1, std::vector<int>(m + 1));
    for (size_t i = 0; i <= n; ++i)
        cost[i][0] = int(i);
    for (size_t j = 0; j <= m; ++j)
        cost[0][j] = int(j);
    for (size_t i = 1; i <= n; ++i)
        for (size_t j = 1; j <= m; ++j)
            cost[i][j] = std::min({cost[i - 1][j] + 1, cost[i][j - 1] + 1,
                                   cost[i - 1][j - 1] + (sent[qsizetype(i - 1)] != got[qsizetype(j - 1)])});
    std::vector<bool> matched(n, false);
    for (size_t i = n, j = m; i > 0 && j > 0;) {
        const bool same = sent[qsizetype(i - 1)] == got[qsizetype(j - 1)];
        if (cost[i][j] == cost[i - 1][j - 1] + !same) {
            matched[i - 1] = same;
            --i, --j;
        } else if (cost[i][j] == cost[i - 1][j] + 1) {
            --i;
        } else {
            --j;
        }
    }
    for (size_t i = 0; i + 2 < n; ++i)
        if (matched[i] && matched[i + 1] && matched[i + 2])
            return int(i);
    return int(n);
}

struct OnTheAir {
    double errorRate = 0;
    double lostAtStart = 0; // characters a transmission
};

// How long a transmission's start (before its first character) sounds, in samples.
size_t startLength(Modulator& tx) {
    std::vector<float> start;
    tx.reset();
    tx.start(start);
    return start.size();
}

// Noise alone before each transmission: drawn from 2 to 10 s, or as given.
double gLeadSeconds = -1;

// The whole text, transmission by transmission, each after noise alone; one receiver hears
// all of it. What it makes of the noise alone is not counted.
OnTheAir overTheAir(const QByteArray& text, double snr, Modulator& tx, Demodulator& rx,
                    double* seconds, std::vector<float>* audio = nullptr) {
    std::mt19937 random(17);
    std::uniform_real_distribution<double> leadSeconds(2.0, 10.0);
    int errors = 0, lost = 0, transmissions = 0;
    for (qsizetype at = 0; at < text.size(); at += kTransmission, ++transmissions) {
        const QByteArray part = text.mid(at, kTransmission);
        const double drawn = leadSeconds(random);
        const double lead = gLeadSeconds >= 0 ? gLeadSeconds : drawn;
        const std::vector<float> sound =
            Awgn::afterNoise(tx.transmit(QString::fromLatin1(part)), lead, snr, kRate, random());
        // What the receiver prints before the transmission's start (PSK's preamble, RTTY's
        // mark and letters shift) is three quarters over is the tail of the noise, not the
        // text: the start carries no characters.
        const size_t textFrom = size_t(lead * kRate) + startLength(tx) * 3 / 4;
        QElapsedTimer timer;
        timer.start();
        rx.process(std::span<const float>(sound).first(textFrom));
        const QByteArray got = rx.process(std::span<const float>(sound).subspan(textFrom)).toLatin1();
        *seconds += timer.nsecsElapsed() / 1e9;
        errors += editDistance(part, got);
        lost += lostAtStart(part, got);
        if (audio)
            audio->insert(audio->end(), sound.begin(), sound.end());
    }
    return {double(errors) / text.size(), double(lost) / transmissions};
}

OnTheAir psk(const QByteArray& text, double snr, double baud, bool qpsk, double* seconds) {
    PskModulator tx(kRate, 1500 + 20.0, baud, qpsk);
    PskDemodulator rx(kRate, 1500, baud, qpsk);
    return overTheAir(text, snr, tx, rx, seconds);
}

OnTheAir rtty(const QByteArray& text, double snr, double* seconds, std::vector<float>* audio = nullptr) {
    RttyModulator tx(kRate, 1500);
    RttyDemodulator rx(kRate, 1500);
    return overTheAir(text, snr, tx, rx, seconds, audio);
}

// The same noisy RTTY through minimodem (Debian's package), when it is installed; -1 when not.
double minimodemErrorRate(const QByteArray& text, double snr) {
    static const QString program = QStandardPaths::findExecutable("minimodem");
    if (program.isEmpty())
        return -1;
    QTemporaryDir dir;
    const QString wav = dir.filePath("rtty.wav");
    double unused = 0;
    std::vector<float> noisy;
    rtty(text, snr, &unused, &noisy);
    const float peak = std::max(*std::max_element(noisy.begin(), noisy.end()),
                                -*std::min_element(noisy.begin(), noisy.end()));
    for (float& v : noisy)
        v *= 0.9f / peak;
    if (!WavIo::write(wav, noisy, int(kRate), nullptr))
        return -1;
    QProcess rx;
    rx.start(program, {"--rx", "-q", "-f", wav, "-M", "1585", "-S", "1415", "rtty"});
    rx.waitForFinished(-1);
    QByteArray got = rx.readAllStandardOutput();
    got.replace('\n', QByteArray()); // a line at each carrier's end
    return double(editDistance(text, got.trimmed())) / text.size();
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
    const QList<QByteArray> columns = QByteArray(argc > 2 ? argv[2] : "bpsk,qpsk,bpsk63,rtty,minimodem").split(',');
    const double from = argc > 3 ? std::atof(argv[3]) : -14, to = argc > 4 ? std::atof(argv[4]) : -3;
    gLeadSeconds = argc > 5 ? std::atof(argv[5]) : -1;
    // Letters and digits; for RTTY also letters alone, since every figure costs a shift and a
    // shift lost in noise spoils the characters after it.
    const QByteArray text = randomText(characters, 5, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ");
    const QByteArray letters = randomText(characters, 6, "ABCDEFGHIJKLMNOPQRSTUVWXYZ ");
    double bpskSeconds = 0, qpskSeconds = 0, bpsk63Seconds = 0, rttySeconds = 0;
    std::printf("noise calibration: FSK bit errors at Eb/N0 10 dB imply %.2f dB\n", impliedEbN0(10));
    std::printf("%d characters a point in transmissions of %d, each after %s of noise alone;\n"
                "8 kHz, AWGN, SNR in 2500 Hz, PSK receivers 20 Hz off. Character error rate in %%,\n"
                "and (in brackets) characters lost at the start of a transmission, on average;\n"
                "RTTY for letters (L) and with figures (F)\n\n", characters, kTransmission,
                gLeadSeconds >= 0 ? qPrintable(QString("%1 s").arg(gLeadSeconds)) : "2-10 s");
    std::printf("  SNR dB |      BPSK31     |      QPSK31     |      BPSK63     |     RTTY (L)    |     RTTY (F)    | minimodem (L)\n");
    auto cell = [&](const char* name, auto measure) {
        if (!columns.contains(name))
            return std::printf(" |        -       ");
        const OnTheAir result = measure();
        return std::printf(" | %7.3f (%5.2f)", 100 * result.errorRate, result.lostAtStart);
    };
    for (double snr = from; snr <= to + 1e-9; snr += 0.5) {
        std::printf("  %6.1f", snr);
        cell("bpsk", [&] { return psk(text, snr, 31.25, false, &bpskSeconds); });
        cell("qpsk", [&] { return psk(text, snr, 31.25, true, &qpskSeconds); });
        cell("bpsk63", [&] { return psk(text, snr, 62.5, false, &bpsk63Seconds); });
        cell("rtty", [&] { return rtty(letters, snr, &rttySeconds); });
        cell("rtty", [&] { return rtty(text, snr, &rttySeconds); });
        const double minimodem = columns.contains("minimodem") ? minimodemErrorRate(letters, snr) : -1;
        minimodem < 0 ? std::printf(" |     -") : std::printf(" | %7.3f", 100 * minimodem);
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("\ndemodulation time, noise leads included: BPSK31 %.2f s, QPSK31 %.2f s, BPSK63 %.2f s, RTTY %.2f s in all\n",
                bpskSeconds, qpskSeconds, bpsk63Seconds, rttySeconds);

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
