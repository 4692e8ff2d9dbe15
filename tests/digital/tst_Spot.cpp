// Spots as the logger's cluster window reads them: the line's columns, the frequency on the
// air from the rig's dial and mode, and one spot per call and band in ten minutes.
#include "digital/skimmer/Spot.h"

#include <QTest>

namespace {
Spot spotAt(const QString& call, double rfHz, const QString& hhmmss) {
    Spot spot;
    spot.spotter = "OH2XX-#";
    spot.call = call;
    spot.rfHz = rfHz;
    spot.mode = "CW";
    spot.snrDb = 14;
    spot.wpm = 28;
    spot.calledCq = true;
    spot.utc = QDateTime(QDate(2026, 12, 8), QTime::fromString(hhmmss, "HH:mm:ss"), Qt::UTC);
    return spot;
}
} // namespace

class SpotTest : public QObject {
    Q_OBJECT
private slots:
    void line_hasTheClusterColumns() {
        const QString line = SpotLines::line(spotAt("DL1ABC", 14025300, "12:34:56"));
        QCOMPARE(line, QString("DX de OH2XX-#:   14025.3  DL1ABC       CW 14 dB 28 WPM CQ             1234Z"));
        QCOMPARE(line.indexOf("14025.3") + 7, 24); // the frequency ends where clients look for it
        Spot psk = spotAt("W1AW", 7040960, "00:05:00");
        psk.spotter = "K1ABCDEFG-#"; // a long call pushes the frequency on, one blank kept
        psk.mode = "PSK31";
        psk.wpm = 0;
        psk.calledCq = false;
        QCOMPARE(SpotLines::line(psk),
                 QString("DX de K1ABCDEFG-#: 7041.0  W1AW         PSK31 14 dB DE                 0005Z"));
    }

    void rfFrequency_byTheRigsMode_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("tone");
        QTest::addColumn<double>("rf");
        // Dial 14,025,000 Hz, CW pitch 600 Hz.
        QTest::newRow("USB adds the tone") << 2 << 1000.0 << 14026000.0;
        QTest::newRow("LSB takes it off") << 1 << 1000.0 << 14024000.0;
        QTest::newRow("CW: how far above the pitch") << 3 << 750.0 << 14025150.0;
        QTest::newRow("CW-R: the other way") << 7 << 750.0 << 14024850.0;
        QTest::newRow("RTTY: the dial is the mark at 2125 Hz") << 6 << 2025.0 << 14025100.0;
    }
    void rfFrequency_byTheRigsMode() {
        QFETCH(int, mode);
        QFETCH(double, tone);
        QFETCH(double, rf);
        QCOMPARE(SpotLines::rfFrequencyHz(14025000, mode, tone, 600), rf);
    }

    void book_onceACallAndBandInTenMinutes_againWhenItMoves() {
        SpotBook book;
        QVERIFY(book.admit(spotAt("DL1ABC", 14025300, "12:00:00")));
        QVERIFY(!book.admit(spotAt("DL1ABC", 14025800, "12:05:00")));  // 500 Hz: the same
        QVERIFY(book.admit(spotAt("DL1ABC", 14027000, "12:06:00")));   // moved 1.7 kHz
        QVERIFY(book.admit(spotAt("DL1ABC", 7025000, "12:06:30")));    // another band
        QVERIFY(!book.admit(spotAt("DL1ABC", 14027000, "12:15:59")));
        QVERIFY(book.admit(spotAt("DL1ABC", 14027000, "12:16:00")));   // ten minutes on
        QVERIFY(book.admit(spotAt("G4XYZ", 14027000, "12:16:00")));
        for (int i = 0; i < 40; ++i)
            book.admit(spotAt(QString("K%1AB").arg(i % 10) + QChar('A' + i / 10), 21000000 + i * 2000, "13:00:00"));
        QCOMPARE(book.recent().size(), SpotBook::kRecent);
        QCOMPARE(book.recent().last().call, QString("K9ABD"));
    }
};

QTEST_GUILESS_MAIN(SpotTest)
#include "tst_Spot.moc"
