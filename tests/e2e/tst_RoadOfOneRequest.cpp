// The link to the simulated station server goes while the transmitter is keyed, in the middle
// of a report or by a path that goes dead without closing: the key-up goes out once the
// operator is logged in again.
#include "support/CoreBench.h"
#include "support/SimProcess.h"

#include <QTest>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

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
        QTRY_VERIFY_WITH_TIMEOUT(!b.core->isLoggedIn() && b.c().text(Ctl::connectMenu) == "Connect",
                                 10000);
        QTRY_VERIFY(!b.dialogs.messages.isEmpty());
        QVERIFY2(b.dialogs.messages.last().contains("the key-up (A0:MX0;) goes out"),
                 qPrintable(b.dialogs.messages.last()));
        QVERIFY(!sim.wireLines().contains("A0:MX0;"));
        b.core->stationLink().connectClicked(); // the operator connects again
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("A0:MX0;"), 5000);
        QVERIFY(sim.wireLines().lastIndexOf("A0:MX0;") > sim.wireLines().lastIndexOf("A0:MX1;"));
        QCOMPARE(b.picture().startFreq(), QString("00014025.00")); // the half report changed nothing
    }

    // The path to the station stops carrying anything without closing (corvel-sim "hang"),
    // with the transmitter keyed in plain mode (no guard). A quiet station that answers the
    // link's status request is left alone; a dead one is noticed within 15 s, closed with no
    // box, and the key-up is the first line after the next login.
    void deadPathWhileKeyed_noticedIn15Seconds_keyUpFirstAfterNextLogin() {
        SimProcess sim({"--user", "OH2XX:pw"});
        QVERIFY(sim.port != 0);
        CoreBench b;
        b.runClock(0.02); // the connect's waits run on this clock
        b.pointAt(sim.port);
        b.c().selectItem(Ctl::radioPortChoice, "COM8");
        b.c().selectItem(Ctl::keyerPortChoice, "None");
        b.core->startUp();
        b.core->connectAtStartup();
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn(), 10000);
        b.clock.setStepPerReading(0.0); // from here the test moves the clock
        // The kernel watches the path too: keep-alive, and a user timeout on unacknowledged data.
        const int fd = int(b.core->serverSocket().socketDescriptor());
        int keepAlive = 0, userTimeout = 0;
        socklen_t size = sizeof(int);
        ::getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &keepAlive, &size);
        ::getsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &userTimeout, &size);
        QCOMPARE(keepAlive, 1);
        QCOMPARE(userTimeout, 15000);
        b.core->serverLine().send("A0:MX1;");
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("A0:MX1;"), 5000);
        LinkHealth& health = b.core->linkHealth();
        for (int probe = 1; probe <= 4; ++probe) { // 20 s of a quiet but live station
            b.clock.advance(5.0);
            health.secondTick();
            QTRY_COMPARE_WITH_TIMEOUT(sim.wireLines().count("A0:IF;"), probe, 5000);
            QTRY_COMPARE_WITH_TIMEOUT(sim.wireLines().filter("A0:IF000").size(), probe, 5000);
        }
        QVERIFY(b.core->isLoggedIn());

        sim.command("hang on");
        b.clock.advance(5.0);
        health.secondTick(); // asks once more; nothing comes back
        QTRY_COMPARE_WITH_TIMEOUT(sim.wireLines().count("A0:IF;"), 5, 5000);
        b.clock.advance(9.0);
        health.secondTick();
        QCOMPARE(b.c().text(Ctl::connectMenu), QString("Disconnect"));
        b.clock.advance(1.0);
        health.secondTick();
        QCOMPARE(b.c().text(Ctl::connectMenu), QString("Connect"));
        QVERIFY(!b.c().isVisible(Ctl::connectedLight) && !b.c().isVisible(Ctl::loginLight));
        QVERIFY2(b.c().text(Ctl::linkStatusLabel).contains("no answer from the station for 15 s"),
                 qPrintable(b.c().text(Ctl::linkStatusLabel)));
        QVERIFY(b.c()
                    .text(Ctl::linkStatusLabel)
                    .contains("the key-up (A0:MX0;) goes out at the next login"));
        QVERIFY2(b.dialogs.messages.isEmpty(), qPrintable(b.dialogs.messages.join('|')));

        sim.command("hang off");
        b.runClock(0.02);
        b.core->stationLink().connectClicked();
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().count("A0:MX0;") == 1, 5000);
        const QStringList lines = sim.wireLines();
        QCOMPARE(lines.value(lines.lastIndexOf("R") + 1), QString("A0:MX0;"));
    }
};

QTEST_GUILESS_MAIN(RoadOfOneRequestTest)
#include "tst_RoadOfOneRequest.moc"
