// The logger sets a frequency on the virtual radio port; the simulated station server sees
// the key-up, the immediate set and the queued set, in that order; the logger gets its echo;
// a frequency the station then reports reaches the logger.
#include "platform/serial/SystemBackendProvider.h"
#include "support/CoreBench.h"
#include "support/LoggerEnd.h"
#include "support/SimProcess.h"

#include <QTest>



class RoadOfOneRequestTest : public QObject {
    Q_OBJECT
private slots:
    void frequencySet_travelsToTheStationAndBack() {
        SimProcess sim({"--user", "OH2XX:pw"});
        QVERIFY(sim.port != 0);
        QTemporaryDir ports;
        SystemBackendProvider system(ports.path());
        SystemClock clock;
        CoreBench b(&system, &clock);
        b.pointAt(sim.port);
        b.c().selectItem(Ctl::Soft1Com, "Virtual");
        b.c().selectItem(Ctl::Soft2com, "None");
        b.core->startUp();
        b.core->connectAtStartup();
        QCOMPARE(b.c().text(Ctl::Connect), QString("Disconnect"));
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn(), 10000);
        QVERIFY(b.core->ports().radioPort().isOpen()); // opened by the login

        LoggerEnd logger(ports.filePath("radio"));
        QVERIFY(logger.isOpen());
        // the simulated rig starts on 14025 kHz; the logger moves it
        QVERIFY(logger.write("FA00014030000;"));
        QVERIFY(logger.readWhileRunning("FA00014030000;").contains("FA00014030000;"));
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("A0:FA14030000;"), 5000);
        const QStringList wire = sim.wireLines();
        const qsizetype keyUp = wire.indexOf("A0:MX0;");
        QVERIFY(keyUp >= 0);
        QCOMPARE(wire.mid(keyUp, 3), (QStringList{"A0:MX0;", "FA14030000;", "A0:FA14030000;"}));
        QVERIFY(wire.mid(0, 4).contains("MG:Callsign OH2XX;"));
        QVERIFY(wire.contains("R"));

        sim.command("freq 7074000"); // the station reports a new frequency
        QVERIFY(logger.readWhileRunning("FA00007074000;").contains("FA00007074000;"));
        QCOMPARE(b.picture().startFreq(), QString("00007074.00"));
    }

    void linkDroppedWhileKeyed_theKeyUpGoesOutWhenTheLinkIsBack() {
        SimProcess sim({"--user", "OH2XX:pw"});
        QVERIFY(sim.port != 0);
        SystemClock clock;
        CoreBench b(nullptr, &clock);
        b.pointAt(sim.port);
        b.core->startUp();
        b.core->connectAtStartup();
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn(), 10000);
        b.core->serverLine().send("A0:MX1;"); // keyed (the logger's TX;)
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("A0:MX1;"), 5000);
        sim.command("send FA000140"); // half a report, then the link goes
        sim.command("drop");
        QTRY_VERIFY_WITH_TIMEOUT(!b.core->isLoggedIn() && b.c().text(Ctl::Connect) == "Connect", 10000);
        QTRY_VERIFY(!b.dialogs.messages.isEmpty());
        QVERIFY2(b.dialogs.messages.last().contains("the key-up (A0:MX0;) goes out"),
                 qPrintable(b.dialogs.messages.last()));
        QVERIFY(!sim.wireLines().contains("A0:MX0;"));
        b.core->stationLink().Connect_Click(); // the operator connects again
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("A0:MX0;"), 5000);
        QVERIFY(sim.wireLines().lastIndexOf("A0:MX0;") > sim.wireLines().lastIndexOf("A0:MX1;"));
        QCOMPARE(b.picture().startFreq(), QString("00014025.00")); // the half report changed nothing
    }
};

QTEST_GUILESS_MAIN(RoadOfOneRequestTest)
#include "tst_RoadOfOneRequest.moc"
