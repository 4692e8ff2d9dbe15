// The link to the simulated station server goes while the transmitter is keyed, in the middle
// of a report: the key-up goes out once the operator is logged in again.
#include "support/CoreBench.h"
#include "support/SimProcess.h"

#include <QTest>

class RoadOfOneRequestTest : public QObject {
    Q_OBJECT
private slots:
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
