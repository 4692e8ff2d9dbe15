#include "keyer/KeyerPass.h"

#include <QTest>

namespace {

// What fldigi and other WinKeyer clients send on connecting: echo test, host open, load
// defaults (15 bytes), speed pot set-up, speed 18, read the pot; then the operator's text.
const QByteArray kConnectSequence = QByteArray::fromHex(
    "000455" "0002" "0f" "001205320000" "0a1900000032" "3206ff" "050a19ff" "0212" "07") + "cq";

KeyerPassResult runOnce(const QByteArray& batch) {
    KeyerCommandWalker walker;
    return KeyerPass::run(batch, true, walker);
}

} // namespace

class KeyerPassTest : public QObject {
    Q_OBJECT
private slots:
    void batches_data() {
        QTest::addColumn<QByteArray>("batch");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QByteArray>("toLogger");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("speed 30") << QByteArray("\x02\x1e", 2) << "30" << QByteArray()
                                  << QStringList{"WT:30|26;"};
        QTest::newRow("speed 7 has two digits") << QByteArray("\x02\x07", 2) << "07" << QByteArray()
                                                << QStringList{"WT:07|26;"};
        QTest::newRow("speed 4 changes nothing") << QByteArray("\x02\x04", 2) << "" << QByteArray()
                                                 << QStringList{};
        QTest::newRow("speed byte not yet come") << QByteArray("\x02", 1) << "" << QByteArray()
                                                 << QStringList{};
        QTest::newRow("speed 40 is a number, not a parenthesis")
            << QByteArray("\x02\x28", 2) << "40" << QByteArray() << QStringList{"WT:40|26;"};
        QTest::newRow("speed between text goes in its place")
            << QByteArray("A\x02\x14" "B") << "20" << QByteArray("\xc4" "AB\xc0")
            << QStringList{"WK:A;", "WT:20|26;", "WK:B;"};
        QTest::newRow("cq test") << QByteArray("cq test") << "" << QByteArray("\xc4" "CQ TEST\xc0")
                                 << QStringList{"WK:C;", "WK:Q;", "WK: ;", "WK:T;", "WK:E;",
                                                "WK:S;", "WK:T;"};
        QTest::newRow("clear buffer between text is ignored")
            << QByteArray("A\nB") << "" << QByteArray("\xc4" "AB\xc0") << QStringList{"WK:A;", "WK:B;"};
        QTest::newRow("host open answers the version, then mode bits")
            << QByteArray("\x00\x02\x0e\x04", 4) << "" << QByteArray("\x17") << QStringList{};
        QTest::newRow("echo test answers its byte") << QByteArray("\x00\x04U", 3) << ""
                                                    << QByteArray("U") << QStringList{};
        QTest::newRow("status, idle and while text goes")
            << QByteArray("\x15" "E\x15") << "" << QByteArray("\xc0\xc4" "E\xc4\xc0")
            << QStringList{"WK:E;"};
        QTest::newRow("pot read") << QByteArray("\x07") << "" << QByteArray("\x80") << QStringList{};
        QTest::newRow("add nulls takes a count") << QByteArray("\x16\x03\x41" "B") << ""
                                                 << QByteArray("\xc4" "B\xc0") << QStringList{"WK:B;"};
        QTest::newRow("buffer pointer reset takes one") << QByteArray("\x16\x00" "B", 3) << ""
                                                        << QByteArray("\xc4" "B\xc0") << QStringList{"WK:B;"};
        QTest::newRow("prosign letters are parameters") << QByteArray("\x1b" "AR") << "" << QByteArray()
                                                        << QStringList{};
        QTest::newRow("EEPROM download is never keyed")
            << QByteArray("\x00\x0d", 2) + QByteArray(256, 'X') + "K" << "" << QByteArray("\xc4K\xc0")
            << QStringList{"WK:K;"};
        QTest::newRow("high bytes only") << QByteArray("\x80\xc4\xff") << "" << QByteArray()
                                         << QStringList{};
        QTest::newRow("a whole client connect, then text")
            << kConnectSequence << "18" << QByteArray("U\x17\x80\xc4" "CQ\xc0")
            << QStringList{"WT:18|26;", "WK:C;", "WK:Q;"};
    }
    void batches() {
        QFETCH(QByteArray, batch);
        QFETCH(QString, speed);
        QFETCH(QByteArray, toLogger);
        QFETCH(QStringList, lines);
        const KeyerPassResult result = runOnce(batch);
        QCOMPARE(result.speedText, speed);
        QCOMPARE(result.toLogger, toLogger);
        QCOMPARE(result.serverLines, lines);
        QString text;
        for (const QString& line : lines)
            if (line.startsWith("WK:"))
                text += line[3];
        QCOMPARE(result.sideTone, text);
    }

    // However the port cuts the connect sequence into batches, the station gets the speed and
    // the text alone.
    void commandCutBetweenBatches_isFinishedByTheNext() {
        for (int cut = 0; cut <= kConnectSequence.size(); ++cut) {
            KeyerCommandWalker walker;
            const KeyerPassResult first = KeyerPass::run(kConnectSequence.left(cut), true, walker);
            const KeyerPassResult second = KeyerPass::run(kConnectSequence.mid(cut), true, walker);
            QCOMPARE(first.serverLines + second.serverLines,
                     (QStringList{"WT:18|26;", "WK:C;", "WK:Q;"}));
        }
    }

    void sideTone_onlyWhenTicked() {
        KeyerCommandWalker walker;
        QCOMPARE(KeyerPass::run("ab", false, walker).sideTone, QString());
    }
};

QTEST_GUILESS_MAIN(KeyerPassTest)
#include "tst_KeyerPass.moc"
