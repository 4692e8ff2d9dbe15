#include "cat/FrequencyStepper.h"
#include "support/CoreBench.h"
#include "support/StationEnd.h"

#include <QTest>

class FrequencyStepperTest : public QObject {
    Q_OBJECT
private slots:
    void stepped_writesTheNormalisedForm_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<double>("step");
        QTest::addColumn<QString>("to");
        QTest::newRow("up a tenth") << "14000.00" << 0.1 << "00014000.10";
        QTest::newRow("up a tenth again") << "00014000.10" << 0.1 << "00014000.20";
        QTest::newRow("up one") << "14000.00" << 1.0 << "00014001.00";
        QTest::newRow("down one below 7000") << "7000.00" << -1.0 << "00006999.00";
        QTest::newRow("down across 10000") << "10000.00" << -1.0 << "00009999.00";
        QTest::newRow("up across 10000") << "9999.00" << 1.0 << "00010000.00";
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
        b.clock.set(40000.0); // the pause between steps runs on this clock
        b.clock.setStepPerReading(0.02);
        QStringList shown;
        QByteArray polled;
        connect(&b.c(), &ControlStore::changed, this, [&](const QString& name, auto) {
            if (name != Ctl::StartFreq)
                return;
            shown << b.c().text(Ctl::StartFreq);
            if (shown.size() == 2) { // the logger polls while the button is held
                b.radio()->feed("FA;");
                polled = b.takeWritten();
            }
            if (shown.size() == 3)
                b.core->stepper().release();
        });
        b.core->stepper().press(true, false);
        QCOMPARE(shown, (QStringList{"00014001.00", "00014002.00", "00014003.00"}));
        QCOMPARE(polled, QByteArray("FA00014002000;"));
        QCOMPARE(b.takeWritten(), QByteArray("FA00014003000;"));
        QCOMPARE(station.waitForLines(1), QStringList{"A0:FA14003000;"});
        QVERIFY(!b.core->stepper().isStepping());
    }

    void singleClick_stepsOnceAndSendsOnce() {
        CoreBench b;
        StationEnd station;
        QVERIFY(station.accept(b.core->serverSocket()));
        b.c().setValue(Ctl::Check1, 1);
        connect(&b.c(), &ControlStore::changed, this, [&](const QString& name, auto) {
            if (name == Ctl::StartFreq)
                b.core->stepper().release();
        });
        b.core->stepper().press(false, true);
        QCOMPARE(b.c().text(Ctl::StartFreq), QString("00013999.90"));
        QCOMPARE(station.waitForLines(1), QStringList{"A0:FA13999900;"});
        QCOMPARE(b.c().text(Ctl::Text6), QString("A0:FA13999900;\r\n"));
    }

    void sendButtons_goOnlyWhereTheyMayGo() {
        CoreBench b;
        StationEnd station;
        b.c().setText(Ctl::Text4, "PS;");
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

QTEST_GUILESS_MAIN(FrequencyStepperTest)
#include "tst_FrequencyStepper.moc"
