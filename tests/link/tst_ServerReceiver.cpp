#include "support/LinkedBench.h"

#include <QFile>
#include <QTest>

using Linked = LinkedBench;

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

    // What the quick rules ask for is carried out (the rules themselves: tst_ChunkRules).
    void quickRules_areCarriedOut() {
        Linked l;
        l.c().setValue(Ctl::EnableGuard, 1);
        l.c().setValue(Ctl::EnableActive, 1);
        l.c().setValue(Ctl::Check1, 1);
        l.c().setText(Ctl::Text6, "Sending Key Up Signal");
        l.core->linkState().guardNoticeShown = true;
        l.chunk("PS1;VX1;MX1;");
        QTRY_COMPARE(l.station.lines(), QStringList{"A0:VX0;"});
        QVERIFY(l.c().isVisible(Ctl::Shape2));
        QVERIFY(l.c().text(Ctl::Text6).isEmpty());
        QVERIFY(l.c().text(Ctl::Text5).contains("PS1;VX1;MX1;")); // the receive monitor
        QTRY_VERIFY(l.logText().contains("RIG ON at "));
        QVERIFY(l.logText().contains("\n\r\n")); // the line's own line feed, then the log's
    }

    // A status report and a mode report in one chunk: the status report's mode counts, and
    // the chunk is passed once per report keyword in it.
    void statusAndModeReportInOneChunk() {
        Linked l;
        l.takeWritten();
        l.chunk("IF00014074000-000000200000;MD03;");
        QTRY_COMPARE(l.picture().startFreq(), QString("00014074.00"));
        QCOMPARE(l.c().text(Ctl::Combo1), QString("USB"));
        QCOMPARE(l.takeWritten(), QByteArray("FA00014074000;FA00014074000;"));
        QCOMPARE(l.station.waitForLines(2), (QStringList{"A0:IF00014074000-000000200000;",
                                                        "A0:IF00014074000-000000200000;"}));
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
