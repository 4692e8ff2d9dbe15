#include "settings/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class SettingsFileTest : public QObject {
    Q_OBJECT
private slots:
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
        if (::geteuid() == 0)
            QSKIP("root writes into read-only folders; the failure cannot be staged");
        QTemporaryDir dir;
        const QString path = dir.filePath("ZarnikControl.ini");
        QVERIFY(SettingsFile::writePrivately(path, "old settings\r\n"));
        ::chmod(QFile::encodeName(dir.path()).constData(), 0500);
        SettingsFile::FileError error;
        QVERIFY(!SettingsFile::writePrivately(path, "new", &error));
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
        QCOMPARE(SettingsFile::read(path).value(), QByteArray("old settings\r\n"));
        QVERIFY(error.number != 0);
    }

    void read_missingFolderOrDirectory_isAnError() {
        QTemporaryDir dir;
        SettingsFile::FileError error;
        QVERIFY(!SettingsFile::read(dir.filePath("missing.ini"), &error));
        QCOMPARE(error.number, 53);
        QVERIFY(!SettingsFile::read(dir.path(), &error));
    }

    void read_hugeFile_readsOnlyTheStart() {
        QTemporaryDir dir;
        QFile big(dir.filePath("big.ini"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        big.write(QByteArray(1 << 20, 'z'));
        big.close();
        QCOMPARE(SettingsFile::read(big.fileName()).value().size(), SettingsFile::kMaxReadBytes);
    }
};

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "tst_SettingsFile.moc"
