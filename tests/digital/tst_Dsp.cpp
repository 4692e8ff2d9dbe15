// The modes' codes and DSP blocks: codes, round trips through noise, offset and drift, and
// the contract every block of the mode list keeps (a reset object is a new one; the text does
// not depend on how the sound is cut into blocks).
#include "digital/dsp/Baudot.h"
#include "digital/dsp/FskPhaseTracker.h"
#include "digital/dsp/Mixer.h"
#include "digital/dsp/QpskCode.h"
#include "digital/dsp/Varicode.h"
#include "digital/dsp/PskDemodulator.h"
#include "digital/dsp/PskModulator.h"
#include "digital/dsp/RttyDemodulator.h"
#include "digital/dsp/RttyModulator.h"
#include "sim/Awgn.h"
#include "digital/modem/DspFactory.h"

#include <QTest>
#include <random>

namespace {

const QString kText = "CQ CQ DE OH2XX OH2XX PSE K - the quick brown fox 0123456789";

QString pskRoundTrip(double rate, double carrier, double baud, double snrDb, double offsetHz = 0,
                        double ppm = 0, bool qpsk = false) {
    std::vector<float> sound = PskModulator(rate, carrier + offsetHz, baud, qpsk).transmit(kText);
    if (snrDb < 99)
        sound = Awgn::add(sound, snrDb, rate);
    if (ppm != 0)
        sound = Awgn::clockError(sound, ppm);
    PskDemodulator demodulator(rate, carrier, baud, qpsk);
    return demodulator.process(sound);
}

constexpr double kRate = 8000;
const QString kCall = "CQ DE OH2XX K";

// The transmission of kCall in a mode, with some noise, as a receiver at 1500 Hz hears it.
std::vector<float> heard(const ModeList::Mode& mode) {
    return Awgn::add(DspFactory::modulator(mode, {kRate, 1505, 0})->transmit("VVV " + kCall), 20, kRate);
}

std::unique_ptr<Demodulator> receiver(const ModeList::Mode& mode) {
    return DspFactory::demodulator(mode, {kRate, 1500, 0});
}

// Everything the receiver tells after each block of `block` samples.
QStringList follow(Demodulator& rx, const std::vector<float>& sound, size_t block) {
    QStringList seen;
    for (size_t at = 0; at < sound.size(); at += block) {
        const auto piece = std::span<const float>(sound).subspan(at, std::min(block, sound.size() - at));
        seen << rx.process(piece) + QString("|%1|%2").arg(rx.carrier(), 0, 'g', 17).arg(rx.signalToNoise(), 0, 'g', 17);
    }
    return seen;
}

} // namespace

class DspTest : public QObject {
    Q_OBJECT
  private slots:
    // Every character comes back (so no code is empty, shared or holds "00"); the codes are
    // the standard ones other PSK31 programs use.
    // The oscillator is turned step by step: after an hour at 48 kHz its phase and length must
    // still be those of the tone, and a retune must go on from the phase reached.
    void mixer_staysOnTheToneForAnHour_andRetunesWithoutAJump() {
        const double rate = 48000, hz = 1234.567;
        Mixer mixer(rate, hz);
        const long samples = long(rate) * 3600;
        std::complex<double> last;
        for (long n = 0; n < samples; ++n)
            last = mixer.down(1.0);
        const double phase = -2 * M_PI * std::fmod(hz * double(samples - 1) / rate, 1.0);
        QVERIFY(std::abs(std::abs(last) - 1) < 1e-9);
        QVERIFY(std::abs(std::arg(last * std::polar(1.0, -phase))) < 1e-6);
        const std::complex<double> before = mixer.down(1.0);
        mixer.setFrequency(700);
        const std::complex<double> after = mixer.down(1.0);
        const double expectedTurn = -2 * M_PI * hz / rate; // the step taken before the retune
        QVERIFY(std::abs(std::arg(after / before) - expectedTurn) < 1e-9);
        mixer.reset();
        QVERIFY(std::abs(mixer.down(2.0) - std::complex<double>(2, 0)) < 1e-12);
    }

    void varicode_roundTripsEveryCharacter() {
        QCOMPARE(Varicode::encode('e'), QByteArray("11"));
        QCOMPARE(Varicode::encode(' '), QByteArray("1"));
        QVERIFY(Varicode::encode(200).isEmpty());
        Varicode::Decoder decoder;
        QByteArray decoded;
        for (int i = 0; i < 3; ++i)
            decoder.push(false); // idle
        for (int c = 0; c < 128; ++c) {
            for (char bit : Varicode::encode(uchar(c)) + "00")
                decoded += decoder.push(bit == '1');
        }
        QCOMPARE(decoded.size(), 128);
        for (int c = 0; c < 128; ++c)
            QCOMPARE(int(uchar(decoded[c])), c);
    }

    // A wrong BPSK symbol flips the two bits beside it, QPSK's decoder mostly one; with the
    // bits' margins the decoder puts back two words that a spoiled separator joined.
    void varicode_mendsAWordOneWrongSymbolSpoiled() {
        auto feed = [](Varicode::Decoder& decoder, const QByteArray& bits, int weakBit) {
            QByteArray out;
            for (qsizetype i = 0; i < bits.size(); ++i)
                out += decoder.push(bits[i] == '1', i == weakBit ? 0.1 : 1.0);
            return out;
        };
        // "C" and "Q" whose separator was read as "11": no character as a whole.
        const QByteArray joined = Varicode::encode('C') + "11" + Varicode::encode('Q') + "00";
        Varicode::Decoder decoder;
        QCOMPARE(feed(decoder, joined, 8), QByteArray("CQ"));
        // The least sure symbol decides: were it the next one, "5N" fits as well.
        QCOMPARE(feed(decoder, joined, 9), QByteArray("5N"));
        // A known word is taken as it stands, whatever its margins.
        QCOMPARE(feed(decoder, Varicode::encode('E') + "00", 1), QByteArray("E"));
        Varicode::Decoder hard;
        QByteArray heard;
        for (char bit : joined)
            heard += hard.push(bit == '1');
        QVERIFY(heard.isEmpty()); // no margins: an unknown word is dropped, not guessed
        // QPSK's decoder errs by single bits: the separator read as "10".
        Varicode::Decoder qpsk(Varicode::Decoder::Errors::SingleBits);
        const QByteArray cut = Varicode::encode('C') + "10" + Varicode::encode('Q') + "00";
        QCOMPARE(feed(qpsk, cut, 8), QByteArray("CQ"));
    }

    void baudot_roundTripWithShiftsAndUnshiftOnSpace_leavesOutWhatHasNoCode() {
        Baudot::Encoder encoder;
        const QList<quint8> codes = encoder.encode("rst 599 5nn, qth 1A?~%");
        // after the space the receiver is back in letters: "5" needs FIGS again; what has no
        // code is left out
        Baudot::Decoder decoder;
        QString text;
        for (quint8 code : codes)
            text += decoder.push(code);
        QCOMPARE(text, QString("RST 599 5NN, QTH 1A?"));
        QCOMPARE(codes.count(Baudot::kFigures), 5); // 599, 5 (after a space), ",", 1, ?
    }

    // Noise that turns a letter into a figures shift used to print every letter after it as
    // figures until the next space. A figure that amateur traffic all but never sends ends
    // that: it is the letter, and the receiver is back in letters. Digits and the signs of
    // reports and serials keep the shift.
    void baudot_aFalseFiguresShift_isUndoneByAFigureNobodySends() {
        auto decode = [](const QString& letters, bool falseShiftFirst) {
            Baudot::Encoder encoder;
            QList<quint8> codes = encoder.encode(letters);
            if (falseShiftFirst)
                codes.insert(1, Baudot::kFigures); // after the letters shift the encoder sends
            Baudot::Decoder decoder;
            QString text;
            for (quint8 code : codes)
                text += decoder.push(code);
            return text;
        };
        QCOMPARE(decode("HELLO", true), QString("HELLO")); // H would be "#"
        QCOMPARE(decode("DXCC", true), QString("DXCC"));   // D would be "$"
        QCOMPARE(decode("TEST", true), QString("53'5"));   // nothing rare: no way to tell
        QCOMPARE(decode("599 073/P?", false), QString("599 073/P?"));
    }

    // Symbols, one in thirty-six a whole quarter turn wrong, another weak and off (each spoils
    // the two turns beside it when measured from the symbol before): measured that way, and
    // from a steady reference while the carrier's phase creeps (a little off frequency).
    void qpskViterbi_correctsScatteredWrongTurns_andWeighsSoftOnes() {
        std::mt19937 random(7);
        std::vector<bool> bits(2000);
        for (size_t i = 8; i < bits.size(); ++i) // after the idle a transmission starts with
            bits[i] = random() & 1;
        for (const double keep : {0.0, QpskCode::Viterbi::kSteadyKeep}) {
            QpskCode::Encoder encoder;
            QpskCode::Viterbi viterbi;
            viterbi.setReferenceKeep(keep);
            std::vector<bool> decided;
            std::complex<double> sent = 1;
            QCOMPARE(viterbi.push(sent), -1); // only the reference
            for (size_t i = 0; i < bits.size() + QpskCode::Viterbi::kDepth; ++i) {
                const bool bit = i < bits.size() && bits[i];
                sent *= QpskCode::turnFor(encoder.push(bit)) * std::polar(1.0, keep > 0 ? 0.05 : 0.0);
                std::complex<double> symbol = sent;
                if (i % 36 == 5)
                    symbol *= std::complex<double>(0, 1); // a whole quarter turn wrong
                if (i % 36 == 23)
                    symbol = symbol * 0.2 + std::complex<double>(0.5, -0.5); // weak and off
                const int out = viterbi.push(symbol);
                if (out >= 0)
                    decided.push_back(out == 1);
            }
            decided.resize(bits.size());
            QCOMPARE(decided, bits);
        }
    }

    // Every kind of mode across the band, at every PSK speed and at the sound cards' rates (the
    // contract tests below run each mode at 1500 Hz and 8 kHz): the text, nothing before or after.
    void roundTrip_acrossTheBandAndRates_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<double>("rate");
        QTest::addColumn<double>("carrier");
        QTest::addColumn<double>("baud");
        for (const char* mode : {"bpsk", "qpsk"})
            for (double baud : {31.25, 62.5, 125.0})
                for (double carrier : {300.0, 1500.0, 2700.0})
                    QTest::addRow("%s %g baud at %g Hz", mode, baud, carrier) << mode << 8000.0 << carrier << baud;
        for (const char* mode : {"bpsk", "qpsk", "rtty-u"}) {
            QTest::addRow("%s, 48 kHz sound card", mode) << mode << 48000.0 << 1000.0 << 0.0;
            QTest::addRow("%s, 44.1 kHz file", mode) << mode << 44100.0 << 1000.0 << 0.0;
        }
        QTest::newRow("rtty-u low") << "rtty-u" << 8000.0 << 400.0 << 0.0;
        QTest::newRow("rtty-u high") << "rtty-u" << 8000.0 << 2800.0 << 0.0;
    }
    void roundTrip_acrossTheBandAndRates() {
        QFETCH(QString, mode);
        QFETCH(double, rate);
        QFETCH(double, carrier);
        QFETCH(double, baud);
        const ModeList::Mode& m = ModeList::modes()[ModeList::indexOf(mode)];
        const DspFactory::Settings settings{rate, carrier, baud};
        const QString got = DspFactory::demodulator(m, settings)->process(DspFactory::modulator(m, settings)->transmit(kText));
        QVERIFY2(got == (ModeList::isPsk(m.kind) ? kText : kText.toUpper()), qPrintable(got));
    }

    void psk_withNoiseOffsetAndClockError() {
        for (bool qpsk : {false, true}) {
            QVERIFY(pskRoundTrip(8000, 1500, 31.25, -3, 0, 0, qpsk).contains(kText)); // error-free well above -6 dB
            QVERIFY(pskRoundTrip(8000, 1500, 31.25, 100, 3.0, 0, qpsk).contains(kText)); // 3 Hz off, AFC
            QVERIFY(pskRoundTrip(8000, 1500, 31.25, 100, 0, 200, qpsk).contains(kText));
            QVERIFY(pskRoundTrip(8000, 1500, 31.25, 100, 0, -200, qpsk).contains(kText));
        }
    }

    void psk_afcPullsInFrom20HzOff() {
        for (bool qpsk : {false, true}) {
            for (double offset : {20.0, -20.0}) {
                const std::vector<float> sound =
                    PskModulator(8000, 1500 + offset, 31.25, qpsk).transmit("VVV VVV " + kText);
                PskDemodulator demodulator(8000, 1500, 31.25, qpsk);
                const QString got = demodulator.process(sound);
                // BPSK pulls in on the idle preamble, so even the first characters come through.
                QVERIFY2(got.contains(qpsk ? kText : "VVV VVV " + kText), qPrintable(got));
                QVERIFY2(std::fabs(demodulator.carrier() - (1500 + offset)) < 0.5, qPrintable(QString("%1 %2").arg(qpsk).arg(demodulator.carrier())));
            }
        }
    }

    // On the air a station starts after noise alone, and its first words are its call. The AFC
    // must not wander off in the noise (it had moved up to 40 Hz in 10 s and lost the call),
    // and bursts of noise it took for a signal are undone.
    void psk_afterLongNoise_theFirstWordsAreHeard_data() {
        QTest::addColumn<double>("baud");
        QTest::addColumn<bool>("qpsk");
        QTest::addColumn<double>("offsetHz");
        QTest::newRow("BPSK31") << 31.25 << false << 0.0;
        QTest::newRow("BPSK31, 20 Hz off") << 31.25 << false << 20.0;
        QTest::newRow("QPSK31") << 31.25 << true << 0.0;
        QTest::newRow("QPSK31, 3 Hz off") << 31.25 << true << -3.0;
        QTest::newRow("BPSK63") << 62.5 << false << 0.0;
        QTest::newRow("BPSK63, 20 Hz off") << 62.5 << false << -20.0;
    }
    void psk_afterLongNoise_theFirstWordsAreHeard() {
        QFETCH(double, baud);
        QFETCH(bool, qpsk);
        QFETCH(double, offsetHz);
        const std::vector<float> signal = PskModulator(kRate, 1000 + offsetHz, baud, qpsk).transmit(kText);
        for (unsigned seed = 1; seed <= 12; ++seed) {
            const std::vector<float> sound = Awgn::afterNoise(signal, 10, 10, kRate, seed);
            PskDemodulator rx(kRate, 1000, baud, qpsk);
            const QString got = rx.process(sound);
            QVERIFY2(got.contains(kText), qPrintable(QString("seed %1: %2").arg(seed).arg(got)));
        }
    }

    void psk_noiseAlone_leavesTheCarrierWhereItWasPut() {
        for (bool qpsk : {false, true}) {
            const std::vector<float> noise = Awgn::afterNoise({0.1f}, 60, 0, kRate, 4);
            PskDemodulator rx(kRate, 1000, 31.25, qpsk);
            rx.process(noise);
            QVERIFY2(std::fabs(rx.carrier() - 1000) < 1, qPrintable(QString::number(rx.carrier())));
            QVERIFY(!rx.hearsSignal());
        }
    }

    // The character clock follows senders that leave one or two stop bits, pauses of any
    // length, clocks 200 ppm off, and gets its timing back after a burst of noise.
    void rtty_followsTheSendersTiming() {
        const QString text = kText.toUpper();
        for (double stopBits : {1.0, 1.5, 2.0}) {
            RttyModulator tx(8000, 1500, 45.45, 170, false, stopBits);
            std::vector<float> sound;
            tx.mark(20, sound);
            Baudot::Encoder encoder;
            for (int part = 0; part < 3; ++part) {
                for (quint8 code : encoder.encode(text + " "))
                    tx.code(code, sound);
                tx.mark(0.3 + 2.7 * part, sound); // a pause that fits no frame
            }
            for (double ppm : {0.0, 200.0, -200.0}) {
                const std::vector<float> heard = Awgn::clockError(Awgn::add(sound, 0, 8000, 3), ppm);
                RttyDemodulator rx(8000, 1500);
                const QString got = rx.process(heard);
                QVERIFY2(got.count(text) == 3, qPrintable(QString("%1 stop bits, %2 ppm: %3").arg(stopBits).arg(ppm).arg(got)));
            }
        }
    }

    void rtty_afcPullsIn_andMeasuresSignalToNoise() {
        const QString text = kText.toUpper();
        for (double offset : {25.0, -25.0}) {
            std::vector<float> sound = RttyModulator(8000, 1500 + offset).transmit(kText + " " + kText);
            sound = Awgn::add(sound, -3, 8000, 5);
            RttyDemodulator rx(8000, 1500);
            const QString got = rx.process(sound);
            QVERIFY2(got.endsWith(text), qPrintable(got));
            QVERIFY2(std::fabs(rx.carrier() - (1500 + offset)) < 2, qPrintable(QString::number(rx.carrier())));
            // -3 dB in 2500 Hz is 14.4 dB in the 45.45 Hz of a bit.
            QVERIFY2(std::fabs(rx.signalToNoise() - 14.4) < 1.5, qPrintable(QString::number(rx.signalToNoise())));
        }
        std::vector<float> sound = RttyModulator(8000, 1540).transmit(kText); // beyond reach
        RttyDemodulator rx(8000, 1500);
        rx.process(sound);
        QVERIFY(std::fabs(rx.carrier() - 1500) <= RttyDemodulator::kAfcRangeHz);
        std::mt19937 random(9);
        std::normal_distribution<float> gauss(0, 0.3f);
        std::vector<float> noise(8000 * 60);
        for (float& v : noise)
            v = gauss(random);
        RttyDemodulator onNoise(8000, 1500);
        onNoise.process(noise);
        QCOMPARE(onNoise.carrier(), 1500.0); // noise alone does not move it
        RttyDemodulator still(8000, 1500);
        still.setAfc(false);
        sound = RttyModulator(8000, 1510).transmit(kText);
        QCOMPARE(still.process(sound), text);
        QCOMPARE(still.carrier(), 1500.0);
    }

    // Bit errors of the phase-aware judgement against the energies alone, on filter sums of a
    // weak FSK signal whose phase is continuous, or jumps at every bit (a sender that does not
    // keep it): the phase must help the one and must not harm the other.
    void fskPhases_helpAContinuousSender_andDoNoHarmOtherwise() {
        constexpr double kShift = 2 * M_PI * 170 / 8000, kBit = 176, kAmplitude = 1;
        constexpr double kNoise = 1 / 5.6; // 3 % errors from the energies alone
        for (const bool continuous : {true, false}) {
            std::mt19937 random(4);
            std::normal_distribution<double> gauss(0, std::sqrt(kNoise / 2));
            std::uniform_real_distribution<double> anyPhase(-M_PI, M_PI);
            auto noise = [&] { return std::complex<double>(gauss(random), gauss(random)); };
            FskPhaseTracker tracker(kShift, kBit);
            tracker.setLevels(kAmplitude, kNoise);
            double markPhase = 0.3, spacePhase = 2.0;
            int byPhase = 0, byEnergy = 0;
            for (int bit = 0; bit < 20000; ++bit) {
                const bool mark = random() & 1;
                if (!continuous)
                    markPhase = anyPhase(random), spacePhase = anyPhase(random);
                const std::complex<double> m = (mark ? std::polar(kAmplitude, markPhase) : 0.0) + noise();
                const std::complex<double> s = (mark ? 0.0 : std::polar(kAmplitude, spacePhase)) + noise();
                (mark ? spacePhase : markPhase) += (mark ? kShift : -kShift) * kBit;
                byPhase += tracker.bit(m, s, kBit) != mark;
                byEnergy += (std::abs(m) > std::abs(s)) != mark;
            }
            if (continuous)
                QVERIFY2(byPhase < byEnergy / 2, qPrintable(QString("%1 against %2").arg(byPhase).arg(byEnergy)));
            else
                QVERIFY2(byPhase < byEnergy * 1.1, qPrintable(QString("%1 against %2").arg(byPhase).arg(byEnergy)));
        }
    }

    void rtty_recoversAfterANoiseBurst() {
        std::vector<float> sound = RttyModulator(8000, 1500).transmit(kText + " " + kText);
        std::mt19937 random(4);
        std::normal_distribution<float> burst(0, 2);
        const size_t middle = sound.size() / 2;
        for (size_t n = middle; n < middle + 4000; ++n) // half a second of a loud crash
            sound[n] += burst(random);
        RttyDemodulator rx(8000, 1500);
        const QString got = rx.process(sound);
        QVERIFY2(got.endsWith(kText.toUpper().mid(20)), qPrintable(got));
    }

    void slowDrift_isFollowed() {
        for (bool qpsk : {false, true}) {
            std::vector<float> sound = PskModulator(8000, 1500, 31.25, qpsk).transmit(kText + " " + kText);
            sound = Awgn::add(Awgn::frequencyDrift(sound, 8000, 30), 0, 8000); // 30 Hz over ~40 s
            PskDemodulator rx(8000, 1500, 31.25, qpsk);
            const QString got = rx.process(sound);
            QVERIFY2(got.count(kText) == 2, qPrintable(got));
            QVERIFY2(std::fabs(rx.carrier() - 1530) < 2, qPrintable(QString::number(rx.carrier())));
        }
        std::vector<float> rtty = RttyModulator(8000, 1500).transmit(kText + " " + kText);
        rtty = Awgn::add(Awgn::frequencyDrift(rtty, 8000, 15), 0, 8000);
        RttyDemodulator rx(8000, 1500);
        QVERIFY(rx.process(rtty).count(kText.toUpper()) == 2);
    }

    void eachMode_data() {
        QTest::addColumn<int>("mode");
        for (int m = 0; m < ModeList::modes().size(); ++m)
            QTest::newRow(qPrintable(ModeList::modes()[m].name)) << m;
    }

    // After a reset (with the AFC pulled, the S/N measured, a character half decoded), a
    // demodulator agrees with a new one block for block: text, carrier and S/N.
    void demodulator_resetIsNew_data() { eachMode_data(); }
    void demodulator_resetIsNew() {
        QFETCH(int, mode);
        const ModeList::Mode& m = ModeList::modes()[mode];
        const std::vector<float> sound = heard(m);
        auto used = receiver(m);
        used->process(std::span<const float>(sound).first(sound.size() * 2 / 3));
        used->reset();
        auto fresh = receiver(m);
        QCOMPARE(follow(*used, sound, 480), follow(*fresh, sound, 480));
    }

    void modulator_resetIsNew_data() { eachMode_data(); }
    void modulator_resetIsNew() {
        QFETCH(int, mode);
        const ModeList::Mode& m = ModeList::modes()[mode];
        auto used = DspFactory::modulator(m, {kRate, 1500, 0});
        used->transmit("RYRYRY");
        used->reset();
        QCOMPARE(used->transmit(kCall), DspFactory::modulator(m, {kRate, 1500, 0})->transmit(kCall));
    }

    void text_whateverTheBlocks_data() { eachMode_data(); }
    void text_whateverTheBlocks() {
        QFETCH(int, mode);
        const ModeList::Mode& m = ModeList::modes()[mode];
        const std::vector<float> sound = heard(m);
        const QString whole = receiver(m)->process(sound);
        QVERIFY2(whole.contains(kCall), qPrintable(whole));
        for (size_t block : {size_t(1), size_t(7), size_t(480)}) {
            auto rx = receiver(m);
            QString text;
            for (const QString& step : follow(*rx, sound, block))
                text += step.section('|', 0, 0);
            QCOMPARE(text, whole);
        }
    }
};

QTEST_GUILESS_MAIN(DspTest)
#include "tst_Dsp.moc"
