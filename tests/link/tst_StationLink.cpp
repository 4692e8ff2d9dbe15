#include "link/LinkTexts.h"
#include "support/CoreBench.h"

#include <QTcpServer>
#include <QTest>

namespace {

// A clock in the middle of the day that moves with every reading, so the link's waits run.
struct Daytime : CoreBench {
    explicit Daytime(const QString& commandLine = {}) : CoreBench(nullptr, nullptr, commandLine) {
        clock.set(50000.0);
        clock.setStepPerReading(0.05);
    }
};

quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort(); // free again once the probe goes
}

} // namespace

class StationLinkTest : public QObject {
    Q_OBJECT
private slots:
    void connect_showsTheRedLightAndOffersDisconnect() {
        Daytime d;
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        d.pointAt(server.serverPort());
        QCOMPARE(d.c().text(Ctl::Connect), QString("Connect Corvel"));
        d.core->connectAtStartup();
        QCOMPARE(d.c().text(Ctl::Connect), QString("Disconnect"));
        QVERIFY(d.c().isVisible(Ctl::Shape4));
        QVERIFY(!d.c().isVisible(Ctl::Shape1));
        QVERIFY(d.dialogs.messages.isEmpty());

        d.core->stationLink().Connect_Click(); // now a disconnect
        QCOMPARE(d.c().text(Ctl::Connect), QString("Connect"));
        QVERIFY(!d.c().isVisible(Ctl::Shape4));
        QCOMPARE(d.core->serverSocket().state(), QAbstractSocket::UnconnectedState);
    }

    void connectRefused_saysSoAndStaysIdle() {
        Daytime d;
        d.pointAt(closedPort());
        d.c().setVisible(Ctl::Shape1, true);
        d.core->stationLink().Connect_Click();
        QCOMPARE(d.dialogs.messages.size(), 1);
        QVERIFY(d.dialogs.messages.first().endsWith(" Wait a few seconds and try again"));
        QVERIFY(d.dialogs.questions.isEmpty());
        QVERIFY(!d.c().isVisible(Ctl::Shape4) && !d.c().isVisible(Ctl::Shape1));
    }

    void serverInstance_asksAfterAFailedConnect() {
        Daytime d("SERVER");
        d.pointAt(closedPort());
        d.dialogs.answers = {false};
        d.core->stationLink().Connect_Click();
        QCOMPARE(d.dialogs.questions.size(), 1);
        QCOMPARE(d.endedAtOnce, 1);
    }

    void startup_withNoAddress_triesNothing() {
        Daytime d;
        d.core->connectAtStartup();
        QVERIFY(d.dialogs.messages.isEmpty());
        QCOMPARE(d.core->serverSocket().state(), QAbstractSocket::UnconnectedState);
        QVERIFY(d.c().text(Ctl::Label15).contains("address"));
    }

    void serverClosing_takesTheLightsDown() {
        Daytime d;
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        d.pointAt(server.serverPort());
        d.core->stationLink().Connect_Click();
        QTRY_VERIFY(server.hasPendingConnections());
        d.c().setVisible(Ctl::Shape1, true);
        server.nextPendingConnection()->disconnectFromHost();
        QTRY_COMPARE(d.c().text(Ctl::Connect), QString("Connect"));
        QVERIFY(!d.c().isVisible(Ctl::Shape4) && !d.c().isVisible(Ctl::Shape1));
        QVERIFY(d.c().text(Ctl::Label15).contains("closed"));
    }

    void loginLabel_togglesByHand() {
        Daytime d;
        d.core->stationLink().toggleLogin();
        QVERIFY(d.core->isLoggedIn());
        QCOMPARE(d.c().colour(Ctl::Shape1), Colours::kGreen);
        QVERIFY(d.c().isVisible(Ctl::Shape1));
        d.core->stationLink().toggleLogin();
        QVERIFY(!d.core->isLoggedIn());
        QCOMPARE(d.c().colour(Ctl::Shape1), Colours::kRed);
    }
};

QTEST_GUILESS_MAIN(StationLinkTest)
#include "tst_StationLink.moc"
