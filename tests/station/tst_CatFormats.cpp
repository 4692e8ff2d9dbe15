#include "station/CatFormats.h"

#include <QTest>

class CatFormatsTest : public QObject {
    Q_OBJECT
private slots:
    void frequencyField_isElevenDigitsInHz_data() {
        QTest::addColumn<QString>("startFreq");
        QTest::addColumn<QString>("field");
        QTest::newRow("7000.00") << "7000.00" << "00007000000";
        QTest::newRow("14000.5") << "14000.5" << "00014000500";
        QTest::newRow("14000.50") << "14000.50" << "00014000500";
        QTest::newRow("14000.25") << "14000.25" << "00014000250";
        QTest::newRow("14025.00") << "14025.00" << "00014025000";
        QTest::newRow("99999.99") << "99999.99" << "00099999990";
        QTest::newRow("normalised box text") << "00014025.10" << "00014025100";
        QTest::newRow("sub-10-Hz digits are rounded") << "14000.1234" << "00014000123";
        QTest::newRow("VHF stays right") << "144300" << "00144300000";
        QTest::newRow("typed nonsense") << "abc" << "00000000000";
        QTest::newRow("negative") << "-5" << "00000000000";
        QTest::newRow("too large is held") << "999999999999" << "99999999999";
    }
    void frequencyField_isElevenDigitsInHz() {
        QFETCH(QString, startFreq);
        QFETCH(QString, field);
        QCOMPARE(CatFormats::frequencyField(startFreq), field);
    }

    void statusRecord_layout_data() {
        QTest::addColumn<QString>("startFreq");
        QTest::addColumn<int>("rit");
        QTest::addColumn<int>("xit");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("transmitting");
        QTest::addColumn<QString>("record");
        QTest::newRow("7000 CW") << "7000.00" << 0 << 0 << 3 << false
                                 << "IF00007000000     -000000000030000000;";
        QTest::newRow("14025 USB") << "14025.00" << 0 << 0 << 2 << false
                                   << "IF00014025000     -000000000020000000;";
        QTest::newRow("14000.5 with RIT and XIT") << "14000.5" << 1 << 1 << 6 << false
                                                  << "IF00014000500     -000011000060000000;";
        QTest::newRow("99999.99 keyed") << "99999.99" << 0 << 0 << 7 << true
                                        << "IF00099999990     -000000000170000000;";
        QTest::newRow("no mode chosen") << "14025.00" << 0 << 0 << 0 << false
                                        << "IF00014025000     -000000000000000000;";
    }
    void statusRecord_layout() {
        QFETCH(QString, startFreq);
        QFETCH(int, rit);
        QFETCH(int, xit);
        QFETCH(int, mode);
        QFETCH(bool, transmitting);
        QFETCH(QString, record);
        const QString built = CatFormats::statusRecord(CatFormats::frequencyField(startFreq),
                                                       "-0000", rit, xit, mode, transmitting);
        QCOMPARE(built, record);
        QCOMPARE(built.size(), 38);
        QCOMPARE(built[28], transmitting ? u'1' : u'0'); // the transmit/receive digit
    }

};

QTEST_GUILESS_MAIN(CatFormatsTest)
#include "tst_CatFormats.moc"
