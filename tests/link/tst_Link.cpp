// The station link on the whole program's core: the receiver carrying out the passes'
// actions, the watchdogs, connecting and logging in.
#include "support/ActionWarnings.h"
#include "chat/ChatControls.h"
#include "link/LinkRetry.h"
#include "support/FreePort.h"
#include "support/LinkedBench.h"
#include "support/CoreBench.h"
#include "support/StationEnd.h"
#include "link/LinkTexts.h"

#include "platform/net/UnreadBytes.h"

#include <QFile>
#include <QTest>
#include <QThread>
#include <QTcpServer>

namespace {

using Linked = LinkedBench;

struct Watched : CoreBench {
    Watched() { ok = station.accept(core->serverSocket()); }
    Watchdogs& dogs() { return core->watchdogs(); }
    LinkState& link() { return core->linkState(); }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            dogs().secondTick();
    }
    StationEnd station;
    bool ok = false;
};

// A clock in the middle of the day that moves with every reading, so the link's waits run.
struct Daytime : CoreBench {
    explicit Daytime(const QString& commandLine = {}) : CoreBench(nullptr, nullptr, commandLine) {
        runClock(0.05);
    }
};

} // namespace

class LinkTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { failOnForgottenActions(); }

    void reports_reachPictureAndLogger() {
        Linked l;
        QVERIFY(l.ok);
        l.takeWritten();
        l.chunk("FA00014074000;MD02;");
        QTRY_COMPARE(l.picture().startFreq(), QString("00014074.00"));
        QCOMPARE(l.c().text(Ctl::modeChoice), QString("USB"));
        // the mode report is handled before the VFO report, with the frequency as it stood
        QCOMPARE(l.takeWritten(), QByteArray("IF00014000000     -000000000020000000;MD2;FA00014074000;"));
        QCOMPARE(l.c().colour(Ctl::receiveLight), Colours::kRed);
        // A status report and a mode report in one chunk: the status report's mode counts, and
        // the chunk is passed once per report keyword in it.
        l.chunk("IF00007074000-000000300000;MD02;");
        QTRY_COMPARE(l.picture().startFreq(), QString("00007074.00"));
        QCOMPARE(l.c().text(Ctl::modeChoice), QString("CW"));
        QCOMPARE(l.takeWritten(), QByteArray("FA00007074000;FA00007074000;"));
        QCOMPARE(l.station.waitForLines(2), (QStringList{"A0:IF00007074000-000000300000;",
                                                        "A0:IF00007074000-000000300000;"}));
    }

    // What the quick rules ask for is carried out (the rules themselves: tst_StationReports).
    void quickRules_areCarriedOut() {
        Linked l;
        l.c().setValue(Ctl::guardCheck, 1);
        l.c().setValue(Ctl::inactivityCheck, 1);
        l.c().setValue(Ctl::monitorDataCheck, 1);
        l.c().setText(Ctl::outgoingMonitor, "Sending Key Up Signal");
        l.core->linkState().guardNoticeShown = true;
        l.chunk("PS1;VX1;MX1;");
        QTRY_COMPARE(l.station.lines(), QStringList{"A0:VX0;"});
        QVERIFY(l.c().isVisible(Ctl::keyedLight));
        QVERIFY(l.c().text(Ctl::outgoingMonitor).isEmpty());
        QVERIFY(l.c().text(Ctl::fromServerMonitor).contains("PS1;VX1;MX1;")); // the receive monitor
        QTRY_VERIFY(l.logText().contains("RIG ON at "));
        QVERIFY(l.logText().contains("\n\r\n")); // the line's own line feed, then the log's
        l.core->chatPanel().show(); // the station's chat line, with the chat window open
        l.chunk("A0:MSGcq from the station;FA00014074000;");
        QCOMPARE(l.core->chatControls().text(ChatCtl::displayBox), QString("cq from the station"));
    }

    void loginPrompts_answeredInAnyWording_thenPortsAndGuard() {
        Linked l;
        l.c().setValue(Ctl::guardCheck, 1);
        l.c().setText(Ctl::loginCallsignBox, "oh2xx");
        l.core->stationLink().callsignLeft();
        const int opensBefore = l.radio()->openCount;
        l.chunk("MG:Enter Pass word;"); // the prompts' words, in any order and case
        l.chunk("MG:your call please;");
        l.chunk("MG:Login OK;");
        QTRY_COMPARE(l.station.lines(), (QStringList{"MG:Password pw;", "MG:Callsign OH2XX;", "R",
                                                     "A0:MX0;"}));
        QVERIFY(l.core->isLoggedIn());
        QVERIFY(l.c().isVisible(Ctl::loginLight));
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
        QVERIFY(l.c().text(Ctl::fromServerMonitor).size() <= 2000);
    }

    // What the station says is an answer to a key-up only when it comes after it: bytes that
    // were already on their way when the key-up was written do not count. The mark stands
    // while anything is held or owed, and a key-up with nothing held (the guard's at a login)
    // owes nothing.
    void transmitterHold_aKeyUpIsHeardOnlyAfterWhatWasWaiting_andTheMarkFollows() {
        Linked l;
        QVERIFY(l.ok);
        TransmitterHold& hold = l.core->transmitterHold();
        const QString mark = l.path("ZarnikControl.keyed");
        l.core->serverLine().send("A0:MX0;"); // nothing held: no debt, no mark
        QVERIFY(!hold.holds() && !QFile::exists(mark));
        l.core->serverLine().send("A0:MX1;");
        QVERIFY(hold.keyed() && QFile::exists(mark));
        l.station.send("FA00014025000;"); // the station's report, on its way before the key-up
        l.station.waitUntilSent();
        for (int i = 0; i < 1000 && UnreadBytes::of(l.core->serverSocket()) < 14; ++i)
            QThread::msleep(1); // in this end's kernel queue, not yet read
        l.core->serverLine().send("A0:MX0;");
        QVERIFY(hold.keyUpUnheard());
        l.takeIn();
        QVERIFY2(hold.keyUpUnheard(), "the report was no answer to the key-up");
        l.chunk("MX0;");
        QVERIFY(!hold.holds() && !QFile::exists(mark));

        l.core->serverLine().send("A0:MX1;");
        l.core->serverSocket().abort(); // the link goes: the key-up is owed, the mark stays
        QVERIFY(hold.noteLinkGone() && QFile::exists(mark));
    }

    // Disconnecting while this program holds the transmitter: the key-up and a status request
    // go out first, and the link closes once they are written, the window going on meanwhile.
    void disconnect_whileKeyed_sendsTheKeyUpFirst_thenCloses() {
        Linked l;
        QVERIFY(l.ok);
        l.c().setText(Ctl::connectMenu, "Disconnect"); // as the link's own connect leaves it
        l.core->linkState().linkUp = true;
        l.core->serverLine().send("A0:MX1;");
        l.core->stationLink().connectClicked();
        l.core->stationLink().connectClicked(); // a second click while it closes: nothing more
        QTRY_COMPARE(l.c().text(Ctl::linkStatusLabel), QString(" Status: disconnected"));
        QCOMPARE(l.station.waitForLines(3), (QStringList{"A0:MX1;", "A0:MX0;", "A0:IF;"}));
        QCOMPARE(l.c().text(Ctl::connectMenu), QString("Connect"));
        QCOMPARE(l.core->serverSocket().state(), QAbstractSocket::UnconnectedState);
        QVERIFY(l.dialogs.messages.isEmpty()); // our own close is no lost link
    }

    void dataWithTheLinkGone_reportsLostConnection() {
        Linked l;
        l.c().setText(Ctl::connectMenu, "Disconnect"); // as the link's own connect leaves it
        l.core->linkState().linkUp = true;
        l.core->serverSocket().abort();
        l.core->receiver().onDataArrived();
        QCOMPARE(l.dialogs.messages, QStringList{"Lost Connection"});
        QCOMPARE(l.c().text(Ctl::connectMenu), QString("Connect"));
        QVERIFY(!l.core->isLoggedIn());
    }

    // A station that takes the connection but never logs us in: given up after 15 s, told in
    // the status line and the server monitor, with no box to click.
    void loginNeverComes_linkClosedAfter15Seconds() {
        Watched w;
        QVERIFY(w.ok);
        w.c().setText(Ctl::connectMenu, "Disconnect"); // as the link's own connect leaves it
        w.link().linkUp = true;
        w.c().setValue(Ctl::monitorDataCheck, 1);
        w.clock.advance(14.5);
        w.core->linkHealth().secondTick();
        QCOMPARE(w.c().text(Ctl::connectMenu), QString("Disconnect"));
        w.clock.advance(1.0);
        w.core->linkHealth().secondTick();
        QCOMPARE(w.c().text(Ctl::connectMenu), QString("Connect"));
        QCOMPARE(w.core->serverSocket().state(), QAbstractSocket::UnconnectedState);
        QVERIFY(w.c().text(Ctl::linkStatusLabel).contains("did not log us in within 15 s"));
        QVERIFY(w.c().text(Ctl::fromServerMonitor).contains("did not log us in within 15 s"));
        QVERIFY(w.dialogs.messages.isEmpty());
    }

    void guard_releasesOnThe181stTick() {
        Watched w;
        QVERIFY(w.ok);
        w.c().setValue(Ctl::guardCheck, 1);
        w.link().txKeyed = true;
        w.c().setVisible(Ctl::keyedLight, true);
        w.ticks(180);
        QVERIFY(w.station.lines().isEmpty());
        w.ticks(1);
        QCOMPARE(w.station.waitForLines(1), QStringList{"A0:MX0;"});
        QVERIFY(!w.c().isVisible(Ctl::keyedLight));
        QCOMPARE(w.c().text(Ctl::outgoingMonitor), QString("Sending Key Up Signal"));
        QVERIFY(!w.link().txKeyed);
    }

    void inactivity_shutsDownWithOneSecondSpacing() {
        Watched w;
        w.c().setValue(Ctl::inactivityCheck, 1);
        w.c().setValue(Ctl::monitorDataCheck, 1);
        w.runClock(0.01);
        QList<double> sentAt;
        connect(&w.core->serverLine(), &ServerLine::lineSent, this,
                [&](const QString&) { sentAt << w.clock.monotonicSeconds(); });
        w.ticks(180);
        QCOMPARE(w.c().text(Ctl::outgoingMonitor), QString("180"));
        QVERIFY(sentAt.isEmpty());
        for (int second = 0; second < 3; ++second) {
            w.ticks(1);
            w.clock.advance(1.0);
        }
        QCOMPARE(w.station.waitForLines(3), (QStringList{"A0:MX0;", "A0:PS0;", "A0:PS0;"}));
        QCOMPARE(sentAt.size(), 3);
        QVERIFY(sentAt[1] - sentAt[0] >= 1.0 && sentAt[1] - sentAt[0] < 1.1);
        QVERIFY(sentAt[2] - sentAt[1] >= 1.0 && sentAt[2] - sentAt[1] < 1.1);
        QCOMPARE(w.c().text(Ctl::outgoingMonitor), QString("Shuting down receiver"));
        QCOMPARE(w.link().idleCount.seconds, 0);
    }

    // A laptop's suspend (or SIGSTOP) for longer than the guard time: the key-up goes out at
    // the first tick after it, and the inactivity count has the stopped seconds too.
    void guardAndInactivity_countTheSecondsNoTickSaw() {
        Watched w;
        QVERIFY(w.ok);
        w.c().setValue(Ctl::guardCheck, 1);
        w.c().setValue(Ctl::inactivityCheck, 1);
        w.c().setText(Ctl::guardTimeBox, "15");
        w.c().setText(Ctl::inactivityTimeBox, "1000");
        w.link().txKeyed = true;
        w.ticks(1);
        w.clock.advance(1.0);
        w.ticks(1);
        w.clock.advance(20.0);
        w.ticks(1);
        QCOMPARE(w.station.waitForLines(1), QStringList{"A0:MX0;"});
        QCOMPARE(w.link().idleCount.seconds, 22);
    }

    void counters_neverOverflow_whateverTheLimit() {
        Watched w;
        w.c().setValue(Ctl::inactivityCheck, 1);
        w.c().setValue(Ctl::guardCheck, 1);
        w.c().setText(Ctl::inactivityTimeBox, "99999999999999999999");
        w.c().setText(Ctl::guardTimeBox, "99999999999999999999");
        w.link().idleCount.seconds = ElapsedCount::kCeiling - 1;
        w.link().guardCount.seconds = ElapsedCount::kCeiling - 1;
        w.link().txKeyed = true;
        w.ticks(3);
        QCOMPARE(w.link().idleCount.seconds, ElapsedCount::kCeiling);
        QCOMPARE(w.link().guardCount.seconds, ElapsedCount::kCeiling);
        QTest::qWait(20);
        QVERIFY(w.station.lines().isEmpty());
    }

    void sender_sendsOnlyTheNewestQueuedCommand() {
        Watched w;
        w.startRadio();
        w.radio()->feed("FA00014025000;");
        w.radio()->feed("FA00014026000;"); // within the same 100 ms
        w.dogs().senderTick();
        w.dogs().senderTick();
        QCOMPARE(w.station.waitForLines(5), (QStringList{"A0:MX0;", "FA14025000;", "A0:MX0;",
                                                         "FA14026000;", "A0:FA14026000;"}));
        QVERIFY(w.picture().pendingFreqCommand.isEmpty());
    }

    void connect_showsTheRedLightAndOffersDisconnect() {
        Daytime d;
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        d.pointAt(server.serverPort());
        QCOMPARE(d.c().text(Ctl::connectMenu), QString("Connect Corvel"));
        d.core->connectAtStartup();
        QVERIFY(d.finishConnecting());
        QCOMPARE(d.c().text(Ctl::connectMenu), QString("Disconnect"));
        QVERIFY(d.c().isVisible(Ctl::connectedLight));
        QVERIFY(!d.c().isVisible(Ctl::loginLight));
        QVERIFY(d.dialogs.messages.isEmpty());

        d.core->stationLink().connectClicked(); // now a disconnect
        QCOMPARE(d.c().text(Ctl::connectMenu), QString("Connect"));
        QVERIFY(!d.c().isVisible(Ctl::connectedLight));
        QCOMPARE(d.core->serverSocket().state(), QAbstractSocket::UnconnectedState);
    }

    void connectRefused_saysSoAndStaysIdle() {
        Daytime d;
        d.pointAt(freeLoopbackPort());
        d.c().setVisible(Ctl::loginLight, true);
        d.core->stationLink().connectClicked();
        QVERIFY(d.finishConnecting());
        QCOMPARE(d.dialogs.messages.size(), 1);
        QVERIFY(d.dialogs.messages.first().endsWith(" Wait a few seconds and try again"));
        QVERIFY(d.dialogs.questions.isEmpty());
        QVERIFY(!d.c().isVisible(Ctl::connectedLight) && !d.c().isVisible(Ctl::loginLight));
    }

    void serverInstance_asksAfterAFailedConnect() {
        Daytime d("SERVER");
        d.pointAt(freeLoopbackPort());
        d.dialogs.answers = {false};
        d.core->stationLink().connectClicked();
        QVERIFY(d.finishConnecting());
        QCOMPARE(d.dialogs.questions.size(), 1);
        QCOMPARE(d.endedAtOnce, 1);
    }

    // An unattended station tries a lost link again after 5 s, then twice as long each time up
    // to a minute; a tick while a try waits for its answer plans nothing; once the link is up
    // the next loss starts at 5 s again.
    void linkRetry_backsOffToAMinute_andStartsAgainOnceUp() {
        bool up = false;
        QList<int> triedAt;
        QStringList said;
        int second = 0;
        LinkRetry* self = nullptr;
        LinkRetry retry({[&] { return up; }, [] { return QString("link lost"); },
                         [&] {
                             triedAt << second;
                             self->secondTick();
                         },
                         [&](const QString& text) { said << text; }});
        self = &retry;
        for (second = 1; second <= 200; ++second)
            retry.secondTick();
        QCOMPARE(triedAt, (QList<int>{6, 17, 38, 79, 140}));
        QCOMPARE(said.first(), QString("Station link down (link lost); next try in 5 s"));
        QCOMPARE(said.last(), QString("Station link down (link lost); next try in 60 s"));
        up = true;
        retry.secondTick();
        QCOMPARE(said.last(), QString("Station link up again after 5 tries"));
        up = false;
        retry.secondTick();
        QCOMPARE(retry.secondsToNextTry(), 5);

        // The link's own connect on its way (it settles and waits on its timer): nothing planned.
        int tries = 0;
        LinkRetry patient({[] { return false; }, [] { return QString("connecting"); }, [&] { ++tries; },
                           [](const QString&) {}, [] { return true; }});
        for (int i = 0; i < 100; ++i)
            patient.secondTick();
        QCOMPARE(tries, 0);
        QCOMPARE(patient.secondsToNextTry(), -1);
    }
};

QTEST_GUILESS_MAIN(LinkTest)
#include "tst_Link.moc"
