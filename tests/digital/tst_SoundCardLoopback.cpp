// The modem on a real sound server: what it plays comes back through the capture side and is
// decoded. Needs a playback device looped to the default input, as tests/interop/soundcard.sh
// sets up with PulseAudio's null sink; skipped elsewhere.
#include "digital/modem/Modem.h"
#include "platform/sound/SoundCardDuplex.h"

#include <QTest>

class SoundCardLoopbackTest : public QObject {
    Q_OBJECT
private slots:
    void everyKindOfModeGoesOutAndComesBack_data() {
        QTest::addColumn<QString>("mode");
        for (const char* mode : {"bpsk", "qpsk", "rtty-u"})
            QTest::newRow(mode) << QString(mode);
    }
    void everyKindOfModeGoesOutAndComesBack() {
        if (qEnvironmentVariableIsEmpty("ZARNIK_SOUND_LOOPBACK"))
            QSKIP("needs a looped-back sound server: run tests/interop/soundcard.sh");
        QFETCH(QString, mode);
        Modem modem(SoundDuplex::kSampleRate);
        modem.setMode(0, mode);
        modem.setRxCarrier(0, 1200);
        modem.setNetOn(true);
        QString heard;
        QList<int> states;
        connect(&modem, &Modem::CharReceived, [&](int channel, QChar c) {
            if (channel == 0)
                heard += c;
        });
        connect(&modem, &Modem::TxStateChanged, [&](int state) { states << state; });
        SoundCardDuplex card;
        QString why;
        QVERIFY2(card.start(modem, -1, -1, &why), qPrintable(why));
        QTest::qWait(300); // let the sound server settle in before the first character
        // Real time: the sound takes as long as it takes to play. On a loaded machine the
        // sound server may drop a stretch of it, so one more playing is allowed, and said.
        auto sendAndHear = [&]() -> bool {
            heard.clear();
            states.clear();
            modem.setTransmit(true);
            modem.SendText("CQ CQ DE OH2XX PSE K");
            modem.setReturnToRx(true);
            if (!QTest::qWaitFor([&] { return states.endsWith(0); }, 30000))
                return false;
            return QTest::qWaitFor([&] { return heard.contains("CQ CQ DE OH2XX PSE K"); }, 5000);
        };
        if (!sendAndHear()) {
            qWarning("%s: not heard on the first playing (heard \"%s\"); playing it once more",
                     qPrintable(mode), qPrintable(heard));
            QVERIFY2(sendAndHear(), qPrintable("heard: " + heard));
        }
        card.stop();
    }
};

QTEST_GUILESS_MAIN(SoundCardLoopbackTest)
#include "tst_SoundCardLoopback.moc"
