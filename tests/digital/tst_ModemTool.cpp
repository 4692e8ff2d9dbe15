// zarnik-modem as users run it: files in, text out, clear refusals.
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int code = -1;
    QByteArray out, err;
};

// `limited`: within 400 MB of address space, plenty for a program that reads a file a block
// at a time (not under AddressSanitizer, which reserves far more).
Run modemTool(const QStringList& arguments, const QByteArray& input = {}, bool limited = false) {
    QProcess process;
    Q_UNUSED(limited);
#if !defined(__SANITIZE_ADDRESS__)
    if (limited)
        process.start("bash", QStringList{"-c", "ulimit -v 400000; exec \"$0\" \"$@\"", ZARNIK_MODEM_BINARY} + arguments);
    else
#endif
        process.start(ZARNIK_MODEM_BINARY, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace

class ModemToolTest : public QObject {
    Q_OBJECT
private slots:
    void everyModeRoundTripsThroughAFile_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("heard");
        QTest::newRow("bpsk") << QStringList{"--mode", "bpsk"} << QByteArray("cq de oh2xx 599 k");
        QTest::newRow("qpsk at 62.5 baud, 48 kHz")
            << QStringList{"--mode", "qpsk", "--speed", "62.5", "--rate", "48000"} << QByteArray("cq de oh2xx 599 k");
        QTest::newRow("rtty-l at 700 Hz") << QStringList{"--mode", "rtty-l", "--carrier", "700"}
                                          << QByteArray("CQ DE OH2XX 599 K");
    }
    void everyModeRoundTripsThroughAFile() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, heard);
        QTemporaryDir dir;
        const QString wav = dir.filePath("cq.wav");
        const Run tx = modemTool(QStringList{"tx"} + options + QStringList{"-o", wav}, "cq de oh2xx 599 k");
        QCOMPARE(tx.code, 0);
        options.removeAll("--rate");
        options.removeAll("48000");
        const Run rx = modemTool(QStringList{"rx"} + options + QStringList{wav}, {}, true);
        QCOMPARE(rx.code, 0);
        QCOMPARE(rx.out, heard); // the text and nothing else
    }

    // RTTY files go both ways with an independent modem, Debian's minimodem.
    void rttyTalksWithMinimodem() {
        const QString minimodem = QStandardPaths::findExecutable("minimodem");
        if (minimodem.isEmpty())
            QSKIP("minimodem is not installed (Debian package minimodem)");
        QTemporaryDir dir;
        const QStringList tones = {"-M", "1585", "-S", "1415", "rtty"};
        QCOMPARE(modemTool({"tx", "--mode", "rtty", "--text", "RYRY DE OH2XX 599", "-o", dir.filePath("ours.wav")}).code, 0);
        QProcess rx;
        rx.start(minimodem, QStringList{"--rx", "-q", "-f", dir.filePath("ours.wav")} + tones);
        QVERIFY(rx.waitForFinished(30000));
        QVERIFY(rx.readAllStandardOutput().contains("RYRY DE OH2XX 599"));

        QProcess tx;
        tx.start(minimodem, QStringList{"--tx", "-f", dir.filePath("theirs.wav")} + tones);
        tx.write("THE QUICK BROWN FOX 73\n");
        tx.closeWriteChannel();
        QVERIFY(tx.waitForFinished(30000));
        QVERIFY(modemTool({"rx", "--mode", "rtty", dir.filePath("theirs.wav")}).out.contains("THE QUICK BROWN FOX 73"));
    }

    void refusesWhatItCannotDo_withAReason() {
        QTemporaryDir dir;
        const QString wav = dir.filePath("x.wav");
        struct Case {
            QStringList arguments;
            QByteArray says;
        };
        const QList<Case> cases = {
            {{"tx", "--mode", "olivia", "-o", wav}, "--mode must be"},
            {{"tx", "--mode", "bpsk", "--carrier", "3990", "--text", "x", "-o", wav}, "does not fit"},
            {{"tx", "--mode", "bpsk", "--text", "x"}, "tx needs -o"},
            {{"rx", "--mode", "bpsk", dir.filePath("missing.wav")}, "missing.wav"},
        };
        for (const Case& c : cases) {
            const Run run = modemTool(c.arguments);
            QVERIFY2(run.code == 2 && run.err.contains(c.says) && run.out.isEmpty(),
                     qPrintable(c.arguments.join(' ') + " -> " + run.err));
        }
        QCOMPARE(modemTool({"--help"}).code, 0);
    }
};

QTEST_GUILESS_MAIN(ModemToolTest)
#include "tst_ModemTool.moc"
