// The signal browser on a synthetic band: every signal found and decoded in its own row.
#include "digital/browser/BandDecimator.h"
#include "digital/browser/SignalBrowser.h"
#include "support/SyntheticBand.h"

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

// Everything each row showed over the run: its text as it grew, and where it was.
struct Heard {
    QMap<int, QString> text;
    QMap<int, double> hz;
};

Heard listen(SignalBrowser& browser, const std::vector<float>& band) {
    Heard heard;
    QMap<int, qsizetype> shown; // how much of each row's text is already taken
    QObject::connect(&browser, &SignalBrowser::rowsChanged, [&] {
        for (const SignalBrowser::Row& row : browser.rows()) {
            heard.hz[row.id] = row.hz;
            const QString& text = row.text;
            const qsizetype before = shown.value(row.id, 0);
            // The row keeps about a line: what is new is what came after what was seen.
            const qsizetype fresh = before > text.size() ? 1 : text.size() - before;
            heard.text[row.id] += text.right(std::max<qsizetype>(0, std::min(fresh, text.size())));
            shown[row.id] = text.size();
        }
    });
    for (size_t at = 0; at < band.size(); at += 480)
        browser.receive(
            std::span<const float>(band).subspan(at, std::min<size_t>(480, band.size() - at)));
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

    void pskBand_everySignalInItsOwnRow_inFrequencyOrder() {
        SignalBrowser browser;
        const std::vector<float> band = SyntheticBand::band(kPskBand, false);
        const Heard heard = listen(browser, band);
        QVERIFY(std::is_sorted(browser.rows().begin(), browser.rows().end(),
                               [](const auto& a, const auto& b) { return a.hz < b.hz; }));
        for (const SyntheticBand::Signal& signal : kPskBand) {
            int id = -1;
            for (auto it = heard.hz.begin(); it != heard.hz.end(); ++it)
                if (std::abs(it.value() - signal.hz) < 6)
                    id = it.key();
            QVERIFY2(id >= 0, qPrintable(QString("no row at %1 Hz").arg(signal.hz)));
            const double cer = SyntheticBand::characterErrorRate(signal.text, heard.text[id]);
            qInfo("%6.0f Hz %+3.0f dB  CER %.3f  %s", signal.hz, signal.snrDb, cer,
                  qPrintable(heard.text[id].simplified().right(60)));
            QVERIFY2(cer < 0.01,
                     qPrintable(QString("%1 Hz: %2").arg(signal.hz).arg(heard.text[id])));
        }
        QCOMPARE(int(browser.rows().size()), int(kPskBand.size()));
    }
};

QTEST_GUILESS_MAIN(SignalBrowserTest)
#include "tst_SignalBrowser.moc"
