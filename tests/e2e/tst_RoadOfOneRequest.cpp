// The link to the simulated station server goes while the transmitter is keyed, in the middle
// of a report or by a path that goes dead without closing: the key-up goes out once the
// operator is logged in again.
#include "support/ActionWarnings.h"
#include "support/CoreBench.h"
#include "support/DeadRelay.h"
#include "support/SimProcess.h"

#include <QTest>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

class RoadOfOneRequestTest : public QObject {
    Q_OBJECT
private slots:
    void init() { failOnForgottenActions(); }

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
        b.core->startUp();
        b.c().selectItem(Ctl::radioPortChoice, "COM8");
        b.c().selectItem(Ctl::keyerPortChoice, "None");
        b.c().setValue(Ctl::monitorDataCheck, 1);
        b.core->connectAtStartup();
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn() && !b.core->linkState().serverRxBusy, 10000);
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
        QTRY_VERIFY_WITH_TIMEOUT(b.c().text(Ctl::fromServerMonitor).contains("MX1;"), 5000); // its report is in
        for (int probe = 1; probe <= 4; ++probe) { // 20 s of a quiet but live station
            b.seconds(5);
            QTRY_COMPARE_WITH_TIMEOUT(sim.wireLines().count("A0:IF;"), probe, 5000);
            QTRY_COMPARE_WITH_TIMEOUT(sim.wireLines().filter("A0:IF000").size(), probe, 5000);
        }
        QVERIFY(b.core->isLoggedIn());

        sim.command("hang on");
        b.seconds(5); // asks once more; nothing comes back
        QTRY_COMPARE_WITH_TIMEOUT(sim.wireLines().count("A0:IF;"), 5, 5000);
        b.seconds(9);
        QCOMPARE(b.c().text(Ctl::connectMenu), QString("Disconnect"));
        b.seconds(1);
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

    // The path goes dead without closing while the logger holds the transmitter keyed, and the
    // key-up goes into it: the operator lets go (RX;), or the guard does. A key-up written is
    // not a key-up delivered: until the station is heard after it, the link is held to the
    // keyed limit (15 s, not the 45 s of a quiet receiver), and the key-up is owed, first
    // after the next login.
    void keyUpIntoADeadPath_isOwedUntilTheStationIsHeard_data() {
        QTest::addColumn<bool>("guard");
        QTest::newRow("the logger lets go (RX;)") << false;
        QTest::newRow("the guard lets go (10 s)") << true;
    }
    void keyUpIntoADeadPath_isOwedUntilTheStationIsHeard() {
        QFETCH(bool, guard);
        SimProcess sim({"--user", "OH2XX:pw"});
        QVERIFY(sim.port != 0);
        DeadRelay relay(sim.port);
        CoreBench b;
        b.runClock(0.02);
        b.pointAt(relay.port());
        b.core->startUp();
        b.c().selectItem(Ctl::radioPortChoice, "COM8"); // opened at the login
        b.c().selectItem(Ctl::keyerPortChoice, "None");
        b.c().setValue(Ctl::guardCheck, guard ? 1 : 0);
        b.c().setText(Ctl::guardTimeBox, "10");
        b.c().setValue(Ctl::monitorDataCheck, 1);
        b.core->connectAtStartup();
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn() && !b.core->linkState().serverRxBusy, 10000);
        b.clock.setStepPerReading(0.0); // the login's wait is over: from here the test moves the clock
        if (guard) // the station's report of the guard's key-up after the login is in
            QTRY_VERIFY_WITH_TIMEOUT(b.c().text(Ctl::fromServerMonitor).contains("MX0;"), 5000);
        b.radio()->setLines({true, true, true, false}); // the logger opens its end
        b.radio()->feed("TX;");
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("A0:MX1;"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(b.core->linkState().txKeyed == guard, 5000); // the station's report
        const int keyUpsBefore = int(sim.wireLines().count("A0:MX0;"));

        relay.goDead();
        if (!guard)
            b.radio()->feed("RX;");
        b.seconds(11);
        QVERIFY(b.core->transmitterHold().keyUpUnheard()); // written, and nothing came back
        QCOMPARE(sim.wireLines().count("A0:MX0;"), keyUpsBefore);
        b.seconds(4);
        QCOMPARE(b.c().text(Ctl::connectMenu), QString("Connect"));
        QVERIFY2(b.c().text(Ctl::linkStatusLabel).contains("the key-up (A0:MX0;) goes out at the next login"),
                 qPrintable(b.c().text(Ctl::linkStatusLabel)));
        QVERIFY(b.core->transmitterHold().keyUpOwed());

        b.runClock(0.02); // the path is back (reset), and the operator connects again
        b.core->stationLink().connectClicked();
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().count("A0:MX0;") > keyUpsBefore, 5000);
        const QStringList lines = sim.wireLines();
        QCOMPARE(lines.value(lines.lastIndexOf("R") + 1), QString("A0:MX0;"));
        QTRY_VERIFY_WITH_TIMEOUT(!b.core->transmitterHold().holds(), 5000); // heard this time
        QVERIFY(!b.core->transmitterHold().keyUpOwed());
        QVERIFY(!QFile::exists(b.path("ZarnikControl.keyed")));
    }

    // The program itself stopped for 20 s while keyed (a suspended laptop, SIGSTOP): its own
    // stop is not the station's silence. The link stays, the station is asked for a report at
    // once, and a key-up written just before the stop that the station was not heard to get
    // is written again.
    void programStoppedWhileKeyed_keepsTheLink_asksTheStation_andRepeatsAnUnheardKeyUp() {
        SimProcess sim({"--user", "OH2XX:pw"});
        QVERIFY(sim.port != 0);
        CoreBench b;
        b.runClock(0.02);
        b.pointAt(sim.port);
        b.c().selectItem(Ctl::radioPortChoice, "COM8");
        b.c().selectItem(Ctl::keyerPortChoice, "None");
        b.core->startUp();
        b.core->connectAtStartup();
        QTRY_VERIFY_WITH_TIMEOUT(b.core->isLoggedIn() && !b.core->linkState().serverRxBusy, 10000);
        b.clock.setStepPerReading(0.0);
        b.core->serverLine().send("A0:MX1;");
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("A0:MX1;"), 5000);
        b.seconds(2);

        b.clock.advance(20.0); // stopped, keyed
        b.seconds(1);
        QCOMPARE(b.c().text(Ctl::connectMenu), QString("Disconnect"));
        QTRY_COMPARE_WITH_TIMEOUT(sim.wireLines().count("A0:IF;"), 1, 5000);
        b.seconds(10);
        QCOMPARE(b.c().text(Ctl::connectMenu), QString("Disconnect"));

        b.core->serverLine().send("A0:MX0;"); // let go; stopped before anything is read
        b.clock.advance(20.0);
        b.seconds(1);
        QCOMPARE(b.c().text(Ctl::connectMenu), QString("Disconnect"));
        QTRY_COMPARE_WITH_TIMEOUT(sim.wireLines().count("A0:MX0;"), 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!b.core->transmitterHold().holds(), 5000);
    }
};

QTEST_GUILESS_MAIN(RoadOfOneRequestTest)
#include "tst_RoadOfOneRequest.moc"
