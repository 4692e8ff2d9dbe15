// A PSK contact from the terminal alone, on a real sound server: the operator types into the
// terminal of the whole program, logged in to corvel-sim; a second modem listening to the same
// (looped-back) sound card hears the same text, and the station's log shows the transmitter
// keyed around it. Run by tests/interop/soundcard.sh, which sets up the private PulseAudio.
#include "app/MainWindow.h"
#include "digital/terminal/Terminal.h"
#include "digital/windows/TerminalWindow.h"
#include "platform/sound/SoundCardDuplex.h"
#include "support/CoreBench.h"
#include "support/SimProcess.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QTest>

class TerminalOnTheAirTest : public QObject {
    Q_OBJECT
  private slots:
    void typedText_isHeardByASecondModem_andTheStationIsKeyedAroundIt() {
        if (qEnvironmentVariableIsEmpty("ZARNIK_SOUND_LOOPBACK"))
            QSKIP("needs a looped-back sound server: run tests/interop/soundcard.sh");
        SimProcess sim({"--user", "OH2XX:pw"});
        QVERIFY(sim.port != 0);
        SystemClock clock;
        CoreBench b(nullptr, &clock);
        b.pointAt(sim.port);
        SoundCardDuplex card;
        b.core->setModemSound({&card, &SoundDevices::inputNames, &SoundDevices::outputNames,
                               &SoundDevices::defaultInputName, &SoundDevices::defaultOutputName});
        b.core->startUp();
        b.core->connectAtStartup();
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn(), 10000);

        MainWindow window(*b.core);
        window.show();
        window.findChild<QAction*>(Ctl::Dig)->trigger();
        TerminalWindow* terminal = window.terminalWindow();
        QVERIFY(terminal);
        terminal->terminal().activated();

        Modem listener(SoundDuplex::kSampleRate); // the other station
        QString heard;
        connect(&listener, &Modem::CharReceived, [&](int ch, QChar c) {
            if (ch == 0)
                heard += c;
        });
        SoundCardDuplex otherCard;
        QString why;
        QVERIFY2(otherCard.start(listener, -1, -1, &why), qPrintable(why));

        auto* tx = terminal->findChild<QPlainTextEdit*>(TermCtl::TxWindow);
        tx->setFocus();
        const QString text = QStringLiteral("OH1ZZ DE OH2XX UR 599 K ");
        for (QChar c : text) {
            QTest::keyClicks(tx, QString(c));
            QTest::qWait(60); // an operator's typing speed, ahead of the modem
        }
        // On a loaded machine the sound server may drop a stretch: the text is typed once more
        // (and said) before the test gives up.
        if (!QTest::qWaitFor([&] { return heard.contains(text.trimmed()); }, 30000)) {
            qWarning("not heard on the first sending (heard \"%s\"); typing it once more", qPrintable(heard));
            QTest::keyClick(tx, Qt::Key_Return);
            QTest::qWait(1500);
            heard.clear();
            for (QChar c : text) {
                QTest::keyClicks(tx, QString(c));
                QTest::qWait(60);
            }
            QTRY_VERIFY_WITH_TIMEOUT(heard.contains(text.trimmed()), 30000);
        }
        const int rounds = sim.wireLines().count("A0:MX0;") / 2 + 1;
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().count("A0:MX1;") == rounds * text.size(), 5000);
        QTest::keyClick(tx, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().count("A0:MX0;") == rounds * 2, 5000);
        const QStringList wire = sim.wireLines();
        QVERIFY(wire.lastIndexOf("A0:MX1;") < wire.indexOf("A0:MX0;"));
        otherCard.stop();
    }
};

QTEST_MAIN(TerminalOnTheAirTest)
#include "tst_TerminalOnTheAir.moc"
