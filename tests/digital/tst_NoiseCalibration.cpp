// The noise the modem benchmarks use is calibrated: an ideal non-coherent FSK receiver on it
// makes bit errors at the textbook rate 1/2 exp(-Eb/2N0).
#include "support/Awgn.h"

#include <QTest>

#include <cmath>
#include <complex>
#include <random>

class NoiseCalibrationTest : public QObject {
    Q_OBJECT
private slots:
    void fskBitErrorRate_matchesTheory_within0point2dB() {
        const double rate = 8000, baud = 50, samplesPerBit = rate / baud; // 160
        const double shift = 4 * baud; // orthogonal tones
        const double mark = 1500 + shift / 2, space = 1500 - shift / 2;
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
        const double ebN0Db = 10.0;
        const double snrDb = ebN0Db - 10 * std::log10(2500 / baud); // SNR in 2500 Hz
        const std::vector<float> noisy = Awgn::add(signal, snrDb, rate, 9);
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
        const double measured = double(errors) / bits;
        // The Eb/N0 at which theory gives the measured rate, against the one set.
        const double implied = 10 * std::log10(-2 * std::log(2 * measured));
        QVERIFY2(std::fabs(implied - ebN0Db) < 0.2,
                 qPrintable(QString("BER %1 implies Eb/N0 %2 dB").arg(measured).arg(implied)));
    }
};

QTEST_GUILESS_MAIN(NoiseCalibrationTest)
#include "tst_NoiseCalibration.moc"
