// An independent Kenwood CAT client (Hamlib's rigctl, from Debian) reads and sets the
// frequency and the mode and keys the transmitter through the virtual radio port.
#include "support/ActionWarnings.h"
#include "platform/serial/SystemBackendProvider.h"
#include "support/CoreBench.h"
#include "support/FreePort.h"
#include "support/SimProcess.h"

#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

namespace {

// Runs the client while this process keeps answering it; its output lines.
QStringList run(const QString& program, const QStringList& arguments) {
    QProcess client;
    client.start(program, arguments);
    QSignalSpy finished(&client, &QProcess::finished);
    if (!finished.wait(60000))
        return {"(no end)"};
    if (client.exitCode() != 0)
        return {"(failed) " + QString::fromLatin1(client.readAllStandardError())};
    return QString::fromLatin1(client.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

// The program logged in to corvel-sim, which confirms every change with a report, as a
// station does; the radio port open on a virtual port.
struct OnTheSimulatedStation {
    OnTheSimulatedStation() : system(ports.path()), b(&system, &clock) {
        b.pointAt(sim.port);
        b.c().selectItem(Ctl::radioPortChoice, "Virtual");
        b.c().selectItem(Ctl::keyerPortChoice, "None");
        b.core->startUp();
        b.core->connectAtStartup();
    }
    bool ready() {
        for (int i = 0; i < 1000 && !b.core->isLoggedIn(); ++i)
            QTest::qWait(10);
        return b.core->isLoggedIn() && b.core->ports().radioPort().isOpen();
    }
    QStringList radio() const { return {"-r", ports.filePath("radio"), "-s", "19200"}; }

    SimProcess sim{{"--user", "OH2XX:pw"}};
    QTemporaryDir ports;
    SystemBackendProvider system;
    SystemClock clock; // the logger's bytes are taken in at the real pace
    CoreBench b;
};

} // namespace

class HamlibClientTest : public QObject {
    Q_OBJECT
private slots:
    void init() { failOnForgottenActions(); }

    void rigctl_followsAndControlsTheStation_data() {
        QTest::addColumn<int>("model");
        QTest::newRow("TS-850 (answers ID009)") << 2009;
        QTest::newRow("TS-2000") << 2014;
        QTest::newRow("TS-480") << 2028;
    }
    // On the simulated station, which confirms every change with a report: the set mode
    // reaches the station once (its confirmation is not read by Hamlib where it waits for the
    // "ID;" that verifies the set, which made it retry up to 11 times).
    void rigctl_followsAndControlsTheStation() {
        QFETCH(int, model);
        const QString rigctl = QStandardPaths::findExecutable("rigctl");
        if (rigctl.isEmpty())
            QSKIP("rigctl is not installed (Debian package libhamlib-utils)");
        OnTheSimulatedStation s;
        QVERIFY(s.ready());
        const QStringList port = QStringList{"-m", QString::number(model)} + s.radio();
        const QStringList out = run(rigctl, port + QStringList{"f", "F", "7074000", "f", "M",
                                                               "USB", "0", "m", "T", "1", "t"});
        QCOMPARE(out.size(), 5); // f, f, m (mode and passband), t
        QCOMPARE(out[0], QString("14025000")); // the station's frequency
        QCOMPARE(out[1], QString("7074000"));  // after the set
        QCOMPARE(out[2], QString("USB"));
        QCOMPARE(out[4], QString("1")); // keyed
        // A new client finds the transmitter keyed in the status record and releases it.
        QCOMPARE(run(rigctl, port + QStringList{"T", "0", "t"}), QStringList{"0"});
        QCOMPARE(s.b.picture().startFreq(), QString("00007074.00"));
        const QStringList lines = s.sim.wireLines();
        QVERIFY(lines.contains("FA07074000;"));
        QCOMPARE(lines.count("A0:MD02;"), 1);
        QVERIFY(lines.lastIndexOf("A0:MX0;") > lines.indexOf("A0:MX1;"));
    }

    // Hamlib's CW on the radio port (KY;, then the text padded to 24, then ID;): keyed once,
    // whole, through the program's CW path; a TS-480 mode read (with its FW;) answers at once.
    void rigctlSendMorse_keysThroughKy_andTs480ReadsItsFilter() {
        const QString rigctl = QStandardPaths::findExecutable("rigctl");
        if (rigctl.isEmpty())
            QSKIP("rigctl is not installed (Debian package libhamlib-utils)");
        OnTheSimulatedStation s;
        QVERIFY(s.ready());
        QCOMPARE(run(rigctl, QStringList{"-m", "2014"} + s.radio() + QStringList{"b", "CQ TEST"}), QStringList{});
        // The station prints the first word while the rest may still be on its way to it.
        QTRY_COMPARE_WITH_TIMEOUT(s.sim.wireLines().filter("WK:").join(""),
                                  QString("WK:C;WK:Q;WK: ;WK:T;WK:E;WK:S;WK:T;WK: ;"), 5000);
        QProcess ts480; // Hamlib's trace shows the filter query answered, not timed out
        ts480.start(rigctl, QStringList{"-m", "2028", "-vvvvv"} + s.radio() + QStringList{"m"});
        QTRY_COMPARE_WITH_TIMEOUT(ts480.state(), QProcess::NotRunning, 20000);
        const QByteArray trace = ts480.readAllStandardError();
        QVERIFY(trace.contains("='FW0500;'"));
        QVERIFY(!trace.contains("Timed out"));
        QVERIFY(ts480.readAllStandardOutput().endsWith("CW\n500\n"));
    }

    // Several programs share the radio through rigctld; each mode set is one station message.
    void rigctldSharedByTwoClients_eachModeSetOnce() {
        const QString rigctl = QStandardPaths::findExecutable("rigctl");
        const QString rigctld = QStandardPaths::findExecutable("rigctld");
        if (rigctl.isEmpty() || rigctld.isEmpty())
            QSKIP("rigctl/rigctld are not installed (Debian package libhamlib-utils)");
        OnTheSimulatedStation s;
        QVERIFY(s.ready());
        const QString port = QString::number(freeLoopbackPort());
        QProcess daemon;
        daemon.start(rigctld, QStringList{"-m", "2009"} + s.radio() +
                                  QStringList{"-T", "127.0.0.1", "-t", port});
        QVERIFY(daemon.waitForStarted(5000));
        const QStringList net{"-m", "2", "-r", "127.0.0.1:" + port};
        QStringList first;
        for (int attempt = 0; attempt < 50 && first != QStringList{"14025000"}; ++attempt) {
            QTest::qWait(100); // rigctld opens its listening port after the rig
            first = run(rigctl, net + QStringList{"f"});
        }
        QCOMPARE(first, QStringList{"14025000"});
        QCOMPARE(run(rigctl, net + QStringList{"M", "USB", "0"}), QStringList{});
        QCOMPARE(run(rigctl, net + QStringList{"m"}).value(0), QString("USB"));
        QCOMPARE(run(rigctl, net + QStringList{"M", "CW", "0"}), QStringList{});
        QTest::qWait(300);
        daemon.terminate();
        QVERIFY(daemon.waitForFinished(5000));
        QCOMPARE(s.sim.wireLines().count("A0:MD02;"), 1);
        QCOMPARE(s.sim.wireLines().count("A0:MD03;"), 1);
    }

    // Hamlib's own network client (model 2, what WSJT-X and fldigi use) against the program's
    // endpoint, no serial port in the way: reads and sets, several clients at once, each set one
    // station message; the logger on the radio port sees the same rig.
    void rigctlNetworkClient_onTheEndpoint() {
        const QString rigctl = QStandardPaths::findExecutable("rigctl");
        if (rigctl.isEmpty())
            QSKIP("rigctl is not installed (Debian package libhamlib-utils)");
        OnTheSimulatedStation s;
        QVERIFY(s.ready());
        QString why;
        QVERIFY2(s.b.core->endpoints().rigctl().listen(QHostAddress::LocalHost, 0, &why), qPrintable(why));
        const QStringList net{"-m", "2", "-r", QString("127.0.0.1:%1").arg(s.b.core->endpoints().rigctl().port())};
        QCOMPARE(run(rigctl, net + QStringList{"f", "m", "t", "v"}),
                 (QStringList{"14025000", "CW", "500", "0", "VFOA"}));
        QCOMPARE(run(rigctl, net + QStringList{"F", "7074000", "M", "PKTUSB", "-1"}), QStringList{});
        QCOMPARE(run(rigctl, net + QStringList{"f", "m"}), (QStringList{"7074000", "USB", "2400"}));
        QCOMPARE(s.b.picture().startFreq(), QString("00007074.00")); // what the radio port answers from
        QCOMPARE(run(rigctl, net + QStringList{"T", "1", "t", "T", "0", "t"}), (QStringList{"1", "0"}));
        QProcess clients[3];
        for (QProcess& client : clients)
            client.start(rigctl, net + QStringList{"F", "7074000", "f"});
        for (QProcess& client : clients) {
            QTRY_COMPARE_WITH_TIMEOUT(client.state(), QProcess::NotRunning, 20000);
            QCOMPARE(client.readAllStandardOutput(), QByteArray("7074000\n"));
        }
        QTest::qWait(300);
        const QStringList lines = s.sim.wireLines();
        QCOMPARE(lines.count("FA07074000;"), 1); // the same frequency again is no new set
        QCOMPARE(lines.count("A0:MD02;"), 1);
        QVERIFY(lines.lastIndexOf("A0:MX0;") > lines.indexOf("A0:MX1;"));
    }
};

QTEST_GUILESS_MAIN(HamlibClientTest)
#include "tst_HamlibClient.moc"
