// A logger keys CW through the program's virtual keyer port: the simulated station logs the
// text, and the side tone, written to a WAV file, holds the sound. The logger first connects
// as WinKeyer clients do; none of those set-up bytes may reach the air.
#include "support/ProgramProcess.h"
#include "support/SimProcess.h"

#include <QFile>
#include <QTest>
#include <QtEndian>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

// Adds what the logger's end has received so far to `into`.
const QByteArray& readInto(int fd, QByteArray& into) {
    char bytes[256];
    for (ssize_t got; (got = ::read(fd, bytes, sizeof bytes)) > 0;)
        into.append(bytes, got);
    return into;
}

} // namespace

class KeyerToStationTest : public QObject {
    Q_OBJECT
private slots:
    void cwText_reachesTheStation_andTheSideToneFile() {
        SimProcess sim({"--user", "OH2XX:pw"});
        QVERIFY(sim.port != 0);
        QTemporaryDir work;
        QVERIFY(writeFile(work.filePath("keyer.ini"),
                          QStringLiteral("Virtual\r\n14025.00\r\n127.0.0.1\r\n%1\r\nOH2XX\r\npw\r\n 2\r\n 21\r\n"
                                         " 1\r\n800\r\n30\r\n-500\r\n").arg(sim.port).toLatin1()));
        QProcess& program = *startProgram(work.path(), {"keyer.ini", "--sidetone-wav", "tone.wav"}, this);
        QVERIFY(program.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("R"), 20000); // logged in
        const QString keyer = work.filePath("ports/keyer");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(keyer), 5000);

        const int logger = ::open(QFile::encodeName(keyer).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(logger >= 0);
        QTest::qWait(300); // the program notices the logger and opens its ports after login
        // echo test, host open, load defaults, pot set-up, speed 30, read the pot
        const QByteArray connect = QByteArray::fromHex(
            "000455" "0002" "0f001e05320000" "0a19000000323206ff" "050a19ff" "021e" "07");
        QCOMPARE(::write(logger, connect.constData(), connect.size()), connect.size());
        QByteArray answer;
        QTRY_VERIFY_WITH_TIMEOUT(readInto(logger, answer).contains("U\x17\x80"), 5000);
        QCOMPARE(::write(logger, "cq test ", 8), 8);
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("(CW: TEST)"), 10000);
        QStringList keyed;
        for (const QString& line : sim.wireLines())
            if (line.startsWith("(CW") || line.startsWith("(keyer"))
                keyed << line;
        QCOMPARE(keyed, (QStringList{"(keyer speed 30 wpm)", "(CW: CQ)", "(CW: TEST)"}));
        QTest::qWait(2500); // let "CQ TEST" sound at 30 wpm
        ::close(logger);

        terminate(&program);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);

        const QByteArray bytes = readFile(work.filePath("tone.wav"));
        QVERIFY(bytes.startsWith("RIFF"));
        QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 24), 48000u);
        const quint32 dataBytes = qFromLittleEndian<quint32>(bytes.constData() + 40);
        QCOMPARE(qsizetype(dataBytes), bytes.size() - 44); // the header matches what was written
        int loud = 0;
        for (qsizetype at = 44; at + 1 < bytes.size(); at += 2)
            loud += std::abs(qFromLittleEndian<qint16>(bytes.constData() + at)) > 8000;
        QVERIFY2(loud > 48000 / 10, "the side tone should hold at least 0.1 s of tone");
    }
};

QTEST_GUILESS_MAIN(KeyerToStationTest)
#include "tst_KeyerToStation.moc"
