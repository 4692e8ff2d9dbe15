// The simulator as a client sees it: prompts, login, reports to every client, scripts.
#include "support/SimProcess.h"

#include <QTcpSocket>
#include <QTest>

namespace {

struct Client {
    explicit Client(quint16 port) {
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(5000);
    }
    void send(const QByteArray& line) {
        socket.write(line + "\r\n");
        socket.waitForBytesWritten(1000);
    }
    // Everything received until `marker` has come (or 5 s).
    QByteArray until(const QByteArray& marker) {
        for (int i = 0; i < 50 && !received.contains(marker); ++i)
            if (socket.waitForReadyRead(100))
                received += socket.readAll();
        return received;
    }
    QTcpSocket socket;
    QByteArray received;
};

} // namespace

class CorvelSimTest : public QObject {
    Q_OBJECT
private slots:
    void login_promptsThenAcceptsOrRefuses() {
        SimProcess sim({"--user", "OH2XX:pw"});
        Client good(sim.port);
        QVERIFY(good.until("CALL").contains("MG:"));
        good.send("MG:Callsign oh2xx;");
        QVERIFY(good.until("Pass").contains("Pass"));
        good.send("MG:Password pw;");
        QVERIFY(good.until("Login OK").contains("Login OK"));

        Client bad(sim.port);
        bad.until("CALL");
        bad.send("MG:Callsign OH2XX;");
        bad.until("Pass");
        bad.send("MG:Password wrong;");
        const QByteArray answer = bad.until("refused");
        QVERIFY(answer.contains("refused"));
        QVERIFY(!answer.contains("Login OK"));
    }

    void script_splitsAReportAcrossTwoReads() {
        SimProcess sim;
        Client client(sim.port);
        client.until("CALL");
        client.received.clear();
        sim.command("split");
        sim.command("freq 14074000");
        QVERIFY(client.socket.waitForReadyRead(5000));
        const QByteArray first = client.socket.readAll();
        QVERIFY(first.size() < 14);
        QVERIFY(client.socket.waitForReadyRead(5000));
        QCOMPARE(first + client.socket.readAll(), QByteArray("FA00014074000;"));
    }
};

QTEST_GUILESS_MAIN(CorvelSimTest)
#include "tst_CorvelSim.moc"
