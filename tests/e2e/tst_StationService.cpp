// The station end as its service runs it: --unattended in a folder of its own, headless, with
// corvel-sim as the station server that goes away and comes back.
#include "support/FreePort.h"
#include "support/ProgramProcess.h"
#include "support/SimProcess.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Settings with the guard, inactivity shutdown and chat server off: --unattended turns them on.
QByteArray settings(quint16 stationPort, quint16 chatPort) {
    return QString("Virtual\r\n14025.00\r\n127.0.0.1\r\n%1\r\nOH2XX\r\npw\r\n 2\r\n 0\r\n 0\r\n700\r\n25\r\n"
                   "0\r\n180\r\n 0\r\n180\r\n 0\r\n 0\r\n 0\r\n%2\r\n")
        .arg(stationPort).arg(chatPort).toLatin1();
}

} // namespace

class StationServiceTest : public QObject {
    Q_OBJECT
private slots:
    void unattended_servesTheChat_outlivesTheStationServer_andEndsOnTerm() {
        auto sim = std::make_unique<SimProcess>(QStringList{"--user", "OH2XX:pw"});
        const quint16 stationPort = sim->port, chatPort = freeLoopbackPort();
        QTemporaryDir folder;
        const QString station = folder.filePath("station");
        QVERIFY(QDir().mkdir(station));
        QVERIFY(writeFile(station + "/ZarnikControl.ini", settings(stationPort, chatPort)));
        QProcess* program = startProgram(folder.path(), {"--unattended", "--folder", station}, this);
        auto log = [&] { return QString::fromUtf8(readFile(station + "/ZarnikControl.log")); };

        // Logged in, and the guard is on: its key-up follows the login.
        QTRY_VERIFY_WITH_TIMEOUT(sim->wireLines().contains("A0:MX0;"), 20000);
        QTcpSocket one, two;
        for (QTcpSocket* chat : {&one, &two}) {
            chat->connectToHost(QHostAddress::LocalHost, chatPort);
            QVERIFY(chat->waitForConnected(5000));
            chat->write(chat == &one ? "Login:K1ABC" : "Login:OH1AB"); // heard only once logged in
        }
        QTest::qWait(300); // both taken in by the server
        one.write("K1ABC:hello from the club\r\n");
        QByteArray heard;
        QTRY_VERIFY_WITH_TIMEOUT((heard += two.readAll()).contains("K1ABC:hello from the club"), 5000);

        sim.reset(); // the station server goes away...
        QTRY_VERIFY_WITH_TIMEOUT(log().contains("Station link down ("), 10000);
        sim = std::make_unique<SimProcess>(QStringList{"--user", "OH2XX:pw"}, stationPort); // ...and is back
        QTRY_VERIFY_WITH_TIMEOUT(sim->wireLines().contains("A0:MX0;"), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(log().contains("Station link up again after "), 5000);
        QVERIFY2(log().contains("Connecting to the station server again (try 1)"), qPrintable(log()));

        QElapsedTimer ending;
        ending.start();
        terminate(program);
        QVERIFY(program->waitForFinished(5000));
        QCOMPARE(program->exitCode(), 0);
        QTRY_COMPARE(sim->wireLines().count("A0:MX0;"), 2); // the login's and the end's key-up
        QVERIFY(ending.elapsed() < 5000);
        const QByteArray written = readFile(station + "/ZarnikControl.ini");
        QCOMPARE(written.count("\r\n"), 19);
        QVERIFY(written.contains("\r\n 1\r\n180\r\n 1\r\n")); // guard and inactivity were on
        const QByteArray journal = program->readAllStandardError();
        QVERIFY2(journal.contains("Station link down (") && journal.contains("key-up sent"), journal.constData());
    }
};

QTEST_GUILESS_MAIN(StationServiceTest)
#include "tst_StationService.moc"
