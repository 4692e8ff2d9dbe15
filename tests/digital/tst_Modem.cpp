#include "digital/modem/Modem.h"
#include "digital/dsp/BandPass.h"
#include "digital/modem/Notch.h"
#include "digital/modem/PttPort.h"
#include "platform/serial/FakeBackend.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

// One modem sends, another receives, the audio passed straight across.
struct Link {
    explicit Link(const QString& mode) {
        tx.setMode(0, mode);
        rx.setMode(0, mode);
        QObject::connect(&rx, &Modem::characterReceived, [this](int channel, QChar c) {
            if (channel == 0)
                heard += c;
        });
    }
    // Runs the audio until the sender is back to receive (or a minute of audio has passed).
    void run() {
        std::vector<float> block(4800);
        for (int i = 0; i < 600 && (tx.isTransmitting() || i == 0); ++i) {
            tx.renderTx(block.data(), block.size());
            rx.receive(block.data(), block.size());
        }
        std::fill(block.begin(), block.end(), 0.0f); // let the receiver finish
        for (int i = 0; i < 10; ++i)
            rx.receive(block.data(), block.size());
    }
    Modem tx, rx;
    QString heard;
};

} // namespace

class ModemTest : public QObject {
    Q_OBJECT
private slots:
    void transmitterDropsOnlyOnceTheTailIsOut() {
        for (const QString mode : {"bpsk", "qpsk", "rtty-u"}) {
            Modem modem(8000);
            modem.setMode(0, mode);
            qint64 rendered = 0, lastSound = -1, droppedAt = -1;
            QObject::connect(&modem, &Modem::transmittingChanged, [&](bool on) {
                if (!on)
                    droppedAt = rendered;
            });
            modem.setTransmit(true);
            modem.sendText("73");
            modem.setReturnToRx(true);
            float sample = 0;
            for (; rendered < 8000 * 20 && (droppedAt < 0 || rendered < droppedAt + 100); ++rendered) {
                modem.renderTx(&sample, 1);
                if (sample != 0)
                    lastSound = rendered;
            }
            QVERIFY2(droppedAt > 0, qPrintable(mode));
            QVERIFY2(lastSound < droppedAt && lastSound > droppedAt - 50, qPrintable(mode));
        }
    }

    void backspace_takesBackWhatIsNotSent_andSendsOneForWhatIs() {
        Modem modem;
        modem.setTransmit(true);
        modem.sendText("CQX");
        modem.sendText(QString(QChar(8)));
        QCOMPARE(modem.pendingCharacters(), 2); // X was still waiting
        Link link("bpsk");
        link.tx.setTransmit(true);
        link.tx.sendText("AB");
        std::vector<float> block(2 * 48000); // the preamble, then A and B
        link.tx.renderTx(block.data(), block.size());
        link.rx.receive(block.data(), block.size());
        link.tx.sendText(QString(QChar(8))); // nothing queued: a backspace goes out
        link.tx.setReturnToRx(true);
        link.run();
        QVERIFY2(link.heard.endsWith(QString("AB") + QChar(8)), qPrintable(link.heard.toLatin1().toHex()));
    }

    void parkedModem_hearsNothing_andSendsNothing() {
        Link link("bpsk");
        link.tx.setTransmit(true);
        link.tx.setActive(false); // drops the transmission at once
        QVERIFY(!link.tx.isTransmitting());
        link.tx.setTransmit(true); // and takes none while parked
        QVERIFY(!link.tx.isTransmitting());
        link.tx.setActive(true);
        link.rx.setActive(false);
        QSignalSpy heard(&link.rx, &Modem::displaysDue);
        link.tx.setTransmit(true);
        link.tx.sendText("CQ");
        link.tx.setReturnToRx(true);
        link.run();
        QVERIFY(link.heard.isEmpty());
        QVERIFY(heard.isEmpty());
    }

    void textWithoutACode_isLeftOut() {
        for (const QString mode : {"bpsk", "rtty-u"}) {
            Link link(mode);
            link.tx.setTransmit(true);
            link.tx.sendText(QString::fromUtf8("CQ \u0416\u00e4 DE OH2XX"));
            link.tx.setReturnToRx(true);
            link.run();
            QVERIFY2(link.heard.contains("CQ  DE OH2XX"), qPrintable(mode + ": " + link.heard));
        }
    }

    void receiveReports_followTheSignal_inEveryKind() {
        for (const QString mode : {"bpsk", "qpsk", "rtty-u"}) {
            Link link(mode);
            link.tx.setTransmitCarrier(1515);
            link.rx.setReceiveCarrier(0, 1500);
            link.rx.setNetOn(true);
            QSignalSpy carrier(&link.rx, &Modem::receiveCarrierChanged);
            QSignalSpy timing(&link.rx, &Modem::timingReport);
            link.tx.setTransmit(true);
            link.tx.sendText("CQ CQ DE OH2XX OH2XX PSE K");
            link.tx.setReturnToRx(true);
            link.run();
            QVERIFY2(link.heard.contains("OH2XX PSE K"), qPrintable(mode + ": " + link.heard));
            QVERIFY2(std::abs(link.rx.receiveCarrier(0) - 1515) <= 1,
                     qPrintable(mode + QString::number(link.rx.receiveCarrier(0))));
            QCOMPARE(carrier.last().at(1).toInt(), link.rx.receiveCarrier(0));
            QCOMPARE(link.rx.transmitCarrier(), link.rx.receiveCarrier(0));
            // No noise on the link: only what the receive filter lets in of the neighbouring
            // symbols, which for QPSK lies across the turn and so counts as noise.
            QVERIFY2(link.rx.signalToNoise(0) >= 15, qPrintable(mode));
            QVERIFY(!timing.isEmpty());
            QCOMPARE(timing.last().at(2).toBool(), mode.startsWith("rtty"));
        }
    }

    void pttPort_keysItsLinesAsConfigured() {
        FakeBackendProvider ports;
        PttPort ptt(ports);
        QVERIFY(!ptt.isOpen());
        QVERIFY(ptt.setPortName("COM5"));
        QVERIFY(ptt.isOpen());
        FakeBackend* line = ports.port("COM5");
        ptt.setKeyed(true);
        QVERIFY(line->rts && line->dtr);
        ptt.setKeyed(false);
        QVERIFY(!line->rts && !line->dtr);
        ptt.invertedLines = true;
        ptt.setKeyed(true);
        QVERIFY(!line->rts && !line->dtr);
        ptt.invertedLines = false;
        ptt.rtsAloneKeys = true; // RTS keys, DTR powers the interface
        ptt.setKeyed(false);
        QVERIFY(!line->rts && line->dtr);
        ptt.keysTransmitter = false;
        ptt.setKeyed(true);
        QVERIFY(!line->rts);
        ports.port("COM6")->refuseOpen = true;
        QVERIFY(!ptt.setPortName("COM6"));
        QVERIFY(!ptt.isOpen());
    }

    void bandPass_keepsTheCarrier_andCutsFarTones() {
        auto powerThrough = [](double hz) {
            BandPass filter(8000, 1500, 250);
            std::vector<float> x(16000);
            for (size_t n = 0; n < x.size(); ++n)
                x[n] = float(std::sin(2 * M_PI * hz * double(n) / 8000));
            filter.process(x.data(), x.size());
            double power = 0;
            for (size_t n = 8000; n < x.size(); ++n)
                power += double(x[n]) * x[n];
            return 10 * std::log10(power / 8000 / 0.5);
        };
        QVERIFY(std::fabs(powerThrough(1500)) < 1);
        QVERIFY(powerThrough(2000) < -40);
        Link link("bpsk"); // and the narrowest filter still lets PSK31 through
        link.rx.setBandPassIndex(3);
        QCOMPARE(link.rx.bandPassIndex(), 3);
        link.tx.setTransmit(true);
        link.tx.sendText("CQ BPF");
        link.tx.setReturnToRx(true);
        link.run();
        QVERIFY(link.heard.contains("CQ BPF"));
    }

    void notch_cutsItsCarrier_andLeavesOthers() {
        auto powerThrough = [](double hz) {
            Notch notch(48000, 1000);
            double power = 0;
            for (int n = 0; n < 48000; ++n) {
                const float y = notch.process(float(std::sin(2 * M_PI * hz * n / 48000)));
                if (n > 24000)
                    power += double(y) * y;
            }
            return power / 24000;
        };
        QVERIFY(10 * std::log10(powerThrough(1000) / 0.5) < -30);
        QVERIFY(std::fabs(10 * std::log10(powerThrough(1500) / 0.5)) < 1);
        Modem modem; // the list: one deleted by its place, then all
        modem.addNotch(1000), modem.addNotch(2000), modem.deleteNotch(0);
        QCOMPARE(modem.notchFrequency(0), 2000);
        modem.deleteNotch(-1);
        QCOMPARE(modem.notchCount(), 0);
    }
};

QTEST_GUILESS_MAIN(ModemTest)
#include "tst_Modem.moc"
