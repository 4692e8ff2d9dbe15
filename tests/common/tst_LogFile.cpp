#include "common/LogFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class LogFileTest : public QObject {
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
        QFile current(path), older(path + ".1");
        QVERIFY(current.open(QIODevice::ReadOnly) && older.open(QIODevice::ReadOnly));
        const QByteArray now = current.readAll(), before = older.readAll();
        QVERIFY(now.size() <= 100 && before.size() <= 100);
        QVERIFY(now.endsWith("Login:STATION11 12:00\r\n"));
        QVERIFY(before.contains("Login:STATION0")); // the one before, not lost at once
        QVERIFY(!now.contains("STATION00") && !before.contains("STATION00"));
    }
};

QTEST_GUILESS_MAIN(LogFileTest)
#include "tst_LogFile.moc"
