#include "cat/LoggerCat.h"
#include "platform/serial/PtyBackend.h"
#include "platform/serial/SystemBackendProvider.h"
#include "support/CoreBench.h"
#include "support/LoggerEnd.h"
#include "support/StationEnd.h"

#include <QTest>


namespace {

const QByteArray kRecordCW = "IF00014000000     -000000000030000000;";

void loggerOpensItsEnd(FakeBackend* port) { port->setLines({true, true, true, false}); }

} // namespace

class LoggerCatTest : public QObject {
    Q_OBJECT
private slots:
    void poll_isAnsweredAndLightsTheLines() {
        CoreBench b;
        b.startRadio();
        b.radio()->feed("IF;");
        QCOMPARE(b.takeWritten(), kRecordCW);
        QVERIFY(b.picture().loggerOnline);
        for (const QString& lit : {Ctl::CTS, Ctl::DSR, Ctl::CD})
            QCOMPARE(b.c().colour(lit), Colours::kRed);
        QCOMPARE(b.c().colour(Ctl::RD), Colours::kLedOff); // it blinks for the pass only
        QVERIFY(b.core->loggerCat().catBuffer().isEmpty());
    }

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
        b.clock.set(43200.0); // daytime: the intake's pacing is real
        b.clock.setStepPerReading(0.0005);
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
        QCOMPARE(b.takeWritten(), kRecordCW); // the poll is still answered
        QCOMPARE(b.dialogs.messages.size(), 2);
        b.radio()->feed(QByteArray(40, 'x')); // a full buffer is thrown away
        QCOMPARE(b.core->loggerCat().catBuffer(), QString());
        b.radio()->feed("IF;");
        QCOMPARE(b.dialogs.messages.size(), 2);
    }

    void portClosedWhenTheLoopStarts_dropsTheBuffer() {
        CoreBench b;
        b.startRadio();
        b.c().setValue(Ctl::Check1, 1);
        QMetaObject::Connection closer = connect(&b.c(), &ControlStore::changed, this,
                                                 [&](const QString& name, ControlStore::Aspect) {
            if (name == Ctl::Text1)
                b.core->ports().radioPort().close();
        });
        b.radio()->feed("IF;");
        disconnect(closer);
        QVERIFY(b.takeWritten().isEmpty());
        QVERIFY(b.core->loggerCat().catBuffer().isEmpty());
    }

    void pollArrivingDuringAPass_isAnsweredWithoutWaitingForMore() {
        CoreBench b;
        b.startRadio();
        b.c().setValue(Ctl::Check1, 1);
        bool fed = false;
        connect(&b.c(), &ControlStore::changed, this, [&](const QString& name, auto) {
            if (name == Ctl::Text6 && !fed) { // the logger polls again while we still work
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
        b.clock.set(43200.0); // daytime: the pause is real
        b.clock.setStepPerReading(0.0005);
        bool polled = false;
        connect(&b.c(), &ControlStore::changed, this, [&](const QString& name, auto) {
            if (name == Ctl::StartFreq && !polled) { // the set has reached the picture
                polled = true;
                b.radio()->feed("IF;");
            }
        });
        b.radio()->feed("FA00007060000;ID;");
        QCOMPARE(b.takeWritten(), QByteArray("ID009;IF00007060000     -000000000030000000;FA00007060000;"));
        QCOMPARE(station.waitForLines(2), (QStringList{"A0:MX0;", "FA07060000;"}));
    }

    void loggerLeaving_reopensThePorts() {
        CoreBench b;
        b.startRadio();
        loggerOpensItsEnd(b.radio());
        QCOMPARE(b.c().colour(Ctl::CD), Colours::kRed);
        b.radio()->setLines({});
        QVERIFY(!b.picture().loggerOnline);
        QCOMPARE(b.radio()->openCount, 2);
        QVERIFY(b.core->ports().radioPort().isOpen());
        for (const QString& grey : {Ctl::CD, Ctl::DSR, Ctl::CTS, Ctl::RD, Ctl::TD})
            QCOMPARE(b.c().colour(grey), Colours::kLedOff);
        QCOMPARE(b.c().colour(Ctl::RTS), Colours::kGreen); // raised again by the reopen
    }

    void stationLines_forSetsAndKeying() {
        CoreBench b;
        StationEnd station;
        QVERIFY(station.accept(b.core->serverSocket()));
        b.startRadio();
        b.radio()->feed("FA00014025000;");
        QCOMPARE(b.takeWritten(), QByteArray("FA00014025000;"));
        b.radio()->feed("MD2;");
        b.radio()->feed("TX;");
        b.radio()->feed("IF;");
        QCOMPARE(b.takeWritten(), QByteArray("IF00014025000     -000000000120000000;"));
        b.radio()->feed("RX;");
        b.radio()->feed("IF;");
        QCOMPARE(b.takeWritten().mid(28, 1), QByteArray("0"));
        QCOMPARE(station.waitForLines(6),
                 (QStringList{"A0:MX0;", "FA14025000;", "A0:MD02;", "A0:MX1;", "A0:MX0;",
                              "A0:MX0;"}));
        QVERIFY(station.rawBytes().endsWith("A0:MX0;\r\n"));
        QCOMPARE(b.picture().pendingFreqCommand, QString("A0:FA14025000;"));
    }

    void virtualPort_followsTheLoggerOpeningAndClosingItsEnd() {
        QTemporaryDir ports;
        SystemBackendProvider system(ports.path());
        CoreBench b(&system);
        b.startRadio("Virtual");
        QVERIFY(b.core->ports().radioPort().isOpen());
        PtyBackend* pair = system.virtualPort(PortRole::Radio);

        LoggerEnd logger(pair->linkPath());
        QVERIFY(logger.isOpen());
        pair->refreshPeer();
        QVERIFY(b.picture().loggerOnline);
        QCOMPARE(b.c().colour(Ctl::DSR), Colours::kRed);

        QVERIFY(logger.write("FA;"));
        QCOMPARE(logger.readWhileRunning(";"), QByteArray("FA00014000000;"));

        logger.close();
        pair->refreshPeer();
        QVERIFY(!b.picture().loggerOnline);
        QCOMPARE(b.c().colour(Ctl::DSR), Colours::kLedOff);
        QVERIFY(b.core->ports().radioPort().isOpen()); // started again for the logger's return
    }
};

QTEST_GUILESS_MAIN(LoggerCatTest)
#include "tst_LoggerCat.moc"
