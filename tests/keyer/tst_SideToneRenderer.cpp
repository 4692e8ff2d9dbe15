#include "keyer/MorseTiming.h"
#include "keyer/SideToneRenderer.h"
#include "keyer/ToneWaveform.h"
#include "support/ToneMeasure.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kRate = 48000;
constexpr int kPeriod = 60; // 800 Hz at 48 kHz
const double kFull = 0.9 * 32767;

QVector<float> cwWav() {
    QTemporaryDir dir;
    QFile file(dir.filePath("cw.wav"));
    file.open(QIODevice::WriteOnly);
    file.write(ToneWaveform::makeCwWav());
    file.close();
    return ToneWaveform::load(file.fileName(), nullptr).value();
}

std::vector<short> sound(const QString& text, double wpm, int volume = 0) {
    SideToneRenderer tone(cwWav(), kRate);
    tone.setPitch(800);
    tone.setVolume(volume);
    for (QChar c : text)
        tone.appendCharacter(c, wpm);
    std::vector<short> samples(size_t(tone.queuedSeconds() * kRate) + kRate / 10);
    tone.render(samples.data(), int(samples.size()));
    return samples;
}

// The ideal on/off edges of the text, in samples from the first key-down.
std::vector<double> idealEdges(const QString& text, double wpm) {
    const double unit = MorseTiming::unitSeconds(wpm) * kRate;
    std::vector<double> edges;
    double units = 0;
    bool down = false;
    for (QChar c : text)
        for (const KeyingSpan& span : MorseTiming::spansFor(c)) {
            if (span.keyDown != down)
                edges.push_back(units * unit);
            down = span.keyDown;
            units += span.units;
        }
    if (down)
        edges.push_back(units * unit);
    return edges;
}

} // namespace

class SideToneRendererTest : public QObject {
    Q_OBJECT
private slots:
    void paris_elementsAndGapsAreExact_data() {
        QTest::addColumn<double>("wpm");
        QTest::newRow("20 wpm") << 20.0;
        QTest::newRow("40 wpm") << 40.0;
    }
    void paris_elementsAndGapsAreExact() {
        QFETCH(double, wpm);
        const std::vector<double> measured =
            ToneMeasure::crossings(ToneMeasure::envelope(sound("PARIS ", wpm), kPeriod), kFull / 2);
        const std::vector<double> ideal = idealEdges("PARIS ", wpm);
        QCOMPARE(measured.size(), ideal.size());
        const double maxErrorSamples = 0.1e-3 * kRate; // 0.1 ms
        for (size_t i = 1; i < ideal.size(); ++i) {
            const double error = (measured[i] - measured[0]) - (ideal[i] - ideal[0]);
            QVERIFY2(std::fabs(error) < maxErrorSamples,
                     qPrintable(QString("edge %1 off by %2 ms").arg(i).arg(error / kRate * 1000)));
        }
    }

    void pitch_isTheHertzValue() {
        const std::vector<short> s = sound("T", 20); // one long dash
        int upward = 0;
        const size_t from = kRate / 50, to = from + kRate / 10; // 100 ms inside the dash
        for (size_t n = from; n < to; ++n)
            upward += s[n - 1] < 0 && s[n] >= 0;
        QCOMPARE(upward, 80); // 800 Hz
    }

    void characterWithoutPattern_isTwoUnitsOfSilence_spaceFourMore() {
        SideToneRenderer tone(cwWav(), kRate);
        const double unit = MorseTiming::unitSeconds(20);
        tone.appendCharacter('E', 20);
        const double afterE = tone.queuedSeconds();
        tone.appendCharacter('=', 20);
        QVERIFY(std::fabs(tone.queuedSeconds() - afterE - 2 * unit) < 1e-4);
        tone.appendCharacter(' ', 20);
        QVERIFY(std::fabs(tone.queuedSeconds() - afterE - 6 * unit) < 1e-4);
        std::vector<short> s(size_t(tone.queuedSeconds() * kRate));
        tone.render(s.data(), int(s.size()));
        const auto edges = ToneMeasure::crossings(ToneMeasure::envelope(s, kPeriod), kFull / 2);
        QCOMPARE(edges.size(), size_t(2)); // only the E sounds
    }

    void edges_areShaped_noClicks() {
        const std::vector<short> s = sound("E", 60);
        int largestStep = 0;
        for (size_t n = 1; n < s.size(); ++n)
            largestStep = std::max(largestStep, std::abs(s[n] - s[n - 1]));
        // a full-level 800 Hz sine moves at most 2*pi*800/48000 of its peak per sample
        QVERIFY(largestStep <= int(kFull * 2 * M_PI * 800 / kRate) + 2);
    }

    void volume_isHundredthsOfADecibel_takenAtTheNextKeyDown() {
        SideToneRenderer tone(cwWav(), kRate);
        tone.setVolume(0);
        tone.appendCharacter('T', 20);
        tone.setVolume(-2000); // 20 dB down
        tone.appendCharacter('T', 20);
        std::vector<short> s(size_t(tone.queuedSeconds() * kRate));
        tone.render(s.data(), int(s.size()));
        const auto e = ToneMeasure::envelope(s, kPeriod);
        const double unit = MorseTiming::unitSeconds(20) * kRate;
        const double firstPeak = e[size_t(0.005 * kRate + 1.5 * unit)];
        const double secondPeak = e[size_t(0.005 * kRate + 6 * unit + 1.5 * unit)];
        QVERIFY(std::fabs(firstPeak / kFull - 1.0) < 0.01);
        QVERIFY(std::fabs(secondPeak / firstPeak - 0.1) < 0.01);
    }
};

QTEST_GUILESS_MAIN(SideToneRendererTest)
#include "tst_SideToneRenderer.moc"
