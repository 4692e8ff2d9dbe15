#include "keyer/KeyerPass.h"

#include <QTest>

class KeyerPassTest : public QObject {
    Q_OBJECT
private slots:
    void batches_data() {
        QTest::addColumn<QByteArray>("batch");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QByteArray>("toLogger");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("sideTone");
        QTest::newRow("speed 30") << QByteArray("\x02\x1e", 2) << "30" << QByteArray()
                                  << QStringList{"WT:30|26;"} << "";
        QTest::newRow("speed 7 has two digits") << QByteArray("\x02\x07", 2) << "07" << QByteArray()
                                                << QStringList{"WT:07|26;"} << "";
        QTest::newRow("speed 4 changes nothing") << QByteArray("\x02\x04", 2) << "" << QByteArray()
                                                 << QStringList{} << "";
        QTest::newRow("speed byte missing") << QByteArray("\x02", 1) << "" << QByteArray()
                                            << QStringList{} << "";
        QTest::newRow("speed 40 is also a parenthesis")
            << QByteArray("\x02\x28", 2) << "40" << QByteArray("\xc4(\xc0")
            << QStringList{"WT:40|26;", "WK:(;"} << "(";
        QTest::newRow("host open after the null, then a speed")
            << QByteArray("\x02\x0e\x04", 3) << "14" << QByteArray()
            << QStringList{"WT:14|26;"} << "";
        QTest::newRow("cq test") << QByteArray("cq test") << "" << QByteArray("\xc4" "CQ TEST\xc0")
                                 << QStringList{"WK:C;", "WK:Q;", "WK: ;", "WK:T;", "WK:E;",
                                                "WK:S;", "WK:T;"}
                                 << "CQ TEST";
        QTest::newRow("line feed between text is ignored")
            << QByteArray("A\nB") << "" << QByteArray("\xc4" "AB\xc0")
            << QStringList{"WK:A;", "WK:B;"} << "AB";
        QTest::newRow("control bytes only") << QByteArray("\x01\x0a\x1b\x1f") << "" << QByteArray()
                                            << QStringList{} << "";
        QTest::newRow("high bytes only") << QByteArray("\x80\xc4\xff") << "" << QByteArray()
                                         << QStringList{} << "";
    }
    void batches() {
        QFETCH(QByteArray, batch);
        QFETCH(QString, speed);
        QFETCH(QByteArray, toLogger);
        QFETCH(QStringList, lines);
        QFETCH(QString, sideTone);
        const KeyerPassResult result = KeyerPass::run(batch, true);
        QCOMPARE(result.speedText, speed);
        QCOMPARE(result.toLogger, toLogger);
        QCOMPARE(result.serverLines, lines);
        QCOMPARE(result.sideTone, sideTone);
    }

};

QTEST_GUILESS_MAIN(KeyerPassTest)
#include "tst_KeyerPass.moc"
