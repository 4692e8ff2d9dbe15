#include "common/LogFile.h"
#include "common/NumericText.h"
#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class CommonTest : public QObject {
    Q_OBJECT
  private slots:
    void pastItsCap_theLogMovesAside_andTheNewestLinesAreKept() {
        QTemporaryDir folder;
        const QString path = folder.filePath("ZarnikControl.log");
        LogFile log(path, 100);
        QVERIFY(log.open());
        for (int i = 0; i < 12; ++i)
            log.writeLine(QStringLiteral("Login:STATION%1 12:00").arg(i, 2, 10, QChar(u'0')));
        log.close();
        const QByteArray now = readFile(path), before = readFile(path + ".1");
        QVERIFY(now.size() <= 100 && before.size() <= 100);
        QVERIFY(now.endsWith("Login:STATION11 12:00\r\n"));
        QVERIFY(before.contains("Login:STATION0")); // the one before, not lost at once
        QVERIFY(!now.contains("STATION00") && !before.contains("STATION00"));
    }

    void numericValue_takesLeadingNumber_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("blanks ignored") << " 1 4 0 2 5 " << 14025.0;
        QTest::newRow("trailing words") << "7000.10 kHz" << 7000.1;
        QTest::newRow("negative") << "-12" << -12.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("binary junk") << QString::fromLatin1("\x01\xff" "12", 4) << 0.0;
        QTest::newRow("absurdly long") << QString(5000, u'9') << 0.0 + QString(64, u'9').toDouble();
    }
    void numericValue_takesLeadingNumber() {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(NumericText::numericValue(text), expected);
    }

    void integerValue_clampsToIntRange() {
        QCOMPARE(NumericText::integerValue("99999999999"), std::numeric_limits<int>::max());
        QCOMPARE(NumericText::integerValue("-99999999999"), std::numeric_limits<int>::min());
        QCOMPARE(NumericText::integerValue("2.9"), 2);
    }

    void shortestDecimal_dropsZerosAndPoint_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole") << 14000.0 << "14000";
        QTest::newRow("one decimal") << 14000.5 << "14000.5";
        QTest::newRow("two decimals") << 14000.25 << "14000.25";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative") << -3.5 << "-3.5";
    }
    void shortestDecimal_dropsZerosAndPoint() {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(NumericText::shortestDecimal(value), expected);
    }
};

QTEST_GUILESS_MAIN(CommonTest)
#include "tst_Common.moc"
