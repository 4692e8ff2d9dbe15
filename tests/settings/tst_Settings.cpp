#include "settings/MainSettings.h"
#include "settings/SettingsFile.h"
#include "support/Files.h"

#include <QTest>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

class SettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void read_shortAndOddFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("startFreq");
        QTest::addColumn<int>("modeIndex");
        QTest::newRow("empty file") << QByteArray() << 0 << "unchanged" << 5;
        QTest::newRow("one line, no line end") << QByteArray("COM3") << 1 << "unchanged" << 5;
        QTest::newRow("LF only") << QByteArray("COM3\n7000\n\n\n\n\n 4\n") << 7 << "7000" << 4;
        QTest::newRow("CR only") << QByteArray("COM3\r7000\r") << 2 << "7000" << 5;
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n\r\n\r\n\r\n\r\n\r\n") << 7 << ""
                                     << 0;
        QTest::newRow("word for a number") << QByteArray("a\r\nb\r\nc\r\nd\r\ne\r\nf\r\nCW\r\n")
                                           << 7 << "b" << 0;
    }
    void read_shortAndOddFiles() {
        QFETCH(QByteArray, content);
        QFETCH(int, lines);
        QFETCH(QString, startFreq);
        QFETCH(int, modeIndex);
        MainSettings s;
        s.frequencyKhz = "unchanged";
        s.modeIndex = 5;
        QCOMPARE(SettingsLines::read(content, s), lines);
        QCOMPARE(s.frequencyKhz, startFreq);
        QCOMPARE(s.modeIndex, modeIndex);
    }

    // (Binary junk of any kind: fuzz_settings.)
    void read_hugeLine_isCut_andTheNextLineStillRead() {
        MainSettings t;
        SettingsLines::read(QByteArray(5'000'000, 'x') + "\r\n7000\r\n", t);
        QCOMPARE(t.radioPort.size(), SettingsLines::kMaxLineLength);
        QCOMPARE(t.frequencyKhz, QString("7000"));
    }

    // Values in the old single-byte code page are read, and written back in UTF-8 read the same
    // again; 1,000 such characters take 2,000 bytes, so the line limit counts characters.
    void oldCodePageValues_readTheSameAfterTheyAreWrittenBack() {
        MainSettings s;
        SettingsLines::read("C7" + QByteArray(1200, '\x9b') + "\r\n14000\r\nh\r\n1\r\nOH2XX\r\np\xe4ss\r\n", s);
        QCOMPARE(s.loginPassword, QString::fromUtf8("p\u00e4ss"));
        QCOMPARE(s.radioPort.size(), SettingsLines::kMaxLineLength);
        MainSettings again;
        SettingsLines::read(SettingsLines::write(s), again);
        QCOMPARE(again, s);
    }

    void write_isPrivateAndComplete() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ZarnikControl.ini");
        // (a new file is made private: tst_AppCore, tst_Program) an existing, more open file
        // becomes private too when it is written again
        QVERIFY(SettingsFile::writePrivately(path, "COM1\r\n"));
        ::chmod(QFile::encodeName(path).constData(), 0644);
        struct stat info {};
        QVERIFY(SettingsFile::writePrivately(path, "COM2\r\n"));
        QCOMPARE(SettingsFile::read(path).value(), QByteArray("COM2\r\n"));
        ::stat(QFile::encodeName(path).constData(), &info);
        QCOMPARE(info.st_mode & 0777, 0600u);
    }

    void failedWrite_leavesOldFileWhole() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ZarnikControl.ini");
        QVERIFY(SettingsFile::writePrivately(path, "old settings\r\n"));
        SettingsFile::FileError error;
        {
            FullDisk full; // the write fails only when the buffer goes out, at the end
            QVERIFY(!SettingsFile::writePrivately(path, "new settings\r\n", &error));
        }
        QCOMPARE(SettingsFile::read(path).value(), QByteArray("old settings\r\n"));
        QVERIFY(error.number != 0);
    }

    void read_hugeFile_readsOnlyTheStart() {
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath("big.ini"), QByteArray(1 << 20, 'z')));
        QCOMPARE(SettingsFile::read(dir.filePath("big.ini")).value().size(), SettingsFile::kMaxReadBytes);
    }
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "tst_Settings.moc"
