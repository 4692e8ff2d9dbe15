// The signal browser's figures: the cost of the modem and the browser decoding 24 PSK31
// stations at 48 kHz, the time from a character's end on the air to its row, and the
// browser's CER against the terminal's own receiver on the same signal.
#include "sim/SyntheticBand.h"
#include "common/WavIo.h"
#include "digital/browser/SignalBrowser.h"
#include "digital/modem/DspFactory.h"
#include "digital/modem/Modem.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMap>
#include <cstdio>
#include <ctime>

namespace {

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

const QString kText = QStringLiteral("CQ CQ DE OH2XX OH2XX PSE K 599 001 TU 73 ");

// 24 PSK31 stations across the band, -3 to +20 dB, and the sample where each character of each
// ends (for the latency).
struct Band {
    std::vector<SyntheticBand::Signal> stations;
    std::vector<float> audio;
    std::vector<std::vector<size_t>> characterEnds;
};

Band crowdedBand(int count, double seconds) {
    Band band;
    std::vector<std::vector<float>> parts;
    const size_t length = size_t(seconds * 48000);
    for (int i = 0; i < count; ++i) {
        const double hz = 260 + i * (2700.0 / count);
        const double snr = -3 + (i * 7) % 24;
        band.stations.push_back({hz, snr, kText});
        PskModulator psk(48000, hz, 31.25);
        std::vector<float> x;
        std::vector<size_t> ends;
        psk.start(x);
        psk.idle(int(31.25 * (1 + i % 3)), x); // they come on at different times
        while (x.size() < length) {
            for (QChar c : kText) {
                psk.character(c, x);
                ends.push_back(x.size());
            }
        }
        x.resize(length);
        const double gain =
            std::sqrt(std::pow(10.0, snr / 10) * SyntheticBand::kNoiseIn2500 / Awgn::power(x));
        for (float& v : x)
            v = float(v * gain);
        parts.push_back(std::move(x));
        band.characterEnds.push_back(std::move(ends));
    }
    band.audio.assign(length, 0.0f);
    for (const auto& x : parts)
        for (size_t n = 0; n < length; ++n)
            band.audio[n] += x[n];
    const std::vector<float> noise = SyntheticBand::noise(seconds, 5);
    for (size_t n = 0; n < length; ++n)
        band.audio[n] += noise[n];
    return band;
}

// The modem as the terminal runs it (both channels, spectrum and waterfall) with the browser
// listening; the share of one core, and when each row's text grew.
void costAndLatency() {
    constexpr double kSeconds = 60;
    const Band band = crowdedBand(SignalBrowser::kMaxSignals, kSeconds);
    Modem modem;
    modem.setChannelOn(1, true);
    SignalBrowser browser;
    modem.setListener(
        [&](const float* s, size_t n) { browser.receive(std::span<const float>(s, n)); });
    QMap<int, qint64> taken;                // characters of each row already counted
    QMap<int, std::vector<size_t>> shownAt; // the sample at which each came
    size_t now = 0;
    QObject::connect(&browser, &SignalBrowser::rowsChanged, [&] {
        for (const SignalBrowser::Row& row : browser.rows()) {
            for (qint64 i = taken.value(row.id, 0); i < row.received; ++i)
                shownAt[row.id].push_back(now);
            taken[row.id] = row.received;
        }
    });
    const double startCpu = cpuSeconds();
    for (; now < band.audio.size(); now += 4800)
        modem.receive(band.audio.data() + now, 4800);
    const double cpu = cpuSeconds() - startCpu;
    std::printf("modem + browser, %d PSK31 stations at 48 kHz: %.2f %% of one core (%.1f s of CPU "
                "for %.0f s of sound)\n",
                SignalBrowser::kMaxSignals, 100 * cpu / kSeconds, cpu, kSeconds);
    std::printf("rows: %zu\n", browser.rows().size());
    // Latency: a row's n-th character against the n-th character end of its station, counting
    // from the first character the row showed that matches the text (its receiver's start).
    std::vector<double> delays;
    for (const SignalBrowser::Row& row : browser.rows()) {
        size_t station = 0;
        for (size_t i = 0; i < band.stations.size(); ++i)
            if (std::abs(band.stations[i].hz - row.hz) <
                std::abs(band.stations[station].hz - row.hz))
                station = i;
        const std::vector<size_t>& ends = band.characterEnds[station];
        const std::vector<size_t>& shown = shownAt[row.id];
        // The receiver started at some character; align on the last shown one.
        if (shown.empty())
            continue;
        const size_t lastShown = shown.back();
        const size_t count = shown.size();
        auto endAfter = std::lower_bound(ends.begin(), ends.end(), lastShown);
        const long lastSent = long(endAfter - ends.begin()) - 1;
        for (size_t k = 0; k < std::min<size_t>(count, 60); ++k) {
            const long sent = lastSent - long(k);
            if (sent < 0)
                break;
            const double delay = double(shown[count - 1 - k]) - double(ends[size_t(sent)]);
            if (delay >= 0)
                delays.push_back(delay / 48000);
        }
    }
    if (!delays.empty())
        std::printf(
            "character's end on the air to its row: median %.2f s, p99 %.2f s (%zu characters; the "
            "sound in blocks of 0.1 s)\n",
            [&] {
                auto d = delays;
                std::sort(d.begin(), d.end());
                return d[d.size() / 2];
            }(),
            [&] {
                auto d = delays;
                std::sort(d.begin(), d.end());
                return d[std::min(d.size() - 1, size_t(0.99 * double(d.size())))];
            }(),
            delays.size());
}

// The same for RTTY: ten stations 250 Hz apart, each receiver behind its own channel filter.
void rttyCost() {
    constexpr double kSeconds = 30;
    std::vector<SyntheticBand::Signal> stations;
    for (int i = 0; i < 10; ++i)
        stations.push_back({400 + 250.0 * i, double(-3 + (i * 7) % 24),
                            QStringLiteral("CQ TEST DE OH2XX OH2XX K 599 001 TU ")});
    std::vector<float> band = SyntheticBand::band(stations, true, 3);
    band.resize(size_t(48000 * kSeconds));
    Modem modem;
    modem.setMode(0, QStringLiteral("rtty-u"));
    modem.setChannelOn(1, true);
    SignalBrowser browser;
    browser.setMode(ModeList::modes()[ModeList::indexOf("rtty-u")], 45.45);
    modem.setListener(
        [&](const float* s, size_t n) { browser.receive(std::span<const float>(s, n)); });
    const double startCpu = cpuSeconds();
    for (size_t at = 0; at + 4800 <= band.size(); at += 4800)
        modem.receive(band.data() + at, 4800);
    const double cpu = cpuSeconds() - startCpu;
    std::printf("modem + browser, 10 RTTY stations at 48 kHz: %.2f %% of one core, %zu rows:",
                100 * cpu / kSeconds, browser.rows().size());
    for (const SignalBrowser::Row& row : browser.rows())
        std::printf(" %.0f", row.hz);
    std::printf(" Hz\n");
}

// CER of one PSK31 station, for the browser and for the terminal's receiver (AFC on, as the
// terminal runs it) tuned to it.
void cerAgainstTheMainReceiver() {
    QString text;
    while (text.size() < 600)
        text += QStringLiteral("THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789 ");
    std::printf("S/N dB   browser CER   main receiver CER\n");
    for (double snr = -14; snr <= -6; snr += 0.5) {
        const std::vector<float> band = SyntheticBand::band({{1500, snr, text}}, false, 3, 21);
        SignalBrowser browser;
        // The whole text of the row on 1500 Hz, gathered as it grows (the row keeps a line).
        QString whole;
        int id = -1;
        qint64 taken = 0;
        QObject::connect(&browser, &SignalBrowser::rowsChanged, [&] {
            for (const auto& row : browser.rows()) {
                if (id < 0 && std::abs(row.hz - 1500) < 10)
                    id = row.id;
                if (row.id != id)
                    continue;
                whole += row.text.right(
                    qsizetype(std::min<qint64>(row.received - taken, row.text.size())));
                taken = row.received;
            }
        });
        for (size_t at = 0; at < band.size(); at += 4800)
            browser.receive(
                std::span<const float>(band).subspan(at, std::min<size_t>(4800, band.size() - at)));
        const auto main =
            DspFactory::demodulator(ModeList::modes()[ModeList::kBpskIndex],
                                    {.sampleRate = 48000, .carrierHz = 1500, .baud = 31.25});
        const QString mainText = main->process(band);
        std::printf("%6.1f   %11.4f   %17.4f\n", snr,
                    SyntheticBand::characterErrorRate(text, whole),
                    SyntheticBand::characterErrorRate(text, mainText));
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc > 2 && QByteArray(argv[1]) == "--wav") { // the band, for bench/browser_cost.sh
        const Band band = crowdedBand(SignalBrowser::kMaxSignals, 60);
        QString why; // the noise at about -30 dB of full scale, the sum of all well below it
        return WavIo::write(QString::fromLocal8Bit(argv[2]), band.audio, 48000, &why) ? 0 : 1;
    }
    costAndLatency();
    rttyCost();
    cerAgainstTheMainReceiver();
    return 0;
}
