// A logger keys CW through the program's virtual keyer port: the simulated station logs the
// text, and the side tone, written to a WAV file, holds the sound.
#include "support/SimProcess.h"

#include <QFile>
#include <QProcess>
#include <QTest>
#include <QtEndian>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

class KeyerToStationTest : public QObject {
    Q_OBJECT
private slots:
    void cwText_reachesTheStation_andTheSideToneFile() {
        SimProcess sim({"--user", "OH2XX:pw"});
        QVERIFY(sim.port != 0);
        QTemporaryDir work;
        QFile ini(work.filePath("keyer.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("Virtual\r\n14025.00\r\n127.0.0.1\r\n%1\r\nOH2XX\r\npw\r\n 2\r\n 21\r\n"
                                 " 1\r\n800\r\n30\r\n-500\r\n").arg(sim.port).toLatin1());
        ini.close();

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZARNIKCONTROL_PORT_DIR", work.filePath("ports"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(work.path());
        program.start(ZARNIKCONTROL_BINARY, {"keyer.ini", "--sidetone-wav", "tone.wav"});
        QVERIFY(program.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("R"), 20000); // logged in
        const QString keyer = work.filePath("ports/keyer");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(keyer), 5000);

        const int logger = ::open(QFile::encodeName(keyer).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(logger >= 0);
        QTest::qWait(300); // the program notices the logger and opens its ports after login
        QCOMPARE(::write(logger, "cq test ", 8), 8);
        QTRY_VERIFY_WITH_TIMEOUT(sim.wireLines().contains("(CW: TEST)"), 10000);
        QVERIFY(sim.wireLines().contains("(CW: CQ)"));
        QTest::qWait(2500); // let "CQ TEST" sound at 30 wpm
        ::close(logger);

        ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);

        QFile wav(work.filePath("tone.wav"));
        QVERIFY(wav.open(QIODevice::ReadOnly));
        const QByteArray bytes = wav.readAll();
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
