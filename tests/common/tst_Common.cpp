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

    // Numbers typed into boxes: the leading number, blanks ignored, the rest dropped, and
    // numbers written back in their shortest form.
    void numericText_readsTheLeadingNumber_andWritesTheShortest() {
        const QList<std::pair<QString, double>> read{
            {" 1 4 0 2 5 ", 14025.0}, {"7000.10 kHz", 7000.1}, {"-12", -12.0}, {"abc", 0.0}, {"", 0.0},
            {"1.2.3", 1.2}, {QString::fromLatin1("\x01\xff" "12", 4), 0.0},
            {QString(5000, u'9'), QString(64, u'9').toDouble()}}; // absurdly long: its first 64 digits
        for (const auto& [text, value] : read)
            QCOMPARE(NumericText::numericValue(text), value);
        QCOMPARE(NumericText::integerValue("99999999999"), std::numeric_limits<int>::max());
        QCOMPARE(NumericText::integerValue("-99999999999"), std::numeric_limits<int>::min());
        QCOMPARE(NumericText::integerValue("2.9"), 2);
        const QList<std::pair<double, QString>> written{
            {14000.0, "14000"}, {14000.5, "14000.5"}, {14000.25, "14000.25"}, {0.0, "0"}, {-3.5, "-3.5"}};
        for (const auto& [value, text] : written)
            QCOMPARE(NumericText::shortestDecimal(value), text);
    }
};

QTEST_GUILESS_MAIN(CommonTest)
#include "tst_Common.moc"
