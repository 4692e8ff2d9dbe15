// The local DX-cluster node: what a logger's cluster window meets (greeting, login, sh/dx,
// bye, telnet's negotiation), and over real sockets the spots reaching every client, the
// places kept for 32, and a client that never reads holding nothing up.
#include "endpoints/SpotsEndpoint.h"
#include "support/Sockets.h"

#include <QTcpSocket>
#include <QTest>

namespace {
const QString kSpot = "DX de OH2XX-#:   14025.3  DL1ABC       CW 14 dB 28 WPM CQ             1234Z";

std::unique_ptr<QTcpSocket> loggedIn(quint16 port, const QByteArray& call) {
    auto socket = connectedClient(port);
    if (!readUntil(*socket, "login: ").contains("login: "))
        return nullptr;
    socket->write(call + "\r\n");
    if (!readUntil(*socket, " >\r\n").contains(" >\r\n"))
        return nullptr;
    return socket;
}
} // namespace

class SpotsEndpointTest : public QObject {
    Q_OBJECT
private slots:
    void session_greetsAsksForACall_thenKnowsShDxAndBye() {
        ClusterSession session("OH2XX-#");
        QVERIFY(session.greeting().endsWith("login: "));
        QCOMPARE(session.feed("\r\n", {}), QByteArray("login: "));
        // tlf and telnet clients open with option negotiation: none of it is the call.
        const QByteArray negotiation = QByteArray::fromHex("fffd01fffb03fffa1f0050001afff0");
        const QByteArray hello = session.feed(negotiation + "dl1abc\r\n", {});
        QVERIFY(session.loggedIn());
        QVERIFY2(hello.contains("Hello DL1ABC") && hello.endsWith("DL1ABC de OH2XX-# >\r\n"), hello);

        QStringList spots;
        for (int i = 0; i < 35; ++i)
            spots << QString("spot %1").arg(i);
        const QByteArray listed = session.feed("sh/dx\n", spots);
        QVERIFY(listed.startsWith("spot 5\r\n") && listed.contains("spot 34\r\n"));
        QCOMPARE(listed.count("spot "), ClusterSession::kListed);
        QVERIFY(session.feed("set/page 0\r\n", {}).startsWith("This node knows sh/dx and bye.\r\n"));
        QVERIFY(session.feed(QByteArray(100000, 'x') + "\r\n", {}).startsWith("This node knows"));
        QVERIFY(session.feed("BYE\r\n", {}).startsWith("73 de OH2XX-#"));
        QVERIFY(session.wantsClose());
    }

    void endpoint_everyLoggedInClientGetsEachSpot_andShDxListsThem() {
        SpotsEndpoint endpoint("OH2XX-#");
        QString why;
        QVERIFY2(endpoint.listen(QHostAddress::LocalHost, 0, &why), qPrintable(why));
        auto first = loggedIn(endpoint.port(), "DL1ABC");
        auto second = loggedIn(endpoint.port(), "G4XYZ");
        QVERIFY(first && second);
        QTcpSocket notLoggedIn;
        notLoggedIn.connectToHost(QHostAddress::LocalHost, endpoint.port());
        QVERIFY(readUntil(notLoggedIn, "login: ").contains("login: "));

        endpoint.publish(kSpot);
        QVERIFY(readUntil(*first, "1234Z\r\n").contains(kSpot.toLatin1() + "\r\n"));
        QVERIFY(readUntil(*second, "1234Z\r\n").contains(kSpot.toLatin1()));
        QVERIFY(!readUntil(notLoggedIn, "1234Z", 300).contains("1234Z"));

        auto late = loggedIn(endpoint.port(), "K1ABC");
        QVERIFY(late);
        late->write("sh/dx\r\n");
        QVERIFY(readUntil(*late, "1234Z\r\n").contains(kSpot.toLatin1()));
    }

    void endpoint_keeps32Places_andOneThatNeverReadsHoldsNothingUp() {
        SpotsEndpoint endpoint("OH2XX-#");
        QVERIFY(endpoint.listen(QHostAddress::LocalHost, 0, nullptr));
        std::vector<std::unique_ptr<QTcpSocket>> clients;
        for (int i = 0; i < SpotsEndpoint::kMaxClients + 1; ++i) {
            clients.push_back(loggedIn(endpoint.port(), "N" + QByteArray::number(i) + "X"));
            QVERIFY(clients.back());
        }
        QTRY_COMPARE(endpoint.clientCount(), SpotsEndpoint::kMaxClients); // the quietest made room
        QTRY_COMPARE(clients.front()->state(), QAbstractSocket::UnconnectedState);

        clients.resize(1); // one that never reads from here on, beside one that does
        clients.front() = loggedIn(endpoint.port(), "SLOW");
        auto reader = loggedIn(endpoint.port(), "FAST");
        QVERIFY(clients.front() && reader);
        clients.front()->setReadBufferSize(1); // Qt takes no more from the system for it
        QByteArray heard;
        int spots = 0;
        QElapsedTimer timer;
        timer.start();
        while (endpoint.spotsLost() == 0 && timer.elapsed() < 20000) {
            for (int i = 0; i < 200; ++i, ++spots)
                endpoint.publish(kSpot);
            QTest::qWait(1);
            heard += reader->readAll();
        }
        QVERIFY(endpoint.spotsLost() > 0); // the slow one misses spots ...
        for (int wait = 0; heard.count("1234Z") < spots && wait < 2000; ++wait) {
            QTest::qWait(5);
            heard += reader->readAll();
        }
        QCOMPARE(int(heard.count("1234Z")), spots); // ... and the one that reads, none
    }
};

QTEST_GUILESS_MAIN(SpotsEndpointTest)
#include "tst_SpotsEndpoint.moc"
