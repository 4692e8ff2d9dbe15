// The signal browser on a synthetic band: every signal found and decoded in its own row.
#include <QSet>
#include "digital/browser/BandDecimator.h"
#include "digital/browser/SignalBrowser.h"
#include "digital/modem/DspFactory.h"
#include "sim/SyntheticBand.h"

#include <QMap>
#include <QTest>

namespace {

// Ten PSK31 stations 60 to 300 Hz apart, -6 to +20 dB; 1040 and 1090 Hz are 50 Hz apart with
// 10 dB between them.
const std::vector<SyntheticBand::Signal> kPskBand = {
    {400, 20, "CQ CQ DE OH2XX OH2XX PSE K"},    {700, 6, "K1ABC DE DL1XYZ UR 599 599 BK"},
    {1040, 14, "QRZ? DE G4ABC G4ABC K"},        {1090, 4, "TU 73 DE JA1XYZ SK"},
    {1350, -6, "CQ TEST DE VE3AAA VE3AAA"},     {1600, 0, "599 001 001 TU"},
    {1800, 10, "PSE QSL VIA BURO 73"},          {2100, -3, "RIG HERE IS 100 W INTO DIPOLE"},
    {2400, 12, "NAME IS JOHN JOHN QTH LONDON"}, {2700, 3, "CQ DX CQ DX DE S51AB K"},
};

// Five RTTY stations (45.45 baud, 170 Hz) 250 Hz apart, from +20 down to -6 dB: a tone of one
// is 80 Hz from a tone of the next, and each has a stronger neighbour.
const std::vector<SyntheticBand::Signal> kRttyBand = {
    {900, 20, "CQ TEST DE OH2XX OH2XX K"},
    {1150, 12, "599 001 001 TU"},
    {1400, 6, "K1ABC 599 14 BK"},
    {1650, 0, "TU DE DL1XYZ TEST"},
    {1900, -6, "QRZ DE G4ABC"},
};

// Eight CW stations over the band, calling CQ and sending their exchange: machine, hand and
// bug fists, 16 to 40 wpm, -3 to +20 dB; 650 and 710 Hz are 60 Hz apart with 10 dB between
// them; one fades by 10 dB (to +2 dB) twelve times a minute.
QString cq(const QString& call) {
    return QString("CQ TEST %1 %1 TEST     TU %1 5NN 14     CQ TEST %1 %1 TEST").arg(call);
}
const std::vector<SyntheticBand::CwStation> kCwBand = {
    {500, 20, cq("DL1ABC"), {30, 3, 0, 1}},
    {650, 13, cq("K1XYZ"), {25, 3.3, 0.2, 2}},
    {710, 3, cq("G4ABC"), {22, 3, 0, 3}},
    {1000, -3, cq("VE3AAA"), {18, 3, 0, 4}},
    {1300, 6, cq("JA1XYZ"), {40, 3, 0, 5}},
    {1700, 3, cq("S51AB/P"), {22, 4, 0.15, 6}},
    {2100, 12, cq("EA8/OH2BH"), {16, 3, 0, 7}, {10, 0.2}},
    {2500, 10, cq("W1AW"), {28, 3, 0, 8}},
};

// The row that was on `hz`, or -1.
int rowAt(const QMap<int, double>& rows, double hz, double within) {
    int id = -1;
    for (auto it = rows.begin(); it != rows.end(); ++it)
        if (std::abs(it.value() - hz) < within)
            id = it.key();
    return id;
}

// Everything each row showed over the run: its text as it grew, and where it was.
struct Heard {
    QMap<int, QString> text;
    QMap<int, double> hz;
};

Heard listen(SignalBrowser& browser, const std::vector<float>& band) {
    Heard heard;
    QMap<int, qint64> taken; // how many of each row's characters are already taken
    const QMetaObject::Connection watching =
        QObject::connect(&browser, &SignalBrowser::rowsChanged, [&] {
            for (const SignalBrowser::Row& row : browser.rows()) {
                heard.hz[row.id] = row.hz;
                const qint64 fresh = row.received - taken.value(row.id, 0);
                heard.text[row.id] +=
                    row.text.right(qsizetype(std::min<qint64>(fresh, row.text.size())));
                taken[row.id] = row.received;
            }
        });
    for (size_t at = 0; at < band.size(); at += 480)
        browser.receive(
            std::span<const float>(band).subspan(at, std::min<size_t>(480, band.size() - at)));
    QObject::disconnect(watching);
    return heard;
}

} // namespace

class SignalBrowserTest : public QObject {
    Q_OBJECT
  private slots:
    void decimator_keepsTheAudioBand_andDropsWhatWouldFoldIn() {
        auto levelAfter = [](double hz) {
            BandDecimator decimator;
            std::vector<float> tone(48000), out;
            for (size_t n = 0; n < tone.size(); ++n)
                tone[n] = float(std::sin(2 * M_PI * hz * double(n) / 48000));
            decimator.process(tone, out);
            double peak = 0;
            for (size_t n = out.size() / 2; n < out.size(); ++n)
                peak = std::max(peak, std::abs(double(out[n])));
            return peak;
        };
        QVERIFY(std::abs(levelAfter(1000) - 1.0) < 0.02);
        QVERIFY(std::abs(levelAfter(3000) - 1.0) < 0.05);
        QVERIFY(levelAfter(9000) < 0.01); // would fold onto 1 kHz
    }

    // The skimmer's calls: where a station signs, decoded twice or known, never the
    // operator's own; each with the tone it was heard on and whether it called CQ.
    void pskBand_callsAreSpotted_asASkimmerPicksThem() {
        SignalBrowser browser;
        browser.setOwnCall("OH2XX");
        browser.setCallsignLookup([](const QString& word) -> std::optional<QString> {
            return word == "S51AB" ? std::optional<QString>(word) : std::nullopt;
        });
        QStringList spots;
        connect(&browser, &SignalBrowser::spotted, this,
                [&](const QString& call, double hz, double, bool calledCq) {
                    spots << QString("%1 %2 %3").arg(call).arg(std::lround(hz / 10) * 10).arg(calledCq ? "CQ" : "DE");
                });
        listen(browser, SyntheticBand::band(kPskBand, false));
        spots.sort();
        // Twice: G4ABC, VE3AAA; known: S51AB; once and unknown: DL1XYZ, JA1XYZ; own: OH2XX.
        QCOMPARE(spots, QStringList({"G4ABC 1040 DE", "S51AB 2700 CQ", "VE3AAA 1350 CQ"}));
        QCOMPARE(browser.spotMode(), QString("PSK31"));
    }

    void pskBand_everySignalInItsOwnRow_inFrequencyOrder() {
        SignalBrowser browser;
        const std::vector<float> band = SyntheticBand::band(kPskBand, false);
        const Heard heard = listen(browser, band);
        QVERIFY(std::is_sorted(browser.rows().begin(), browser.rows().end(),
                               [](const auto& a, const auto& b) { return a.hz < b.hz; }));
        for (const SyntheticBand::Signal& signal : kPskBand) {
            const int id = rowAt(heard.hz, signal.hz, 6);
            QVERIFY2(id >= 0, qPrintable(QString("no row at %1 Hz").arg(signal.hz)));
            const double cer = SyntheticBand::characterErrorRate(signal.text, heard.text[id]);
            qInfo("%6.0f Hz %+3.0f dB  CER %.3f", signal.hz, signal.snrDb, cer);
            QVERIFY2(cer < 0.01,
                     qPrintable(QString("%1 Hz: %2").arg(signal.hz).arg(heard.text[id])));
        }
        QCOMPARE(int(browser.rows().size()), int(kPskBand.size()));
        // While they send, each row shows its station's S/N in 2500 Hz within 3 dB.
        SignalBrowser midway;
        listen(midway, std::vector<float>(band.begin(), band.begin() + long(48000 * 8)));
        QCOMPARE(int(midway.rows().size()), int(kPskBand.size()));
        for (size_t i = 0; i < kPskBand.size(); ++i)
            QVERIFY2(
                std::abs(midway.rows()[i].snrDb - kPskBand[i].snrDb) < 3,
                qPrintable(
                    QString("%1 Hz shows %2 dB").arg(kPskBand[i].hz).arg(midway.rows()[i].snrDb)));
    }

    // CW: a row per station at its tone and speed (the weaker of the pair 60 Hz apart too),
    // no row for noise, static or a station's keying sidebands, every call spotted with the
    // sender's speed and none busted.
    void cwBand_everyStationRead_andSpotted() {
        SignalBrowser browser;
        browser.setListensForCw(true);
        QCOMPARE(browser.spotMode(), QString("CW"));
        QMap<QString, int> spotted; // call: speed
        connect(&browser, &SignalBrowser::spotted, this,
                [&](const QString& call, double, double, bool, int wpm) { spotted[call] = wpm; });
        QMap<int, int> speeds; // row: the last speed it showed
        connect(&browser, &SignalBrowser::rowsChanged, this, [&] {
            for (const SignalBrowser::Row& row : browser.rows())
                speeds[row.id] = row.wpm;
        });
        double longest = 0;
        for (const SyntheticBand::CwStation& station : kCwBand) {
            double end = 0;
            MorseAudio::keying(station.text, station.fist, &end);
            longest = std::max(longest, end);
        }
        const Heard heard = listen(browser, SyntheticBand::cwBand(kCwBand, longest + 3, true));
        QCOMPARE(int(heard.hz.size()), int(kCwBand.size()));
        for (const SyntheticBand::CwStation& station : kCwBand) {
            const int id = rowAt(heard.hz, station.hz, 8);
            QVERIFY2(id >= 0, qPrintable(QString("no row at %1 Hz").arg(station.hz)));
            // The finder takes a station a second or two after it began: its CQ is counted
            // from the call on.
            const QString fromTheCall = station.text.mid(QString("CQ TEST ").size()).simplified();
            const double cer = SyntheticBand::characterErrorRate(fromTheCall, heard.text[id].simplified());
            qInfo("%6.0f Hz %+3.0f dB %2.0f wpm: CER %.3f, read at %d wpm", station.hz, station.snrDb,
                  station.fist.wpm, cer, speeds[id]);
            QVERIFY2(cer < 0.1, qPrintable(QString("%1 Hz: %2").arg(station.hz).arg(heard.text[id])));
            if (station.fist.jitter == 0)
                QVERIFY2(std::abs(speeds[id] - station.fist.wpm) <= 0.1 * station.fist.wpm,
                         qPrintable(QString("%1 Hz at %2 wpm").arg(station.hz).arg(speeds[id])));
            const QString call = station.text.section(' ', 2, 2);
            QVERIFY2(spotted.contains(call), qPrintable(call + " not spotted: " + heard.text[id]));
        }
        QCOMPARE(spotted.size(), int(kCwBand.size())); // nothing busted
    }

    // A station 23 dB weaker and 85 Hz above a strong one, buried in its keying's sidebands
    // unless the strong one is taken out of what its receiver hears.
    void cwBand_aWeakStationBesideAStrongOne_isRead() {
        const std::vector<SyntheticBand::CwStation> pair = {
            {1915, 20, cq("UA3AB"), {24, 3, 0, 20}},
            {2000, -3, cq("N2ABC"), {31, 3, 0, 21}},
        };
        SignalBrowser browser;
        browser.setListensForCw(true);
        QSet<QString> spotted;
        connect(&browser, &SignalBrowser::spotted, this,
                [&](const QString& call) { spotted.insert(call); });
        const Heard heard = listen(browser, SyntheticBand::cwBand(pair, 32, true));
        for (const SyntheticBand::CwStation& station : pair) {
            const int id = rowAt(heard.hz, station.hz, 8);
            QVERIFY2(id >= 0, qPrintable(QString("no row at %1 Hz").arg(station.hz)));
            const QString fromTheCall = station.text.mid(QString("CQ TEST ").size()).simplified();
            const double cer = SyntheticBand::characterErrorRate(fromTheCall, heard.text[id].simplified());
            QVERIFY2(cer < 0.2, qPrintable(QString("%1 Hz: %2").arg(station.hz).arg(heard.text[id])));
            QVERIFY(spotted.contains(station.text.section(' ', 2, 2)));
        }
    }

    // A weak station between a strong one 85 Hz below and a fast hand 85 Hz above, which the
    // strong one, 170 Hz from it and 10 dB louder, would spoil the copy of: read through the
    // noises as well as alone, near enough (a tenth of its characters wrong over four noises
    // came to a fifth when the hand's copy heard the strong station).
    void cwBand_aWeakStationBetweenTwo_isRead() {
        const std::vector<SyntheticBand::CwStation> three = {
            {725, 15, cq("S51AB"), {26, 3, 0, 6}},
            {810, -6, cq("OH2BH"), {33, 3, 0, 7}},
            {895, 5.5, cq("W1AW"), {40, 2.85, 0.2, 8}},
        };
        double errors = 0;
        int spottedIn = 0;
        for (const unsigned seed : {1u, 2u, 3u, 4u}) {
            SignalBrowser browser;
            browser.setListensForCw(true);
            QSet<QString> spotted;
            connect(&browser, &SignalBrowser::spotted, this, [&](const QString& call) { spotted.insert(call); });
            const Heard heard = listen(browser, SyntheticBand::cwBand(three, 40, true, seed));
            const int id = rowAt(heard.hz, 810, 8);
            QVERIFY2(id >= 0, "no row for the weak station");
            const QString fromTheCall = three[1].text.mid(QString("CQ TEST ").size()).simplified();
            errors += SyntheticBand::characterErrorRate(fromTheCall, heard.text[id].simplified());
            spottedIn += spotted.contains("OH2BH");
        }
        QVERIFY2(errors / 4 < 0.17, qPrintable(QString("a share of %1 wrong").arg(errors / 4)));
        QVERIFY(spottedIn >= 3);
    }

    // A slow hand's long characters: its "0" (five dashes four dots long, 2.4 s at 12 wpm)
    // prints nothing for longer than a faster station's word would last, and is still part of
    // the call.
    void cwSlowHand_aLongCharacterStaysInItsCall() {
        const std::vector<SyntheticBand::CwStation> slow = {{1200, 10, "CQ TEST K0ABC K0ABC TEST", {12, 4, 0, 9}}};
        SignalBrowser browser;
        browser.setListensForCw(true);
        QSet<QString> spotted;
        connect(&browser, &SignalBrowser::spotted, this, [&](const QString& call) { spotted.insert(call); });
        double end = 0;
        MorseAudio::keying(slow[0].text, slow[0].fist, &end);
        const Heard heard = listen(browser, SyntheticBand::cwBand(slow, end + 4));
        QCOMPARE(spotted, QSet<QString>{"K0ABC"});
        QVERIFY2(heard.text.first().contains("K0ABC K0ABC"), qPrintable(heard.text.first()));
    }

    // Noise alone, a steady hum near DC and a strong station alone make no row of their own.
    void cwBand_noiseAndDcMakeNoRow_aStrongStationOne() {
        SignalBrowser browser;
        browser.setListensForCw(true);
        std::vector<float> hum = SyntheticBand::noise(30, 3);
        for (size_t n = 0; n < hum.size(); ++n)
            hum[n] += float(0.05 + 0.02 * std::sin(2 * M_PI * 50 * double(n) / 48000));
        listen(browser, hum);
        QVERIFY(browser.rows().empty());
        SignalBrowser alone;
        alone.setListensForCw(true);
        const Heard heard = listen(alone, SyntheticBand::cwBand({kCwBand[0]}, 30));
        QCOMPARE(int(heard.hz.size()), 1);
    }

    // RTTY: a row for every station, each read clean, the weak beside the stronger too (beside
    // each, what the terminal's own receiver, tuned exactly, reads of it: worse, as it hears
    // the neighbours' tones).
    void rttyBand_everySignalInItsOwnRow_eachClean() {
        SignalBrowser browser;
        const ModeList::Mode& rtty = ModeList::modes()[ModeList::indexOf("rtty-u")];
        browser.setMode(rtty, 45.45);
        const std::vector<float> band = SyntheticBand::band(kRttyBand, true);
        const Heard heard = listen(browser, band);
        QCOMPARE(int(browser.rows().size()), int(kRttyBand.size()));
        for (const SyntheticBand::Signal& signal : kRttyBand) {
            const int id = rowAt(heard.hz, signal.hz, 15);
            QVERIFY2(id >= 0, qPrintable(QString("no row at %1 Hz").arg(signal.hz)));
            const double cer = SyntheticBand::characterErrorRate(signal.text, heard.text[id]);
            const auto main = DspFactory::demodulator(
                rtty, {.sampleRate = 48000, .carrierHz = signal.hz, .baud = 45.45});
            const double mainCer =
                SyntheticBand::characterErrorRate(signal.text, main->process(band));
            qInfo("%6.0f Hz %+3.0f dB  CER %.3f (main receiver %.3f)", signal.hz, signal.snrDb, cer,
                  mainCer);
            QVERIFY2(cer < 0.01,
                     qPrintable(QString("%1 Hz: %2").arg(signal.hz).arg(heard.text[id])));
        }
    }

    // A known callsign is marked in its row; one no row showed before is told once; a word is
    // looked up whole (K1AB, known too, is not what K1ABC begins with).
    void knownCallsign_markedInItsRow_andToldOnce() {
        SignalBrowser browser;
        browser.setCallsignLookup([](const QString& word) -> std::optional<QString> {
            if (word == "OH2XX" || word == "K1ABC" || word == "K1AB")
                return word;
            return std::nullopt;
        });
        QStringList told;
        connect(&browser, &SignalBrowser::newCallsign, this,
                [&](const QString& call, double) { told << call; });
        listen(browser,
               SyntheticBand::band(
                   {{800, 10, "CQ DE OH2XX OH2XX K"}, {1900, 10, "OH2XX DE K1ABC K"}}, false, 3));
        QCOMPARE(told, (QStringList{"OH2XX", "K1ABC"}));
        QCOMPARE(browser.rows()[0].callsign, QStringLiteral("OH2XX"));
        QCOMPARE(browser.rows()[1].callsign, QStringLiteral("K1ABC"));
    }

    // Sound from a broken driver (NaN, huge values) does not stop the browser for good.
    void brokenSound_isForgotten() {
        SignalBrowser browser;
        std::vector<float> junk(48000, 1e30f);
        for (size_t n = 0; n < junk.size(); n += 3)
            junk[n] = std::nanf("");
        listen(browser, junk);
        const Heard heard =
            listen(browser, SyntheticBand::band({{1200, 10, "CQ DE OH2XX OH2XX K"}}, false, 4));
        const int id = rowAt(heard.hz, 1200, 6);
        QVERIFY(id >= 0);
        QVERIFY(heard.text[id].contains("CQ DE OH2XX OH2XX K"));
    }

    // A station that stops leaves after half a minute; its receiver, given to the next
    // station, starts clean: nothing of the old text, a row of its own.
    void silentSignal_leaves_andItsReceiverStartsClean() {
        SignalBrowser browser;
        listen(browser, SyntheticBand::band({{1000, 10, "OH2XX OH2XX"}}, false, 3));
        QCOMPARE(int(browser.rows().size()), 1);
        const int firstId = browser.rows()[0].id;
        QVERIFY(browser.rows()[0].text.contains("OH2XX"));
        listen(browser, SyntheticBand::noise(SignalBrowser::kSilentSeconds - 5, 9));
        QCOMPARE(int(browser.rows().size()), 1); // not yet
        listen(browser, SyntheticBand::noise(10, 10));
        QCOMPARE(int(browser.rows().size()), 0);
        const Heard heard =
            listen(browser, SyntheticBand::band({{1600, 10, "K1ABC K1ABC"}}, false, 3, 11));
        QCOMPARE(int(browser.rows().size()), 1);
        QVERIFY(browser.rows()[0].id != firstId);
        QVERIFY(std::abs(browser.rows()[0].hz - 1600) < 6);
        QVERIFY(!heard.text.first().contains("OH2"));
        QVERIFY(browser.rows()[0].text.contains("K1ABC K1ABC"));
    }
};

QTEST_GUILESS_MAIN(SignalBrowserTest)
#include "tst_SignalBrowser.moc"
