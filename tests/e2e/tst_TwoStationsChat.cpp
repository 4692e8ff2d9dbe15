// Two stations on one machine: one is the chat server, the other connects to it as a chat
// client when it starts, and the server's log records the login.
#include "support/ProgramProcess.h"

#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>


namespace {

QProcess* startStation(const QString& folder, const QByteArray& settings, QObject* parent) {
    writeFile(folder + "/station.ini", settings);
    return startProgram(folder, {"station.ini"}, parent);
}

QByteArray settings(const QByteArray& address, const QByteArray& call, bool server, quint16 chat) {
    return "COM1\r\n14025.00\r\n" + address + "\r\n\r\n" + call +
           "\r\npw\r\n 2\r\n 0\r\n 0\r\n800\r\n24\r\n-500\r\n180\r\n 0\r\n180\r\n 0\r\n 0\r\n" +
           (server ? " 1" : " 0") + "\r\n" + QByteArray::number(chat) + "\r\n";
}

} // namespace

class TwoStationsChatTest : public QObject {
    Q_OBJECT
private slots:
    void clientStation_logsInAtTheServerStation() {
        QTcpServer probe; // a free port for the chat
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 chatPort = probe.serverPort();
        probe.close();
        QTemporaryDir serverDir, clientDir;
        QProcess* server = startStation(serverDir.path(), settings("", "SRV", true, chatPort), this);
        QVERIFY(server->waitForStarted(10000));
        QTest::qWait(1000); // listening from its first activation
        QProcess* client = startStation(clientDir.path(), settings("127.0.0.1", "OH2XX", false, chatPort), this);
        QVERIFY(client->waitForStarted(10000));
        auto serverLog = [&] { return readFile(serverDir.filePath("ZarnikControl.log")); };
        QTRY_VERIFY_WITH_TIMEOUT(serverLog().startsWith("Login:OH2XX "), 20000);
        QCOMPARE(serverLog().count("Login:"), 1);
        for (QProcess* station : {client, server}) {
            terminate(station);
            QVERIFY(station->waitForFinished(20000));
        }
        QVERIFY(QFile::exists(clientDir.filePath("ChatFrm.ini"))); // the chat window was loaded
    }
};

QTEST_GUILESS_MAIN(TwoStationsChatTest)
#include "tst_TwoStationsChat.moc"
