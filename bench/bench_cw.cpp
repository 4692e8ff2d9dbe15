// The CW skimmer's figures, measured side by side in one run:
//  1. Character error rate against S/N (keyed carrier against the noise in 2500 Hz, seeded
//     white noise, 8 kHz) at 15, 25 and 40 wpm, machine-sent, and at 25 wpm hand-sent (dash
//     2.5 to 4 dots between stations, elements off by up to 25 %): our receiver, an ideal one
//     that is told the tone, the speed and where every dot-long slot begins (it decides each
//     slot on or off by its energy, at the best threshold for the S/N), and Debian's
//     morse2ascii on the same audio when it is installed (it prints no word spaces, so its
//     text and the sent one are compared without them).
//  2. A synthetic band of 30 stations calling "CQ TEST <call> <call>" and sending their
//     exchange, 16 to 40 wpm, machine- and hand-sent, -15 to +20 dB, some fading, with static
//     crashes: the share of calls spotted within 60 s by S/N, busted spots, and the time from
//     a call's last element to its spot; then again with every call in MASTER.SCP (a call
//     decoded once is spotted). Each time also the share spotted over nine other noise seeds,
//     and over thirty more that the skimmer's settings were never chosen on (ninety with
//     MASTER.SCP);
//     with MASTER.SCP, also over all ten noises with some of the calls one character away from
//     the band's in the list too, as in a real one (a call misread as one of them is busted),
//     and the limit: how many of the calls the skimmer's callsign picker would spot from the
//     ideal receiver's text (told the fade too), hearing each station alone over the ten noises;
//     and how many our skimmer spots hearing each station alone.
//  3. The cost of skimming that band at 48 kHz.
// Usage: bench_cw [CHARACTERS_PER_POINT [FROM_DB TO_DB]]: 2000 characters, -14 to 0 dB (0: the
//        band alone);
//        bench_cw --wav FILE: a band of 32 stations for bench/skimmer_cost.sh.
#include "digital/browser/SignalBrowser.h"
#include "digital/dsp/CwDemodulator.h"
#include "digital/skimmer/CallsignPicker.h"
#include "common/WavIo.h"
#include "sim/MorseAudio.h"
#include "sim/SyntheticBand.h"

#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <random>

namespace {

constexpr double kRate = 8000, kTone = 700, kAmplitude = 0.3, kLeadSeconds = 2;

int editDistance(const QString& a, const QString& b) {
    std::vector<int> previous(size_t(b.size()) + 1), current(previous.size());
    for (size_t j = 0; j < previous.size(); ++j)
        previous[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        current[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j)
            current[size_t(j)] = std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1,
                                           previous[size_t(j - 1)] + (a[i - 1] != b[j - 1])});
        std::swap(previous, current);
    }
    return previous[size_t(b.size())];
}

// Groups of 2 to 6 letters and digits, as calls and exchanges are.
QString randomGroups(int characters, std::mt19937& random) {
    static const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString text;
    while (text.size() < characters) {
        const int length = 2 + int(random() % 5);
        for (int i = 0; i < length; ++i)
            text += QChar(kAlphabet[random() % 36]);
        text += u' ';
    }
    return text.trimmed();
}

// The ideal receiver: the slot grid and the tone are known; each slot's energy against the
// threshold that parts on from off best at this S/N; runs of slotCount read as elements and gaps.
// `fade`: the carrier's share of its full level at a time (seconds into `audio`), known too.
QString idealReceiver(const std::vector<float>& audio, double wpm, double snrDb,
                      const std::function<double(double)>& fade = {}) {
    const double slot = 1.2 / wpm * kRate;
    const auto slotCount = size_t(double(audio.size()) / slot);
    const double signalEnergy = std::pow(kAmplitude * slot / 2, 2); // |sum| of a keyed slot
    const double noiseEnergy = std::pow(MorseAudio::sigmaFor(kAmplitude, snrDb, kRate), 2) * slot;
    std::vector<bool> keyed(slotCount);
    for (size_t k = 0; k < slotCount; ++k) {
        // Rician against Rayleigh: at these S/N the best threshold is near half the signal's
        // amplitude plus the noise's own share.
        const double signal = std::sqrt(signalEnergy) * (fade ? fade((double(k) + 0.5) * slot / kRate) : 1.0);
        const double threshold = signal / 2 + noiseEnergy / (2 * signal);
        std::complex<double> sum{};
        for (auto n = size_t(double(k) * slot); n < size_t(double(k + 1) * slot) && n < audio.size(); ++n)
            sum += double(audio[n]) * std::polar(1.0, -2 * M_PI * kTone * double(n) / kRate);
        keyed[k] = std::abs(sum) > threshold;
    }
    QString text, elements;
    size_t k = 0;
    while (k < slotCount) {
        size_t run = 0;
        const bool state = keyed[k];
        while (k < slotCount && keyed[k] == state)
            ++k, ++run;
        if (state) {
            elements += run >= 2 ? u'-' : u'.';
        } else if (run >= 2 && !elements.isEmpty()) {
            const QChar c = MorseReader::character(elements);
            if (!c.isNull())
                text += c;
            elements.clear();
            if (run >= 5)
                text += u' ';
        }
    }
    return text.simplified();
}

QString ourReceiver(const std::vector<float>& audio, double* seconds) {
    CwDemodulator rx(kRate, kTone);
    QString text;
    QElapsedTimer timer;
    timer.start();
    for (size_t at = 0; at < audio.size(); at += 160)
        text += rx.process(std::span<const float>(audio).subspan(at, std::min<size_t>(160, audio.size() - at)));
    *seconds += double(timer.nsecsElapsed()) / 1e9;
    return text.simplified();
}

// Debian's morse2ascii on the same audio; empty and `ran` false when it is not installed.
QString morse2ascii(const std::vector<float>& audio, bool* ran) {
    static const QString program = QStandardPaths::findExecutable("morse2ascii");
    *ran = !program.isEmpty();
    if (!*ran)
        return {};
    QTemporaryDir dir;
    const QString wav = dir.filePath("cw.wav");
    std::vector<float> scaled = audio;
    const float peak = std::max(*std::max_element(scaled.begin(), scaled.end()), -*std::min_element(scaled.begin(), scaled.end()));
    for (float& v : scaled)
        v *= 0.9f / peak;
    if (!WavIo::write(wav, scaled, int(kRate), nullptr))
        return {};
    QProcess rx;
    rx.start(program, {wav});
    rx.waitForFinished(-1);
    // The text comes on its output (its banner on the error output), without word spaces.
    return QString::fromLatin1(rx.readAllStandardOutput()).simplified().toUpper();
}

struct Point {
    long errors = 0, sent = 0;
    double rate() const { return sent > 0 ? 100.0 * double(errors) / double(sent) : 0; }
};

void errorRates(int characters, double from, double to) {
    struct Column {
        const char* name;
        double wpm;
        bool hand;
    };
    const Column columns[] = {{"15 wpm", 15, false}, {"25 wpm", 25, false}, {"40 wpm", 40, false}, {"25 hand", 25, true}};
    std::printf("Character error rate in %%: ours / ideal / morse2ascii; %d characters a point\n", characters);
    std::printf("  SNR dB |     15 wpm            |     25 wpm            |     40 wpm            | 25 wpm hand-sent\n");
    double seconds = 0, heard = 0;
    for (double snr = from; snr <= to + 1e-9; snr += 1) {
        std::printf("  %6.1f", snr);
        for (const Column& column : columns) {
            Point ours, ideal, theirs;
            bool ran = false;
            std::mt19937 random(11);
            for (int done = 0, piece = 0; done < characters; ++piece) {
                const QString text = randomGroups(std::min(200, characters - done), random);
                done += int(text.size());
                MorseAudio::Fist fist{column.wpm, 3, 0, unsigned(piece + 1)};
                if (column.hand)
                    fist = {column.wpm, 2.5 + 1.5 * double(random() % 100) / 100, 0.25, unsigned(piece + 1)};
                double end = 0;
                const auto down = MorseAudio::keying(text, fist, &end);
                std::vector<float> audio(size_t((kLeadSeconds + end + 2) * kRate), 0.0f);
                MorseAudio::addTone(audio, kRate, kTone, kAmplitude, down, kLeadSeconds);
                MorseAudio::addNoise(audio, MorseAudio::sigmaFor(kAmplitude, snr, kRate), unsigned(piece + 100));
                heard += double(audio.size()) / kRate;
                ours.errors += editDistance(text, ourReceiver(audio, &seconds));
                ours.sent += text.size();
                if (!column.hand) { // the ideal receiver's slotCount are a machine's
                    std::vector<float> signal(audio.begin() + long(kLeadSeconds * kRate), audio.end());
                    ideal.errors += editDistance(text, idealReceiver(signal, column.wpm, snr));
                    ideal.sent += text.size();
                }
                // morse2ascii leaves out the spaces between words: compared without them.
                const QString got = morse2ascii(audio, &ran).remove(u' ');
                theirs.errors += editDistance(QString(text).remove(u' '), got);
                theirs.sent += text.size();
            }
            std::printf(" | %5.1f / %5s / %5s", ours.rate(),
                        column.hand ? "-" : qPrintable(QString::number(ideal.rate(), 'f', 1)),
                        ran ? qPrintable(QString::number(theirs.rate(), 'f', 1)) : "-");
        }
        std::printf("\n");
        std::fflush(stdout);
    }
    std::printf("our receiver: %.1f s of audio in %.2f s\n\n", heard, seconds);
}

// `count` stations (up to 32) 85 Hz apart from 300 Hz up.
// `callEnds`: for each station, when each of its calls ends (the key-down of its last element).
std::vector<SyntheticBand::CwStation> stationsOnTheBand(int count, std::vector<std::vector<double>>* callEnds) {
    static const char* kCalls[] = {"DL1ABC", "K1XYZ", "G4ABC", "VE3AAA", "JA1XYZ", "S51AB", "OH2BH", "W1AW",
                                   "F5ABC", "I2XYZ", "EA3AB", "PA3ABC", "SM5XYZ", "LA1AB", "OK1ABC", "SP9XYZ",
                                   "HA5AB", "YU1ABC", "LZ2XYZ", "UA3AB", "N2ABC", "K9XYZ", "W6AB", "VK2ABC",
                                   "ZL1XYZ", "PY2AB", "LU5ABC", "ZS6XYZ", "JH1AB", "BV2ABC", "CT1ABC", "EI5XYZ"};
    std::vector<SyntheticBand::CwStation> band;
    std::mt19937 random(21);
    for (int i = 0; i < count; ++i) {
        const QString call = kCalls[i];
        const QString text = QString("CQ TEST %1 %1 TEST     TU %1 5NN %2").arg(call).arg(i + 1);
        const double wpm = 16 + (i * 7) % 25;
        const bool hand = i % 3 == 1;
        MorseAudio::Fist fist{wpm, hand ? 2.5 + 0.05 * (i % 30) : 3, hand ? 0.2 : 0, unsigned(i + 1)};
        const double snr = -15 + 35.0 * double((i * 11) % 30) / 29;
        MorseAudio::Fading fading = i % 5 == 4 ? MorseAudio::Fading{10, 0.2} : MorseAudio::Fading{};
        band.push_back({300 + 85.0 * i, snr, text, fist, fading});
        std::vector<double> ends;
        for (const QString& upToCall : {QString("CQ TEST %1").arg(call), QString("CQ TEST %1 %1").arg(call),
                                        QString("CQ TEST %1 %1 TEST     TU %1").arg(call)})
            ends.push_back(1.0 + MorseAudio::keying(upToCall, fist).back().second); // keying starts at 1 s
        callEnds->push_back(ends);
    }
    return band;
}

struct Skimmed {
    QMap<QString, double> spottedAt; // each call's first spot, in seconds of the band
    double usedSeconds = 0;
};

QString callOf(const SyntheticBand::CwStation& station) { return station.text.section(' ', 2, 2); }

// The band's calls, as MASTER.SCP holds them for a contester.
QSet<QString> callsOf(const std::vector<SyntheticBand::CwStation>& stations) {
    QSet<QString> calls;
    for (const SyntheticBand::CwStation& s : stations)
        calls.insert(callOf(s));
    return calls;
}

// The band's calls and, as in a real MASTER.SCP, other calls one character away from them
// (one changed, left out or put in): each such string of a callsign's form, with `share`.
QSet<QString> callsWithNeighbours(const std::vector<SyntheticBand::CwStation>& stations, double share) {
    const QSet<QString> calls = callsOf(stations);
    QSet<QString> known = calls;
    QStringList inOrder = calls.values(); // the same list in every run
    inOrder.sort();
    std::mt19937 random(1234);
    std::uniform_real_distribution<double> chance(0, 1);
    const QString characters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    for (const QString& call : inOrder)
        for (qsizetype i = 0; i <= call.size(); ++i)
            for (const QChar c : characters) {
                QStringList near{QString(call).insert(i, c)};
                if (i < call.size())
                    near << QString(call).replace(i, 1, c) << QString(call).remove(i, 1);
                for (const QString& other : near)
                    if (!calls.contains(other) && CallsignPicker::looksLikeCallsign(other) && chance(random) < share)
                        known.insert(other);
            }
    return known;
}

// `known`: the calls in MASTER.SCP (none: no list); a call decoded once is then spotted.
// `seed`: the band's noise and static crashes.
Skimmed skim(const std::vector<SyntheticBand::CwStation>& stations, const QSet<QString>& known, unsigned seed) {
    const std::vector<float> audio = SyntheticBand::cwBand(stations, 60, true, seed);
    SignalBrowser browser;
    browser.setListensForCw(true);
    if (!known.isEmpty()) {
        browser.setCallsignLookup([known](const QString& word) -> std::optional<QString> {
            return known.contains(word) ? std::optional<QString>(word) : std::nullopt;
        });
    }
    double now = 0;
    Skimmed skimmed;
    QObject::connect(&browser, &SignalBrowser::spotted, [&](const QString& call, double, double, bool, int) {
        if (!skimmed.spottedAt.contains(call))
            skimmed.spottedAt[call] = now;
    });
    QElapsedTimer timer;
    timer.start();
    for (size_t at = 0; at < audio.size(); at += 960) { // 20 ms blocks, as the card delivers
        browser.receive(std::span<const float>(audio).subspan(at, std::min<size_t>(960, audio.size() - at)));
        now = double(at + 960) / 48000;
    }
    skimmed.usedSeconds = double(timer.nsecsElapsed()) / 1e9;
    return skimmed;
}

// For each call spotted, the time from the end of the rendition that completed its spot (the
// last one before it) to the spot.
std::vector<double> spotDelays(const std::vector<SyntheticBand::CwStation>& stations,
                               const std::vector<std::vector<double>>& callEnds, const QMap<QString, double>& spottedAt) {
    std::vector<double> delays;
    for (size_t i = 0; i < stations.size(); ++i) {
        const QString call = callOf(stations[i]);
        if (!spottedAt.contains(call))
            continue;
        double lastEnd = callEnds[i].front();
        for (const double end : callEnds[i])
            if (end <= spottedAt[call])
                lastEnd = end;
        delays.push_back(spottedAt[call] - lastEnd);
    }
    return delays;
}

void printDelays(std::vector<double> delays, const char* over) {
    if (delays.empty())
        return;
    std::sort(delays.begin(), delays.end());
    std::printf("  from the call's last element to its spot%s: median %.2f s, p99 %.2f s, slowest %.2f s (%d spots)\n",
                over, delays[delays.size() / 2], delays[std::min(delays.size() - 1, size_t(double(delays.size()) * 0.99))],
                delays.back(), int(delays.size()));
}

// The same band over other noise: how many of its calls at -10 dB or better are spotted, and
// how many spots are busted, all seeds together; the spots' delays.
std::vector<double> overSeeds(const std::vector<unsigned>& seeds, const QSet<QString>& known, const char* what) {
    std::vector<std::vector<double>> callEnds;
    const std::vector<SyntheticBand::CwStation> stations = stationsOnTheBand(30, &callEnds);
    const QSet<QString> all = callsOf(stations);
    int calls = 0, spotted = 0, spots = 0;
    QStringList busted;
    std::vector<double> delays;
    for (const unsigned seed : seeds) {
        const Skimmed skimmed = skim(stations, known, seed);
        const std::vector<double> these = spotDelays(stations, callEnds, skimmed.spottedAt);
        delays.insert(delays.end(), these.begin(), these.end());
        for (const SyntheticBand::CwStation& s : stations)
            if (s.snrDb >= -10)
                ++calls, spotted += skimmed.spottedAt.contains(callOf(s));
        spots += int(skimmed.spottedAt.size());
        for (auto it = skimmed.spottedAt.begin(); it != skimmed.spottedAt.end(); ++it)
            if (!all.contains(it.key()))
                busted << it.key();
    }
    std::printf("  %s: %d of %d calls at -10 dB or better spotted (%.0f %%), busted spots %d of %d%s%s\n", what,
                spotted, calls, 100.0 * spotted / calls, int(busted.size()), spots, busted.isEmpty() ? "" : ": ",
                qPrintable(busted.join(", ")));
    return delays;
}

// Whether the skimmer, with the band's calls in MASTER.SCP, spots `call` in a station's `text`.
bool spottedIn(const QString& text, const QString& call) {
    CallsignPicker picker([&](const QString& word) { return word == call; }, QString());
    QList<CallsignPicker::Call> picked = picker.take(text + u' ');
    picked += picker.endOfText();
    return std::any_of(picked.begin(), picked.end(), [&](const CallsignPicker::Call& c) { return c.call == call; });
}

// The limit on the band: the ideal receiver, told the tone, the slot grid and the fade, hears
// each station alone (no neighbours, no crashes), keyed as a machine keys at its speed, over
// the ten noises: how often the skimmer's callsign picker, with the band's calls in
// MASTER.SCP, spots each call at -10 dB or better from its text. The band's own receivers
// have neighbours and crashes to hear through; only reading a call's renditions together,
// which this receiver does not, takes them further.
void limitOnTheBand(const std::vector<unsigned>& seeds) {
    constexpr double kStartSeconds = 1; // as on the band, so that the fades fall where they do there
    std::vector<std::vector<double>> callEnds;
    int calls = 0, read = 0;
    QStringList notAlways;
    for (const SyntheticBand::CwStation& station : stationsOnTheBand(30, &callEnds)) {
        if (station.snrDb < -10)
            continue;
        const MorseAudio::Fist fist{station.fist.wpm, 3, 0, station.fist.seed};
        double end = 0;
        const auto down = MorseAudio::keying(station.text, fist, &end);
        int readHere = 0;
        for (const unsigned seed : seeds) {
            std::vector<float> audio(size_t((kStartSeconds + end + 2) * kRate), 0.0f);
            MorseAudio::addTone(audio, kRate, kTone, kAmplitude, down, kStartSeconds, station.fading);
            MorseAudio::addNoise(audio, MorseAudio::sigmaFor(kAmplitude, station.snrDb, kRate), seed);
            const std::vector<float> signal(audio.begin() + long(kStartSeconds * kRate), audio.end());
            const auto fade = [&](double t) { return MorseAudio::fadeShare(station.fading, t + kStartSeconds); };
            readHere += spottedIn(idealReceiver(signal, fist.wpm, station.snrDb, fade), callOf(station));
        }
        calls += int(seeds.size());
        read += readHere;
        if (readHere < int(seeds.size()))
            notAlways << QString("%1 %2 of %3").arg(callOf(station)).arg(readHere).arg(seeds.size());
    }
    std::printf("  the limit, an ideal receiver hearing each station alone: %d of %d calls spotted "
                "(%.1f %%)%s%s\n", read, calls, 100.0 * read / calls, notAlways.isEmpty() ? "" : "; ",
                qPrintable(notAlways.join(", ")));
}

// Our skimmer on the same band, each station alone (with its static crashes) over the ten
// noises: what it loses on the crowded band is what the neighbours cost.
void aloneOnTheBand(const std::vector<unsigned>& seeds) {
    std::vector<std::vector<double>> callEnds;
    const std::vector<SyntheticBand::CwStation> stations = stationsOnTheBand(30, &callEnds);
    int calls = 0, spotted = 0;
    QStringList notAlways;
    for (const SyntheticBand::CwStation& station : stations) {
        if (station.snrDb < -10)
            continue;
        int here = 0;
        for (const unsigned seed : seeds)
            here += skim({station}, callsOf(stations), seed).spottedAt.contains(callOf(station));
        calls += int(seeds.size());
        spotted += here;
        if (here < int(seeds.size()))
            notAlways << QString("%1 %2 of %3").arg(callOf(station)).arg(here).arg(seeds.size());
    }
    std::printf("  our skimmer hearing each station alone: %d of %d calls spotted (%.1f %%)%s%s\n", spotted, calls,
                100.0 * spotted / calls, notAlways.isEmpty() ? "" : "; ", qPrintable(notAlways.join(", ")));
}

void band(bool callsKnown) {
    std::vector<std::vector<double>> callEnds;
    const std::vector<SyntheticBand::CwStation> stations = stationsOnTheBand(30, &callEnds);
    const Skimmed skimmed = skim(stations, callsKnown ? callsOf(stations) : QSet<QString>(), 7);
    const QMap<QString, double>& spottedAt = skimmed.spottedAt;
    const double used = skimmed.usedSeconds;
    struct Bucket {
        int calls = 0, spotted = 0;
    };
    QMap<int, Bucket> bySnr; // by 5 dB
    QSet<QString> calls;
    QStringList missed;
    for (size_t i = 0; i < stations.size(); ++i) {
        const QString call = callOf(stations[i]);
        calls.insert(call);
        Bucket& bucket = bySnr[int(std::floor(stations[i].snrDb / 5)) * 5];
        ++bucket.calls;
        if (spottedAt.contains(call)) {
            ++bucket.spotted;
        } else if (stations[i].snrDb >= -10) {
            missed << QString("%1 (%2 dB, %3 wpm%4%5)").arg(call).arg(stations[i].snrDb, 0, 'f', 1)
                          .arg(stations[i].fist.wpm).arg(i % 3 == 1 ? ", hand-sent" : "")
                          .arg(stations[i].fading.depthDb > 0 ? ", fading" : "");
        }
    }
    int busted = 0;
    for (auto it = spottedAt.begin(); it != spottedAt.end(); ++it)
        busted += !calls.contains(it.key());
    std::printf("Synthetic band: 30 stations, 16-40 wpm, a third hand-sent, a fifth fading 10 dB, static crashes, 60 s%s\n",
                callsKnown ? "; every call in MASTER.SCP" : "");
    for (auto it = bySnr.begin(); it != bySnr.end(); ++it)
        std::printf("  %+3d to %+3d dB: %d of %d calls spotted\n", it.key(), it.key() + 5, it.value().spotted, it.value().calls);
    std::printf("  busted spots: %d of %d\n", busted, int(spottedAt.size()));
    if (!missed.isEmpty())
        std::printf("  missed at -10 dB or better: %s\n", qPrintable(missed.join(", ")));
    std::vector<double> delays = spotDelays(stations, callEnds, spottedAt);
    printDelays(delays, "");
    // One noise gives some twenty spots, whose p99 is the slowest of them: over all ten.
    const std::vector<double> others =
        overSeeds({11, 23, 42, 99, 1, 2, 3, 4, 5}, callsKnown ? calls : QSet<QString>(), "over 9 other noise seeds");
    delays.insert(delays.end(), others.begin(), others.end());
    printDelays(delays, " over all ten noises");
    // The skimmer's settings were chosen on the ten noises above: others it was never tuned on,
    // ninety with MASTER.SCP (one draw of luck for thirty calls per noise is a wide spread).
    std::vector<unsigned> fresh(callsKnown ? 90 : 30);
    std::iota(fresh.begin(), fresh.end(), 100u);
    const QString what = QString("over %1 fresh noise seeds (100 to %2)").arg(fresh.size()).arg(fresh.back());
    overSeeds(fresh, callsKnown ? calls : QSet<QString>(), qPrintable(what));
    if (callsKnown) {
        limitOnTheBand({7, 11, 23, 42, 99, 1, 2, 3, 4, 5});
        aloneOnTheBand({7, 11, 23, 42, 99, 1, 2, 3, 4, 5});
        // A real MASTER.SCP also knows calls one character away from a station's: a call
        // misread as one of them is spotted busted. We estimate one in fifty of them is in the
        // list for calls such as K1XYZ or DL1ABC, fewer elsewhere.
        for (const double share : {0.02, 0.05}) {
            const QString what = QString("over all 10 noises, %1 % of the calls one character away in MASTER.SCP too")
                                     .arg(100 * share);
            overSeeds({7, 11, 23, 42, 99, 1, 2, 3, 4, 5}, callsWithNeighbours(stations, share), qPrintable(what));
        }
    }
    std::printf("Skimming the band at 48 kHz: %.2f s for 60 s of audio, %.1f %% of one core\n", used, 100 * used / 60);
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && QByteArray(argv[1]) == "--wav") { // 32 stations for bench/skimmer_cost.sh
        std::vector<std::vector<double>> callEnds;
        std::vector<float> audio = SyntheticBand::cwBand(stationsOnTheBand(32, &callEnds), 60, true);
        for (float& v : audio)
            v *= 2; // the noise at about -24 dB of full scale, the stations together under it
        return WavIo::write(QString::fromLocal8Bit(argv[2]), audio, 48000, nullptr) ? 0 : 1;
    }
    const int characters = argc > 1 ? std::atoi(argv[1]) : 2000;
    const double from = argc > 2 ? std::atof(argv[2]) : -14, to = argc > 3 ? std::atof(argv[3]) : 0;
    if (characters > 0)
        errorRates(characters, from, to);
    band(false);
    band(true);
    return 0;
}
