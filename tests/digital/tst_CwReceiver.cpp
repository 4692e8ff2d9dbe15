// The CW receiver and the Morse reader behind it: machine- and hand-sent code read at its
// speed, a speed change followed, and noise alone printing nothing; a strong station's copy,
// taken out of what its neighbours hear.
#include "digital/dsp/CwDemodulator.h"
#include "digital/dsp/KeyedCarrierCopy.h"
#include "digital/dsp/KeyingDecoder.h"
#include "digital/dsp/MorseReader.h"
#include "digital/dsp/RepeatedWords.h"
#include "sim/MorseAudio.h"

#include <QTest>
#include <functional>
#include <random>

Q_DECLARE_METATYPE(MorseAudio::Fist)

namespace {

constexpr double kRate = 8000;
const QString kExchange = QStringLiteral("CQ TEST DL1ABC DL1ABC 5NN 14 TU OH2XX 599 K1ABC/P QRZ?");

// Feeds the reader a text as a fist keys it; what it reads. `lateMs`: how much longer each
// key-down and shorter each key-up come out of a receiver's filter.
QString readByEar(MorseReader& reader, const QString& text, const MorseAudio::Fist& fist, double lateMs = 0) {
    double end = 0;
    const auto down = MorseAudio::keying(text, fist, &end);
    QString read;
    for (size_t i = 0; i < down.size(); ++i) {
        reader.keyDown(1000 * (down[i].second - down[i].first) + lateMs);
        const double gap = (i + 1 < down.size() ? down[i + 1].first : end + 1) - down[i].second;
        for (double ms = 1; ms <= 1000 * gap - lateMs; ms += 2)
            read += reader.keyUp(ms);
    }
    return read.trimmed();
}

QString receive(const std::vector<float>& band, CwDemodulator& rx) {
    QString text;
    for (size_t at = 0; at < band.size(); at += 160) // 20 ms blocks, as the sound card gives
        text += rx.process(std::span<const float>(band).subspan(at, std::min<size_t>(160, band.size() - at)));
    return text.simplified();
}

std::vector<float> station(const QString& text, const MorseAudio::Fist& fist, double snrDb) {
    double end = 0;
    const auto down = MorseAudio::keying(text, fist, &end);
    std::vector<float> band(size_t((end + 4) * kRate));
    MorseAudio::addTone(band, kRate, 700, 0.3, down, 1.0);
    MorseAudio::addNoise(band, MorseAudio::sigmaFor(0.3, snrDb, kRate), 5);
    return band;
}

// Blocks of 2 ms, as the receiver hands them to RepeatedWords.
long block(double seconds) { return long(seconds * 500); }

// Key-down evidence for `text` as `fist` sends it (a machine at 30 wpm unless told), ±0.5 with
// noise spread as `spreadAt(seconds)` says, pushed block by block; returns the key-downs.
std::vector<std::pair<double, double>> pushKeying(RepeatedWords& words, const QString& text,
                                                  const std::function<double(double)>& spreadAt,
                                                  const MorseAudio::Fist& fist = {30, 3, 0, 0}) {
    double end = 0;
    const auto down = MorseAudio::keying(text, fist, &end);
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0, 1);
    for (long b = 0, next = 0; b < block(end + 1); ++b) {
        while (next < long(down.size()) && block(down[size_t(next)].second) < b)
            ++next;
        const bool keyed = next < long(down.size()) && block(down[size_t(next)].first) <= b;
        words.push((keyed ? 0.5 : -0.5) + spreadAt(double(b) / 500) * noise(random));
    }
    return down;
}

// The mean power a 42 ms filter `hz` hears of `sound`.
double powerHeardAt(double hz, const std::vector<float>& sound) {
    constexpr size_t kLength = 336;
    std::vector<std::complex<double>> mixed(sound.size());
    for (size_t n = 0; n < sound.size(); ++n)
        mixed[n] = double(sound[n]) * std::polar(1.0, -2 * M_PI * hz * double(n) / kRate);
    std::complex<double> sum{};
    double power = 0;
    for (size_t n = 0; n < mixed.size(); ++n) {
        sum += mixed[n] - (n >= kLength ? mixed[n - kLength] : 0.0);
        power += std::norm(sum);
    }
    return power / double(mixed.size());
}

} // namespace

class CwReceiverTest : public QObject {
    Q_OBJECT
  private slots:
    void reader_readsMachineAndHandSentCode_data() {
        QTest::addColumn<double>("wpm");
        QTest::addColumn<double>("dashDots");
        QTest::addColumn<double>("jitter");
        QTest::newRow("machine, 16 wpm") << 16.0 << 3.0 << 0.0;
        QTest::newRow("machine, 40 wpm") << 40.0 << 3.0 << 0.0;
        QTest::newRow("hand, short dashes") << 22.0 << 2.5 << 0.25;
        QTest::newRow("bug, long dashes") << 28.0 << 4.0 << 0.25;
    }
    void reader_readsMachineAndHandSentCode() {
        QFETCH(double, wpm);
        QFETCH(double, dashDots);
        QFETCH(double, jitter);
        MorseReader reader;
        QCOMPARE(readByEar(reader, kExchange, {wpm, dashDots, jitter, 7}), kExchange);
        if (jitter == 0)
            QVERIFY2(std::abs(reader.wpm() - wpm) <= 0.1 * wpm, qPrintable(QString::number(reader.wpm())));
    }

    // A CQ at 32 wpm, the report at 20: both read, and the speed is the report's.
    void reader_followsASenderWhoSlowsDown() {
        MorseReader reader;
        QCOMPARE(readByEar(reader, "CQ TEST OH2XX OH2XX", {32, 3, 0, 1}), QString("CQ TEST OH2XX OH2XX"));
        QCOMPARE(readByEar(reader, "599 14 599 14", {20, 3, 0, 2}), QString("599 14 599 14"));
        QVERIFY2(std::abs(reader.wpm() - 20) <= 2, qPrintable(QString::number(reader.wpm())));
    }

    // At 37 wpm a receiver's filter lengthens each key-down by as much as 40 % of a dot and
    // shortens each key-up by as much: the gaps between characters and words must still end
    // them (counted in key-down dots alone, "JH1AB" ran together).
    void reader_fastSenderThroughAFilter_keepsCharactersAndWordsApart() {
        MorseReader reader;
        const double dotMs = 1200.0 / 37;
        QCOMPARE(readByEar(reader, "CQ TEST JH1AB JH1AB TEST", {37, 3, 0, 1}, 0.4 * dotMs),
                 QString("CQ TEST JH1AB JH1AB TEST"));
    }

    // In a deep fade the noise's short bursts teach a speed far too fast; once the station
    // comes back its dashes are too long to learn from. The reader must learn it again rather
    // than read every element as a dash for good.
    void reader_learnsAgain_afterAFadeTaughtItNoise() {
        MorseReader reader;
        QCOMPARE(readByEar(reader, "CQ TEST OH2XX", {29, 3, 0, 1}), QString("CQ TEST OH2XX"));
        std::mt19937 random(3);
        for (int burst = 0; burst < 60; ++burst) { // bursts of about 20 and 45 ms, far apart
            reader.keyDown((burst % 2 ? 40 : 18) + double(random() % 8));
            for (double ms = 1; ms <= 300; ms += 2)
                reader.keyUp(ms);
        }
        QVERIFY(reader.dotMs() < 30); // the speed learned from the noise
        // Every element of these taken for a dash is still a character ("TMO"): only the
        // lengths show that the speed is wrong.
        const QString read = readByEar(reader, "SET TEST ME SET TEST ME SET TEST ME", {29, 3, 0, 2});
        QVERIFY2(read.endsWith("SET TEST ME"), qPrintable(read));
    }

    void receiver_readsAStationAtItsSpeed_data() {
        QTest::addColumn<double>("wpm");
        QTest::addColumn<double>("snrDb");
        QTest::newRow("15 wpm, +10 dB") << 15.0 << 10.0;
        QTest::newRow("25 wpm, 0 dB") << 25.0 << 0.0;
        QTest::newRow("40 wpm, +10 dB") << 40.0 << 10.0;
    }
    void receiver_readsAStationAtItsSpeed() {
        QFETCH(double, wpm);
        QFETCH(double, snrDb);
        CwDemodulator rx(kRate, 700);
        const QString text = receive(station(kExchange, {wpm, 3, 0, 3}, snrDb), rx);
        // The first letters go to learning the station's level and speed.
        QVERIFY2(text.endsWith(kExchange.mid(8)), qPrintable(text));
        QVERIFY2(std::abs(rx.wpm() - wpm) <= 0.1 * wpm, qPrintable(QString::number(rx.wpm())));
    }

    // A station fading 10 dB every five seconds, its peaks at +2 dB: its troughs are as weak as
    // -8 dB, yet the level learned at its peaks must not cost the elements that come as it
    // fades. The second time round its exchange is read whole.
    void receiver_followsAStationThroughItsFades() {
        const QString twice = kExchange + u' ' + kExchange;
        double end = 0;
        const auto down = MorseAudio::keying(twice, {19, 3, 0, 4}, &end);
        std::vector<float> band(size_t((end + 3) * kRate));
        MorseAudio::addTone(band, kRate, 700, 0.3, down, 1.0, MorseAudio::Fading{10, 0.2});
        MorseAudio::addNoise(band, MorseAudio::sigmaFor(0.3, 2, kRate), 8);
        CwDemodulator rx(kRate, 700);
        const QString text = receive(band, rx);
        QVERIFY2(text.endsWith(kExchange), qPrintable(text));

        // Faster and weaker, peaks at 0 dB: 27 calls in 48 are read whole (22 while the keyed
        // level fell behind a fade at two thirds of the speed).
        const QString calls = QString("DL1ABC YU1ABC I2XYZ OH2BH ").repeated(12).trimmed();
        const auto fast = MorseAudio::keying(calls, {29, 3, 0, 4}, &end);
        std::vector<float> faded(size_t((end + 3) * kRate));
        MorseAudio::addTone(faded, kRate, 700, 0.3, fast, 1.0, MorseAudio::Fading{10, 0.2});
        MorseAudio::addNoise(faded, MorseAudio::sigmaFor(0.3, 0, kRate), 9);
        CwDemodulator again(kRate, 700);
        const QStringList read = receive(faded, again).split(u' ');
        const auto whole =
            std::count_if(read.begin(), read.end(), [&](const QString& w) { return calls.contains(w) && w.size() > 3; });
        QVERIFY2(whole >= 25, qPrintable(QString("%1 of 48: ").arg(whole) + read.join(u' ')));
    }

    // A contest station's call sent three times. Machine-sent and too weak for most single
    // readings, the call read from its renditions together comes out right far more often
    // than any one of them. A hand's renditions are laid over each other stretched where its
    // elements fell differently (laid over unstretched, none was read right). Words heard
    // once only ("CQ", "TEST") are never given out again.
    void repeatedCall_isReadFromItsRenditionsTogether_data() {
        QTest::addColumn<MorseAudio::Fist>("fist");
        QTest::addColumn<double>("snrDb");
        QTest::addColumn<int>("leastTogether"); // of 8 transmissions
        QTest::addColumn<double>("gainOverSingles");
        QTest::newRow("machine, 33 wpm, -8 dB") << MorseAudio::Fist{33, 3, 0, 0} << -8.0 << 5 << 1.5;
        QTest::newRow("hand, 25 wpm, -6 dB") << MorseAudio::Fist{25, 3.3, 0.2, 0} << -6.0 << 4 << 0.0;
        // Its renditions drift apart by dots: laid over unstretched, they agree little.
        QTest::newRow("hand, 16 wpm, -8 dB") << MorseAudio::Fist{16, 2.8, 0.25, 0} << -8.0 << 6 << 0.0;
    }
    void repeatedCall_isReadFromItsRenditionsTogether() {
        QFETCH(MorseAudio::Fist, fist);
        QFETCH(double, snrDb);
        QFETCH(int, leastTogether);
        QFETCH(double, gainOverSingles);
        const QString text = QStringLiteral("CQ TEST OH2BH OH2BH TEST TU OH2BH 5NN 7");
        int singles = 0, together = 0;
        constexpr int kTries = 8;
        for (int seed = 1; seed <= kTries; ++seed) {
            double end = 0;
            fist.seed = unsigned(seed);
            const auto down = MorseAudio::keying(text, fist, &end);
            std::vector<float> band(size_t((end + 4) * kRate));
            MorseAudio::addTone(band, kRate, 700, 0.3, down, 1.0);
            MorseAudio::addNoise(band, MorseAudio::sigmaFor(0.3, snrDb, kRate), unsigned(100 + seed));
            CwDemodulator rx(kRate, 700);
            singles += int(receive(band, rx).split(u' ').count(QStringLiteral("OH2BH")));
            QStringList again, earlier;
            for (const CwDemodulator::RepeatedWord& word : rx.takeRepeatedWords())
                again << word.read.together, earlier << word.read.earlier;
            earlier.removeAll(QString()); // one earlier rendition: no reading of its own
            together += again.contains(QStringLiteral("OH2BH")) ? 1 : 0;
            for (const QString& word : again + earlier)
                QVERIFY2(word.size() >= 3 && !word.contains(u' ') && word != u"TEST", qPrintable(word));
        }
        qInfo("OH2BH read alone %d of %d times, from its renditions together in %d of %d "
              "transmissions", singles, 3 * kTries, together, kTries);
        QVERIFY(together >= leastTogether);
        QVERIFY(double(together) / kTries >= gainOverSingles * double(singles) / (3 * kTries));
    }

    // A rendition whose first characters noise cut off (or ran into the word before): the
    // renditions summed beyond it read the call whole, not the piece that was heard as a word.
    void repeatedCall_cutShort_isReadWhole() {
        RepeatedWords words(2);
        const auto down = pushKeying(words, "OH2BH OH2BH TEST TU OH2BH", [](double) { return 0.25; });
        // The last call's elements: O (3), H (4), 2 (5), B (4), H (4); heard from the "2" on.
        const size_t last = down.size() - 20;
        const RepeatedWords::Reading read =
            words.wordEnded(block(down[last + 7].first), block(down.back().second), 40, 120);
        QCOMPARE(read.together, QString("OH2BH"));
    }

    // A hand's renditions drift apart: the first look finds one of them at many places side
    // by side, and those must not use up the places tried before the other is looked at.
    void repeatedCall_aHandsEarlierRenditionsAreBothFound() {
        int found = 0;
        for (unsigned seed = 1; seed <= 10; ++seed) {
            RepeatedWords words(2);
            const auto down = pushKeying(words, "CQ TEST I2XYZ I2XYZ TEST TU I2XYZ",
                                         [](double) { return 0.25; }, {30, 3, 0.1, seed});
            const size_t last = down.size() - 19; // I (2), 2 (5), X, Y and Z (4 each)
            const RepeatedWords::Reading read =
                words.wordEnded(block(down[last].first), block(down.back().second), 40, 120);
            found += !read.earlier.isEmpty(); // read from two earlier renditions: both were found
            QCOMPARE(read.together, QString("I2XYZ"));
        }
        QCOMPARE(found, 10); // 4 when three tries went to the places beside the best
    }

    // What a +20 dB station puts into a receiver 85 Hz above it (its keying's sidebands, as
    // much as the noise there) is at least 20 dB less once its copy is taken out, hand-sent
    // and fading too; the copy's own measure of it, on the station's tone, says so. (With
    // each word's first edge put where the key was decided, early after the pause, 18 and
    // 16 dB.)
    void copy_takesAStrongStationOutOfItsNeighboursReceiver_data() {
        QTest::addColumn<double>("dashDots");
        QTest::addColumn<double>("jitter");
        QTest::addColumn<double>("fadingDb");
        QTest::newRow("machine") << 3.0 << 0.0 << 0.0;
        QTest::newRow("hand-sent, fading") << 3.45 << 0.2 << 10.0;
    }
    void copy_takesAStrongStationOutOfItsNeighboursReceiver() {
        QFETCH(double, dashDots);
        QFETCH(double, jitter);
        QFETCH(double, fadingDb);
        double end = 0;
        const auto down = MorseAudio::keying(kExchange, {24, dashDots, jitter, 20}, &end);
        std::vector<float> alone(size_t((end + 2) * kRate));
        MorseAudio::addTone(alone, kRate, 700, 0.3, down, 1.0, MorseAudio::Fading{fadingDb, 0.2});
        std::vector<float> band = alone;
        MorseAudio::addNoise(band, MorseAudio::sigmaFor(0.3, 20, kRate), 9);
        KeyedCarrierCopy copy(kRate, 700);
        std::vector<float> copied;
        copy.process(band, copied);
        const auto late = size_t(KeyedCarrierCopy::delaySamples(kRate));
        const auto learned = size_t(2 * kRate); // its first elements teach it the station
        std::vector<float> station, left;
        for (size_t n = learned; n < band.size(); ++n) {
            station.push_back(alone[n - late]);
            left.push_back(alone[n - late] - copied[n]);
        }
        const double takenOutDb = 10 * std::log10(powerHeardAt(785, station) / powerHeardAt(785, left));
        qInfo("85 Hz above: %.1f dB less of the station; on its tone, as the copy measures it: %.1f dB",
              takenOutDb, copy.takenOutDb());
        QVERIFY2(takenOutDb > 20, qPrintable(QString::number(takenOutDb)));
        QVERIFY2(copy.takenOutDb() > 15, qPrintable(QString::number(copy.takenOutDb())));
        // A copy of noise alone takes out little (noise peaks it took for keying), far from the
        // 8 dB a copy must take out to be taken out of the band.
        std::vector<float> noise(band.size());
        MorseAudio::addNoise(noise, MorseAudio::sigmaFor(0.3, 20, kRate), 9);
        KeyedCarrierCopy ofNoise(kRate, 700);
        ofNoise.process(noise, copied);
        QVERIFY2(ofNoise.takenOutDb() < 6, qPrintable(QString::number(ofNoise.takenOutDb())));
    }

    // The decoder judges a run by all of its blocks: with evidence as weak as the noise on it
    // (a block's mean 1, spread 1: one block in six looks otherwise), the elements and gaps
    // of "2 A" come out whole and about as long as sent; a dip of noise inside a dash does
    // not cut it. Block by block, the same evidence makes dozens of runs.
    void decoder_keepsRunsWhole_whenTheBlocksSayLittle() {
        const int dot = 24;
        // After a silence: "2", a character gap, "A", a word gap.
        const std::vector<int> sent = {7 * dot, dot, dot, dot, dot, 3 * dot, dot, 3 * dot, dot,
                                       3 * dot, 3 * dot, dot, dot, 3 * dot, 7 * dot};
        std::vector<bool> keyed;
        for (size_t i = 0; i < sent.size(); ++i)
            keyed.insert(keyed.end(), size_t(sent[i]), i % 2 == 1);
        keyed.insert(keyed.end(), KeyingDecoder::kLagBlocks, false);
        KeyingDecoder decoder;
        decoder.setDot(dot);
        std::mt19937 random(3);
        std::normal_distribution<double> noise(0, 1);
        std::vector<int> runs;
        bool down = false;
        for (size_t b = 0; b < keyed.size(); ++b) {
            const bool dip = b >= size_t(12 * dot + 9) && b < size_t(12 * dot + 15); // amid the first dash
            decoder.push(dip ? -1.0 : (keyed[b] ? 1.0 : -1.0) + noise(random));
            if (b < size_t(decoder.lag()))
                continue;
            if (runs.empty() || decoder.decidedDown() != down) {
                down = decoder.decidedDown();
                runs.push_back(0);
            }
            ++runs.back();
        }
        QStringList seen;
        for (int r : runs) seen << QString::number(r);
        QVERIFY2(runs.size() >= sent.size(), qPrintable(seen.join(u' ')));
        for (size_t i = 1; i + 1 < sent.size(); ++i) // the silences run on: not counted
            QVERIFY2(std::abs(runs[i] - sent[i]) <= dot / 2,
                     qPrintable(QStringLiteral("run %1: %2 blocks, sent %3").arg(i).arg(runs[i]).arg(sent[i])));
    }

    // Nothing from noise alone, nor after a station has stopped; a reset forgets the speed.
    void receiver_printsNothingFromNoise() {
        std::vector<float> noise(size_t(60 * kRate), 0.0f);
        MorseAudio::addNoise(noise, 0.1, 11);
        CwDemodulator rx(kRate, 700);
        QCOMPARE(receive(noise, rx), QString());
        QVERIFY(!rx.hearsSignal());

        std::vector<float> band = station(kExchange, {25, 3, 0, 3}, 10);
        const size_t stopped = band.size();
        band.resize(stopped + size_t(30 * kRate), 0.0f);
        std::vector<float> after(band.begin() + long(stopped), band.end());
        MorseAudio::addNoise(after, MorseAudio::sigmaFor(0.3, 10, kRate), 12);
        std::copy(after.begin(), after.end(), band.begin() + long(stopped));
        CwDemodulator station(kRate, 700);
        const QString text = receive(band, station);
        QVERIFY2(text.endsWith(QStringLiteral("QRZ?")), qPrintable(text));
        QVERIFY(!station.hearsSignal());
        station.reset();
        QCOMPARE(station.wpm(), 0);
    }
};

QTEST_GUILESS_MAIN(CwReceiverTest)
#include "tst_CwReceiver.moc"
