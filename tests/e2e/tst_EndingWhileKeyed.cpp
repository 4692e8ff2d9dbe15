// The program ends while it holds the station's transmitter. An orderly end (SIGTERM, as a
// session ending or a service manager sends it) releases it whichever door keyed it; a
// program killed while keyed is owed the key-up at its next start in the same folder, first
// thing after the login. A run that held nothing leaves no key-up behind: another operator may
// be transmitting through the same station.
#include "support/FreePort.h"
#include "support/ProgramProcess.h"
#include "support/SimProcess.h"

#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The guard off (so that no login sends a key-up of its own), the radio port virtual, and
// the chat server here (a chat client would have no server to reach).
QByteArray settings(quint16 stationPort, quint16 chatPort) {
    return QString("Virtual\r\n14025.00\r\n127.0.0.1\r\n%1\r\nOH2XX\r\npw\r\n 2\r\n 0\r\n 0\r\n700\r\n25\r\n"
                   "0\r\n180\r\n 0\r\n180\r\n 0\r\n 0\r\n 1\r\n%2\r\n")
        .arg(stationPort)
        .arg(chatPort)
        .toLatin1();
}

enum class Door { Hamlib, CwDaemon, Logger };

struct Station {
    Station() : sim({"--user", "OH2XX:pw"}) {
        writeFile(work.filePath("ZarnikControl.ini"), settings(sim.port, freeLoopbackPort()));
    }
    ~Station() {
        for (QProcess* program : programs)
            if (program->state() != QProcess::NotRunning) {
                program->kill();
                program->waitForFinished(5000);
            }
    }
    QProcess* start(QObject* parent) {
        QProcess* program = startProgram(
            work.path(),
            {QString("--rigctl=127.0.0.1:%1").arg(rigPort), QString("--cwdaemon=127.0.0.1:%1").arg(cwPort)},
            parent);
        program->waitForStarted(10000);
        programs << program;
        return program;
    }
    // Starts the program and waits for its `login`-th login (the station's "R").
    QProcess* startLoggedIn(QObject* parent, int login) {
        QProcess* program = start(parent);
        for (int i = 0; i < 2000 && sim.wireLines().count("R") < login; ++i)
            QTest::qWait(10);
        return program;
    }
    // The lines the station got after its `login`-th "R" (the login's acknowledgement).
    QStringList afterLogin(int login) const {
        const QStringList lines = sim.wireLines();
        qsizetype at = -1;
        for (int i = 0; i < login; ++i)
            at = lines.indexOf("R", at + 1);
        return at < 0 ? QStringList() : lines.mid(at + 1);
    }
    bool markStands() const { return QFile::exists(work.filePath("ZarnikControl.keyed")); }

    SimProcess sim;
    QTemporaryDir work;
    quint16 rigPort = freeLoopbackPort();
    quint16 cwPort = freeLoopbackPort();
    QList<QProcess*> programs;
};

// Keys the transmitter as the program behind `door` would, and holds it keyed.
bool key(Door door, Station& station, QTcpSocket& hamlib, int& loggerFd) {
    switch (door) {
    case Door::Hamlib: {
        hamlib.connectToHost(QHostAddress::LocalHost, station.rigPort);
        if (!hamlib.waitForConnected(5000))
            return false;
        hamlib.write("T 1\n");
        QByteArray answer;
        for (int i = 0; i < 50 && !answer.contains("RPRT"); ++i)
            if (hamlib.waitForReadyRead(100))
                answer += hamlib.readAll();
        return answer.contains("RPRT 0");
    }
    case Door::CwDaemon:
        return QUdpSocket().writeDatagram("\x1b" "a1", QHostAddress::LocalHost, station.cwPort) == 3;
    case Door::Logger:
        loggerFd = ::open(QFile::encodeName(station.work.filePath("ports/radio")).constData(),
                          O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (loggerFd < 0)
            return false;
        QTest::qWait(300); // the program notices the logger's end open
        return ::write(loggerFd, "TX;", 3) == 3;
    }
    return false;
}

} // namespace

Q_DECLARE_METATYPE(Door)

class EndingWhileKeyedTest : public QObject {
    Q_OBJECT
private slots:
    void orderlyEnd_sendsTheKeyUp_whicheverDoorKeyed_data() {
        QTest::addColumn<Door>("door");
        QTest::newRow("Hamlib endpoint, T 1") << Door::Hamlib;
        QTest::newRow("cwdaemon endpoint, ESC a 1") << Door::CwDaemon;
        QTest::newRow("the logger's TX; on the radio port") << Door::Logger;
    }
    void orderlyEnd_sendsTheKeyUp_whicheverDoorKeyed() {
        QFETCH(Door, door);
        Station station;
        QVERIFY(station.sim.port != 0);
        QProcess* program = station.startLoggedIn(this, 1);
        QCOMPARE(station.sim.wireLines().count("R"), 1);
        QTcpSocket hamlib;
        int loggerFd = -1;
        QVERIFY(key(door, station, hamlib, loggerFd));
        QTRY_VERIFY_WITH_TIMEOUT(station.afterLogin(1).contains("A0:MX1;"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(station.markStands(), 5000);

        terminate(program);
        QVERIFY(program->waitForFinished(5000));
        QCOMPARE(program->exitCode(), 0);
        const QStringList lines = station.afterLogin(1);
        QVERIFY2(lines.lastIndexOf("A0:MX0;") > lines.lastIndexOf("A0:MX1;"), qPrintable(lines.join(' ')));
        QVERIFY(!station.markStands()); // the station answered: nothing is owed
        if (loggerFd >= 0)
            ::close(loggerFd);
    }

    void killedWhileKeyed_theNextStartKeysUpFirst_aCleanRunOwesNothing() {
        Station station;
        QVERIFY(station.sim.port != 0);
        QProcess* first = station.startLoggedIn(this, 1);
        QCOMPARE(station.sim.wireLines().count("R"), 1);
        QTcpSocket hamlib;
        int unused = -1;
        QVERIFY(key(Door::Hamlib, station, hamlib, unused));
        QTRY_VERIFY_WITH_TIMEOUT(station.markStands(), 5000);
        first->kill();
        QVERIFY(first->waitForFinished(5000));
        QVERIFY(!station.afterLogin(1).contains("A0:MX0;"));
        QVERIFY(station.markStands());

        QProcess* second = station.start(this);
        QTRY_VERIFY_WITH_TIMEOUT(!station.afterLogin(2).isEmpty(), 20000);
        QCOMPARE(station.afterLogin(2).first(), QString("A0:MX0;"));
        QTRY_VERIFY_WITH_TIMEOUT(!station.markStands(), 5000); // heard: paid
        terminate(second);
        QVERIFY(second->waitForFinished(5000));

        QProcess* third = station.startLoggedIn(this, 3);
        QCOMPARE(station.sim.wireLines().count("R"), 3);
        QTest::qWait(1500);
        QVERIFY2(!station.afterLogin(3).contains("A0:MX0;"), qPrintable(station.afterLogin(3).join(' ')));
        terminate(third);
        QVERIFY(third->waitForFinished(5000));
        QVERIFY(!station.afterLogin(3).contains("A0:MX0;"));
    }
};

QTEST_GUILESS_MAIN(EndingWhileKeyedTest)
#include "tst_EndingWhileKeyed.moc"
