// The logger's CAT port on the whole program's core, and the frequency stepper.
#include "support/ActionWarnings.h"
#include "cat/LoggerCat.h"
#include "support/CoreBench.h"
#include "support/LinkedBench.h"
#include "support/StationEnd.h"
#include "cat/FrequencyStepper.h"

#include <QTest>

namespace {

const QByteArray kRecordCW = "IF00014000000     -000000000030000000;";

void loggerOpensItsEnd(FakeBackend* port) { port->setLines({true, true, true, false}); }

} // namespace

class LoggerCatTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { failOnForgottenActions(); }

    // More than a poll's worth at once (line noise, a dump, polls faster than the rig takes
    // them): dropped at once, not taken in at 10 ms a character; the newest poll is answered.
    void outOfStep_theNewestPollIsAnsweredAtOnce_data() {
        QTest::addColumn<QByteArray>("burst");
        QTest::newRow("4 KiB of noise, then a poll") << QByteArray(4093, 'x') + "IF;";
        QTest::newRow("polls faster than the rig") << QByteArray("IF;").repeated(20);
    }
    void outOfStep_theNewestPollIsAnsweredAtOnce() {
        QFETCH(QByteArray, burst);
        CoreBench b;
        b.startRadio();
        b.runClock(0.0005); // daytime: the intake's pacing is real
        const double start = b.clock.monotonicSeconds();
        b.radio()->feed(burst);
        QCOMPARE(b.takeWritten(), kRecordCW); // one answer
        QVERIFY2(b.clock.monotonicSeconds() - start < 0.5, qPrintable(QString::number(b.clock.monotonicSeconds() - start)));
        b.radio()->feed("FA;");
        QCOMPARE(b.takeWritten(), QByteArray("FA00014000000;"));
    }

    void failedPass_keepsBufferForTheNext() {
        CoreBench b;
        b.startRadio();
        b.radio()->feed("MD8;");
        QCOMPARE(b.dialogs.messages, QStringList{"error Invalid property value"});
        QCOMPARE(b.core->loggerCat().catBuffer(), QString("MD8;"));
        QVERIFY(!b.core->loggerCat().isBusy());
        b.radio()->feed("IF;");
        QCOMPARE(b.takeWritten(), kRecordCW); // the poll is still answered, and lights the lines
        for (const QString& lit : {Ctl::ctsLight, Ctl::dsrLight, Ctl::cdLight})
            QCOMPARE(b.c().colour(lit), Colours::kRed);
        QVERIFY(b.picture().loggerOnline);
        QCOMPARE(b.dialogs.messages.size(), 2);
        b.radio()->feed(QByteArray(40, 'x')); // a full buffer is thrown away
        QCOMPARE(b.core->loggerCat().catBuffer(), QString());
        b.radio()->feed("IF;");
        QCOMPARE(b.dialogs.messages.size(), 2);
    }

    void portClosedWhenTheLoopStarts_dropsTheBuffer() {
        CoreBench b;
        b.startRadio();
        b.c().setValue(Ctl::monitorDataCheck, 1);
        QMetaObject::Connection closer = connect(&b.c(), &ControlStore::changed, this,
                                                 [&](const QString& name, ControlStore::Aspect) {
                                                     if (name == Ctl::fromLoggerMonitor)
                                                         b.core->ports().radioPort().close();
                                                 });
        b.radio()->feed("IF;");
        disconnect(closer);
        QVERIFY(b.takeWritten().isEmpty());
        QVERIFY(b.core->loggerCat().catBuffer().isEmpty());
    }

    // A rig answers a poll as soon as its ";" is in: flrig's poll round (eight reads) took a
    // quarter of a second more at 10 ms a character. Only an unfinished command is waited for.
    void finishedCommands_areAnsweredAtOnce_anUnfinishedOneIsWaitedFor() {
        CoreBench b;
        b.startRadio();
        b.runClock(0.0005); // daytime: the pauses are real
        double start = b.clock.monotonicSeconds();
        b.radio()->feed("IF;FA;MD;");
        QCOMPARE(b.takeWritten(), kRecordCW + "FA00014000000;MD3;");
        QVERIFY2(b.clock.monotonicSeconds() - start < 0.005, qPrintable(QString::number(b.clock.monotonicSeconds() - start)));

        start = b.clock.monotonicSeconds();
        b.radio()->feed("IF;F");
        QVERIFY(b.clock.monotonicSeconds() - start >= LoggerCat::kIntakePauseSeconds);
        QCOMPARE(b.takeWritten(), kRecordCW);
    }

    void pollArrivingDuringAPass_isAnsweredWithoutWaitingForMore() {
        CoreBench b;
        b.startRadio();
        b.c().setValue(Ctl::monitorDataCheck, 1);
        bool fed = false;
        connect(&b.c(), &ControlStore::changed, this, [&](const QString& name, auto) {
            if (name == Ctl::outgoingMonitor &&
                !fed) { // the logger polls again while we still work
                fed = true;
                b.radio()->feed("FA;");
            }
        });
        b.radio()->feed("IF;");
        QCOMPARE(b.takeWritten(), kRecordCW + "FA00014000000;");
    }

    // A poll during the pause after a frequency set is answered at once, with the new
    // frequency, and the echo that ends the pause is the set command alone.
    void pollDuringTheFrequencySetPause_isAnsweredAtOnce() {
        CoreBench b;
        StationEnd station;
        QVERIFY(station.accept(b.core->serverSocket()));
        b.startRadio();
        b.runClock(0.0005); // daytime: the pause is real
        bool polled = false;
        connect(&b.c(), &ControlStore::changed, this, [&](const QString& name, auto) {
            if (name == Ctl::frequencyBox && !polled) { // the set has reached the picture
                polled = true;
                b.radio()->feed("IF;");
            }
        });
        b.radio()->feed("FA00007060000;ID;");
        QCOMPARE(b.takeWritten(), QByteArray("ID009;IF00007060000     -000000000030000000;FA00007060000;"));
        QCOMPARE(station.waitForLines(2), (QStringList{"A0:MX0;", "FA07060000;"}));
    }

    // A second set during the first one's pause (WSJT-X as it starts): the echoes come back in
    // the order of the sets, and the first is not held behind the second's pause.
    void twoSetsInARow_echoesComeInTheOrderOfTheSets() {
        CoreBench b;
        StationEnd station;
        QVERIFY(station.accept(b.core->serverSocket()));
        b.startRadio();
        b.runClock(0.0005);
        bool second = false;
        QList<double> echoedAt;
        connect(&b.c(), &ControlStore::changed, this, [&](const QString& name, auto) {
            if (name == Ctl::frequencyBox && !second) {
                second = true;
                b.radio()->feed("FA00014025055;");
            }
        });
        b.radio()->feed("FA00014025000;");
        QCOMPARE(b.takeWritten(), QByteArray("FA00014025000;FA00014025055;"));
        QCOMPARE(station.waitForLines(4), (QStringList{"A0:MX0;", "FA14025000;", "A0:MX0;", "FA14025055;"}));
    }

    // A program sets the frequency and closes the port in the set's pause; the next one opens
    // it at once. The echo was owed to the first: the second must not find it as the answer
    // to its first question.
    void loggerLeavingInASetsPause_itsEchoIsNotHandedToTheNext() {
        CoreBench b;
        StationEnd station;
        QVERIFY(station.accept(b.core->serverSocket()));
        b.startRadio();
        loggerOpensItsEnd(b.radio());
        b.runClock(0.0005);
        bool swapped = false;
        connect(&b.c(), &ControlStore::changed, this, [&](const QString& name, auto) {
            if (name == Ctl::frequencyBox && !swapped)
                QTimer::singleShot(0, this, [&] { // in the pause
                    swapped = true;
                    b.radio()->setLines({});        // the first program closes its end
                    loggerOpensItsEnd(b.radio()); // the next one opens it
                });
        });
        b.radio()->feed("FA00014025000;");
        QVERIFY(swapped);
        QCOMPARE(station.waitForLines(2), (QStringList{"A0:MX0;", "FA14025000;"}));
        QVERIFY2(!b.takeWritten().contains("FA00014025000;"), "the first program's echo");
        b.radio()->feed("FA;");
        QCOMPARE(b.takeWritten(), QByteArray("FA00014025000;")); // its own answer, the new frequency
    }

    void loggerLeaving_reopensThePorts() {
        CoreBench b;
        b.startRadio();
        loggerOpensItsEnd(b.radio());
        QCOMPARE(b.c().colour(Ctl::cdLight), Colours::kRed);
        b.radio()->setLines({});
        QVERIFY(!b.picture().loggerOnline);
        QCOMPARE(b.radio()->openCount, 2);
        QVERIFY(b.core->ports().radioPort().isOpen());
        for (const QString& grey :
             {Ctl::cdLight, Ctl::dsrLight, Ctl::ctsLight, Ctl::rdLight, Ctl::tdLight})
            QCOMPARE(b.c().colour(grey), Colours::kLedOff);
        QCOMPARE(b.c().colour(Ctl::rtsLight), Colours::kGreen); // raised again by the reopen
    }

    // The logger keys the rig and dies: its end of the port closes, and the key-up goes out.
    void loggerDiesWhileKeyed_theKeyUpGoesOut_andTheStatusSaysSo() {
        LinkedBench b;
        QVERIFY(b.ok);
        loggerOpensItsEnd(b.radio());
        b.radio()->feed("TX;");
        QCOMPARE(b.station.waitForLines(1), QStringList{"A0:MX1;"});
        b.radio()->setLines({});
        QCOMPARE(b.station.waitForLines(2), (QStringList{"A0:MX1;", "A0:MX0;"}));
        QVERIFY(b.c()
                    .text(Ctl::linkStatusLabel)
                    .contains("the logger left its port with the transmitter keyed; key-up sent"));
        loggerOpensItsEnd(b.radio()); // back, and gone again without keying: nothing more
        b.radio()->setLines({});
        QTest::qWait(20);
        QCOMPARE(b.station.lines().size(), 2);
    }

    // Hamlib's CW (rigctl b): "KY;" has room, then the text padded to 24, then its check "ID;".
    void hamlibSendMorse_keysTheTextThroughTheKeyer() {
        LinkedBench b;
        QVERIFY(b.ok);
        b.c().setText(Ctl::cwSpeedBox, "22");
        loggerOpensItsEnd(b.radio());
        b.radio()->feed("KY;");
        QCOMPARE(b.takeWritten(), QByteArray("KY0;"));
        b.radio()->feed("KY CQ TE"); // the rest comes with the next read
        b.radio()->feed("ST                 ;");
        b.radio()->feed("ID;");
        b.radio()->feed("KS;");
        QCOMPARE(b.takeWritten(), QByteArray("ID009;KS022;"));
        QCOMPARE(b.station.waitForLines(8), (QStringList{"WK:C;", "WK:Q;", "WK: ;", "WK:T;", "WK:E;",
                                                          "WK:S;", "WK:T;", "WK: ;"}));
        b.radio()->feed("KS030;");
        QCOMPARE(b.station.waitForLines(9).last(), QString("WT:30|26;"));
        QCOMPARE(b.c().text(Ctl::cwSpeedBox), QString("30"));
    }

    void stepped_writesTheNormalisedForm_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<double>("step");
        QTest::addColumn<QString>("to");
        QTest::newRow("up a tenth") << "14000.00" << 0.1 << "00014000.10";
        QTest::newRow("up one") << "14000.00" << 1.0 << "00014001.00";
        QTest::newRow("down one below 7000") << "7000.00" << -1.0 << "00006999.00";
        QTest::newRow("down across 10000") << "10000.00" << -1.0 << "00009999.00";
        QTest::newRow("not below zero") << "0.05" << -0.1 << "00000000.00";
        QTest::newRow("not past the top") << "99999.95" << 0.1 << "00099999.99";
    }
    void stepped_writesTheNormalisedForm() {
        QFETCH(QString, from);
        QFETCH(double, step);
        QFETCH(QString, to);
        QCOMPARE(FrequencyStepper::stepped(from, step), to);
    }

    void holding_stepsUntilReleased_loggerSeesEveryStep_stationOnlyTheLast() {
        CoreBench b;
        StationEnd station;
        QVERIFY(station.accept(b.core->serverSocket()));
        b.startRadio();
        b.radio()->setLines({true, true, true, false}); // the logger holds its port open
        QStringList shown;
        QByteArray polled;
        connect(&b.c(), &ControlStore::changed, this, [&](const QString& name, auto) {
            if (name != Ctl::frequencyBox)
                return;
            shown << b.c().text(Ctl::frequencyBox);
            if (shown.size() == 2) { // the logger polls while the button is held
                b.radio()->feed("FA;");
                polled = b.takeWritten();
            }
            if (shown.size() == 3)
                b.core->stepper().release();
        });
        b.core->stepper().press(true, false);
        while (b.core->stepper().isStepping()) // the step timer's ticks
            b.core->stepper().step();
        QCOMPARE(shown, (QStringList{"00014001.00", "00014002.00", "00014003.00"}));
        QCOMPARE(polled, QByteArray("FA00014002000;"));
        QCOMPARE(b.takeWritten(), QByteArray("FA00014003000;"));
        QCOMPARE(station.waitForLines(1), QStringList{"A0:FA14003000;"});
        QVERIFY(!b.core->stepper().isStepping());
    }

    void sendButtons_goOnlyWhereTheyMayGo() {
        CoreBench b;
        StationEnd station;
        b.c().setText(Ctl::sendTextBox, "PS;");
        b.core->stepper().sendToCorvel(); // not connected: dropped
        b.startRadio();
        b.core->stepper().sendToRadio(); // the logger has not opened its end: dropped
        QVERIFY(b.takeWritten().isEmpty());
        QVERIFY(station.accept(b.core->serverSocket()));
        b.core->stepper().sendToCorvel();
        QCOMPARE(station.waitForLines(1), QStringList{"PS;"});
        b.radio()->setLines({true, true, true, false});
        b.core->stepper().sendToRadio();
        QCOMPARE(b.takeWritten(), QByteArray("PS;")); // unchanged, no terminator added
    }
};

QTEST_GUILESS_MAIN(LoggerCatTest)
#include "tst_LoggerCat.moc"
