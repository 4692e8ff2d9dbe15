// The contract every demodulator and modulator of the mode list keeps (made by the factory, as
// the modem and zarnik-modem make them): a reset object behaves as a new one, and the text
// does not depend on how the sound is cut into blocks.
#include "digital/modem/DspFactory.h"
#include "support/Awgn.h"

#include <QTest>

namespace {

constexpr double kRate = 8000;
const QString kText = "CQ DE OH2XX K";

// The transmission of kText in a mode, with some noise, as a receiver at 1500 Hz hears it.
std::vector<float> heard(const ModeList::Mode& mode) {
    return Awgn::add(DspFactory::modulator(mode, {kRate, 1505, 0})->transmit("VVV " + kText), 20, kRate);
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

class DspBlocksTest : public QObject {
    Q_OBJECT
private slots:
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
        QCOMPARE(used->transmit(kText), DspFactory::modulator(m, {kRate, 1500, 0})->transmit(kText));
    }

    void text_whateverTheBlocks_data() { eachMode_data(); }
    void text_whateverTheBlocks() {
        QFETCH(int, mode);
        const ModeList::Mode& m = ModeList::modes()[mode];
        const std::vector<float> sound = heard(m);
        const QString whole = receiver(m)->process(sound);
        QVERIFY2(whole.contains(kText), qPrintable(whole));
        for (size_t block : {size_t(1), size_t(7), size_t(480)}) {
            auto rx = receiver(m);
            QString text;
            for (const QString& step : follow(*rx, sound, block))
                text += step.section('|', 0, 0);
            QCOMPARE(text, whole);
        }
    }
};

QTEST_GUILESS_MAIN(DspBlocksTest)
#include "tst_DspBlocks.moc"
