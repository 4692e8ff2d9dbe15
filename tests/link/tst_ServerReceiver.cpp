#include "support/CoreBench.h"
#include "support/StationEnd.h"

#include <QFile>
#include <QTest>

namespace {

// The program logged in to a scripted station end, the radio port open for a logger.
struct Linked : CoreBench {
    Linked() {
        core->startUp();
        c().setText(Ctl::Callsign, "OH2XX");
        c().setText(Ctl::Password, "pw");
        ok = station.accept(core->serverSocket());
        startRadio();
        radio()->setLines({true, true, true, false});
    }
    // Sends a chunk and lets the program take it in.
    void chunk(const QByteArray& bytes) {
        station.send(bytes);
        QTest::qWait(20);
    }
    StationEnd station;
    bool ok = false;
};

} // namespace

class ServerReceiverTest : public QObject {
    Q_OBJECT
private slots:
    void reports_reachPictureAndLogger() {
        Linked l;
        QVERIFY(l.ok);
        l.takeWritten();
        l.chunk("FA00014074000;MD02;");
        QTRY_COMPARE(l.picture().startFreq(), QString("00014074.00"));
        QCOMPARE(l.c().text(Ctl::Combo1), QString("USB"));
        // the mode report is handled before the VFO report, with the frequency as it stood
        QCOMPARE(l.takeWritten(), QByteArray("IF00014000000     -000000000020000000;MD2;FA00014074000;"));
        QCOMPARE(l.c().colour(Ctl::RCVIP), Colours::kRed);
    }

    void rigPower_isLoggedOncePerChange() {
        Linked l;
        l.chunk("PS1;");
        l.chunk("PS1;");
        l.chunk("PS0;");
        QTRY_VERIFY(l.logText().contains("RIG OFF at "));
        const QString log = l.logText();
        QCOMPARE(log.count("RIG ON at "), 1);
        QCOMPARE(log.count("RIG OFF at "), 1);
        QVERIFY(log.indexOf("RIG ON") < log.indexOf("RIG OFF"));
        QVERIFY(log.contains("\n\r\n")); // the line's own line feed, then the log's line end
    }

    void rttyLevels_keyAndReleaseOnce() {
        Linked l;
        l.c().setValue(Ctl::KeyRTTY, 1);
        for (const char* level : {"RL:12500", "RL:12800", "RL:05000", "RL:00900", "RL:00800"})
            l.chunk(level);
        QTRY_COMPARE(l.station.lines(), (QStringList{"A0:MX1;", "A0:MX0;"}));
    }

    void vox_isSwitchedOff() {
        Linked l;
        l.chunk("VX1;");
        QTRY_COMPARE(l.station.lines(), QStringList{"A0:VX0;"});
    }

    void chatLine_withNoChatWindow_goesNoFurther() {
        Linked l;
        l.chunk("A0:MSGhello there;FA00014074000;");
        QCOMPARE(l.picture().startFreq(), QString("14000.00"));
        l.chunk("FA00014074000;");
        QTRY_COMPARE(l.picture().startFreq(), QString("00014074.00"));
    }

    void guardInputs_followKeyReports() {
        Linked l;
        l.c().setValue(Ctl::EnableGuard, 1);
        l.chunk("MX1;");
        QTRY_VERIFY(l.core->linkState().txKeyed);
        QVERIFY(l.c().isVisible(Ctl::Shape2));
        QVERIFY(l.picture().transmitting); // the logger's status record says so too
        l.core->linkState().guardCount = 7;
        l.chunk("MX0;");
        QTRY_VERIFY(!l.core->linkState().txKeyed);
        QCOMPARE(l.core->linkState().guardCount, 0);
        QVERIFY(!l.c().isVisible(Ctl::Shape2));
    }

    void activity_restartsTheIdleCount() {
        Linked l;
        l.c().setValue(Ctl::EnableActive, 1);
        l.core->linkState().idleCount = 100;
        l.c().setText(Ctl::Text6, "Sending Key Up Signal");
        l.chunk("FA00014074000;");
        QTRY_COMPARE(l.core->linkState().idleCount, 0);
        QVERIFY(l.core->linkState().activitySeen);
        QVERIFY(l.c().text(Ctl::Text6).isEmpty());
        l.chunk("PS1;");
        QTRY_VERIFY(!l.core->linkState().activitySeen);
    }

    void loginPrompts_answeredInAnyOrder_thenPortsAndGuard() {
        Linked l;
        l.c().setValue(Ctl::EnableGuard, 1);
        l.c().setText(Ctl::Callsign, "oh2xx");
        l.core->stationLink().callsignLeft();
        const int opensBefore = l.radio()->openCount;
        l.chunk("MG:Password Please;");
        l.chunk("MG:Your CALL Please;");
        l.chunk("MG:Login OK;");
        QTRY_COMPARE(l.station.lines(), (QStringList{"MG:Password pw;", "MG:Callsign OH2XX;", "R",
                                                     "A0:MX0;"}));
        QVERIFY(l.core->isLoggedIn());
        QVERIFY(l.c().isVisible(Ctl::Shape1));
        QCOMPARE(l.radio()->openCount, opensBefore + 1); // the ports were started again
    }

    void badReportsRepeated_andAFlood_laterReportsStillHandled() {
        Linked l;
        for (int i = 0; i < 50; ++i)
            l.station.send("MD09;");
        l.chunk(QByteArray(100 * 1024, '\x7f'));
        l.chunk("FA00014074000;");
        QTRY_COMPARE(l.picture().startFreq(), QString("00014074.00"));
        QVERIFY(l.dialogs.messages.contains("error Invalid property value"));
        QVERIFY(l.c().text(Ctl::Text5).size() <= 2000);
    }

    void dataWithTheLinkGone_reportsLostConnection() {
        Linked l;
        l.c().setText(Ctl::Connect, "Disconnect");
        l.core->serverSocket().abort();
        l.core->receiver().onDataArrived();
        QCOMPARE(l.dialogs.messages, QStringList{"Lost Connection"});
        QCOMPARE(l.c().text(Ctl::Connect), QString("Connect"));
        QVERIFY(!l.core->isLoggedIn());
    }
};

QTEST_GUILESS_MAIN(ServerReceiverTest)
#include "tst_ServerReceiver.moc"
