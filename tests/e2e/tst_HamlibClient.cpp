// An independent Kenwood CAT client (Hamlib's rigctl, from Debian) reads and sets the
// frequency and the mode and keys the transmitter through the virtual radio port.
#include "platform/serial/SystemBackendProvider.h"
#include "support/CoreBench.h"
#include "support/StationEnd.h"

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

} // namespace

class HamlibClientTest : public QObject {
    Q_OBJECT
private slots:
    void rigctl_followsAndControlsTheStation_data() {
        QTest::addColumn<int>("model");
        QTest::newRow("TS-850 (answers ID009)") << 2009;
        QTest::newRow("TS-2000") << 2014;
        QTest::newRow("TS-480") << 2028;
    }
    void rigctl_followsAndControlsTheStation() {
        QFETCH(int, model);
        const QString rigctl = QStandardPaths::findExecutable("rigctl");
        if (rigctl.isEmpty())
            QSKIP("rigctl is not installed (Debian package libhamlib-utils)");

        QTemporaryDir ports;
        SystemBackendProvider system(ports.path());
        SystemClock clock; // the logger's bytes are taken in at the real pace
        CoreBench b(&system, &clock);
        StationEnd station;
        QVERIFY(station.accept(b.core->serverSocket()));
        b.startRadio("Virtual");
        QVERIFY(b.core->ports().radioPort().isOpen());

        const QStringList port{"-m", QString::number(model), "-r", ports.filePath("radio"),
                               "-s", "19200"};
        const QStringList out = run(rigctl, port + QStringList{"f", "F", "7074000", "f", "M",
                                                               "USB", "0", "m", "T", "1", "t"});
        QCOMPARE(out.size(), 5); // f, f, m (mode and passband), t
        QCOMPARE(out[0], QString("14000000")); // the picture as it stood
        QCOMPARE(out[1], QString("7074000"));  // after the set
        QCOMPARE(out[2], QString("USB"));
        QCOMPARE(out[4], QString("1")); // keyed
        // A new client finds the transmitter keyed in the status record and releases it.
        QCOMPARE(run(rigctl, port + QStringList{"T", "0", "t"}), QStringList{"0"});
        QCOMPARE(b.picture().startFreq(), QString("00007074.00"));
        QCOMPARE(b.c().text(Ctl::Combo1), QString("USB"));

        const QStringList lines = station.lines();
        QVERIFY(lines.contains("FA07074000;"));
        QVERIFY(lines.contains("A0:MD02;"));
        qDebug() << lines;
        QVERIFY(lines.indexOf("A0:MX1;") >= 0);
        QVERIFY(lines.lastIndexOf("A0:MX0;") > lines.indexOf("A0:MX1;"));
    }
};

QTEST_GUILESS_MAIN(HamlibClientTest)
#include "tst_HamlibClient.moc"
