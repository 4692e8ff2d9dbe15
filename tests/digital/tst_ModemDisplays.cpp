#include "digital/dsp/PskModulator.h"
#include "digital/modem/Modem.h"
#include "digital/modem/Spectrum.h"
#include "digital/windows/XmmvView.h"

#include <QApplication>
#include <QTest>

#include <cmath>

namespace {
std::vector<float> tone(double hz, int samples, double rate = 48000) {
    std::vector<float> x(static_cast<size_t>(samples), 0.0f);
    for (int n = 0; n < samples; ++n)
        x[size_t(n)] = float(0.5 * std::sin(2 * M_PI * hz * n / rate));
    return x;
}
} // namespace

class ModemDisplaysTest : public QObject {
    Q_OBJECT
private slots:
    void spectrum_findsTheTone_atItsLevel() {
        Spectrum spectrum(48000);
        const auto x = tone(1000, 9600);
        QVERIFY(spectrum.push(x.data(), x.size()));
        const std::vector<float>& db = spectrum.decibels();
        const auto peak = std::max_element(db.begin(), db.end()) - db.begin();
        QVERIFY(std::fabs(peak * spectrum.binHz() - 1000) < spectrum.binHz());
        QVERIFY(std::fabs(db[size_t(peak)] - 20 * std::log10(0.5)) < 2.0); // -6 dB, Hann scalloping aside
        QVERIFY(std::fabs(spectrum.level() - 0.5f) < 0.01f);
    }

    void view_showsTheToneInEveryKind_andFindsNotches() {
        Modem modem;
        XmmvView view(modem);
        view.resize(300, 100);
        view.show();
        modem.AddNotch(2000);
        QCOMPARE(view.NotchAtPointer(view.xFor(2000)), 1);
        QCOMPARE(view.NotchAtPointer(view.xFor(2500)), 0);
        const auto x = tone(1000, 48000);
        for (int kind : {0, 1, 2}) {
            view.ViewType = kind;
            modem.receive(x.data(), x.size());
            const QImage shot = view.grab().toImage();
            int lit = 0;
            for (int y = 0; y < shot.height(); ++y)
                lit += qGray(shot.pixel(view.xFor(1000) + 2, y)) > 40;
            QVERIFY2(lit > 0, qPrintable(QString("view type %1 shows nothing at 1000 Hz").arg(kind)));
        }
    }

    void symbolScopeAndAfcIndicator_followAPskSignal() {
        Modem modem;
        modem.setMode(0, "bpsk");
        modem.setRxCarrier(0, 1500);
        const std::vector<float> signal = PskModulator(48000, 1510, 31.25).transmit("CQ CQ CQ CQ CQ");
        modem.receive(signal.data(), signal.size());
        const auto dots = modem.symbolScope(0);
        QVERIFY(dots.size() >= 32);
        for (const auto& dot : dots) // two clusters, on the real axis
            QVERIFY(std::fabs(dot.imag()) < 0.5);
        QVERIFY(std::fabs(modem.afcOffset(0) - 10) < 1); // AFC found the signal 10 Hz up
        AfcIndicator afc(modem);
        afc.resize(100, 10);
        const QImage shot = afc.grab().toImage();
        QVERIFY(qGray(shot.pixel(60, 5)) > 100); // the mark stands right of centre
        XmmvView view(modem);
        view.resize(120, 120);
        view.ViewType = 2;
        modem.ScopeKind = 1;
        const QImage scope = view.grab().toImage();
        int lit = 0;
        const int right = view.width() / 2 + int(0.4 * std::min(view.width(), view.height()));
        for (int x = right - 4; x <= right + 4; ++x)
            for (int y = view.height() / 2 - 8; y <= view.height() / 2 + 8; ++y)
                lit += qGreen(scope.pixel(x, y)) > 200;
        QVERIFY(lit > 0); // dots at the right of the circle
    }
};

QTEST_MAIN(ModemDisplaysTest)
#include "tst_ModemDisplays.moc"
