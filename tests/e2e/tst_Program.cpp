// The whole program as a user starts it: command line, settings file, virtual ports.
#include "common/Version.h"
#include "support/ProgramProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class ProgramTest : public QObject {
    Q_OBJECT
private slots:
    void helpAndVersion_answerWithoutADisplay() {
        QTemporaryDir folder;
        QProcess* help = startProgram(folder.path(), {"--help"}, this);
        QVERIFY(help->waitForFinished(10000));
        QCOMPARE(help->exitCode(), 0);
        QVERIFY(help->readAllStandardOutput().startsWith("Usage: zarnikcontrol"));

        QProcess* version = startProgram(folder.path(), {"--version"}, this);
        QVERIFY(version->waitForFinished(10000));
        QCOMPARE(version->readAllStandardOutput(), QByteArray("ZarnikControl version " ZARNIKCONTROL_VERSION "\n"));

        QProcess* wrong = startProgram(folder.path(), {"--frobnicate"}, this);
        QVERIFY(wrong->waitForFinished(10000));
        QCOMPARE(wrong->exitCode(), 2);
        QVERIFY(wrong->readAllStandardError().contains("unknown option --frobnicate"));
    }

    // (What the settings file holds when the program ends: tst_AppCore.)
    void run_publishesVirtualPorts_andEndsCleanlyOnTerminate() {
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath("ZarnikControl.ini"), "Virtual\r\n3573.00\r\n\r\n\r\nOH2XX\r\npw\r\n 1\r\n 21\r\n"));
        QProcess* program = startProgram(folder.path(), {}, this);
        QVERIFY(program->waitForStarted(10000));
        const QString radio = folder.filePath("ports/radio");
        const QString keyer = folder.filePath("ports/keyer");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(radio).isSymLink() && QFileInfo(keyer).isSymLink(),
                                 20000);
        const int logger = ::open(QFile::encodeName(radio).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(logger >= 0); // a logger can open its end before the ports are started
        ::close(logger);

        terminate(program);
        QVERIFY(program->waitForFinished(20000));
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->exitCode(), 0);
        QVERIFY(!QFileInfo(radio).isSymLink());
        QCOMPARE(readFile(folder.filePath("ZarnikControl.ini")).count("\r\n"), 19);
        QVERIFY(QFile::exists(folder.filePath("ZarnikControl.log")));
    }

    // The menu entry's start: every file in the per-user folder, made private when missing;
    // none in the folder it was started from.
    void userFolder_holdsEveryFile_andIsMadeWhenMissing() {
        QTemporaryDir folder;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", folder.filePath("config"));
        // Unattended, so that the chat form is loaded (and so written at the end) by the time
        // the start is told on standard error; a window is loaded only when it is first activated.
        QProcess* program = startProgram(folder.path(), {"--user-folder", "--unattended"}, this, env);
        const QString home = folder.filePath("config/zarnikcontrol");
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += program->readAllStandardError()).contains("Unattended:"), 20000);
        terminate(program);
        QVERIFY(program->waitForFinished(20000));
        struct stat info {};
        ::stat(QFile::encodeName(home).constData(), &info);
        QCOMPARE(info.st_mode & 0777, 0700u);
        for (const char* file : {"ZarnikControl.ini", "ChatFrm.ini"})
            QVERIFY2(QFile::exists(home + "/" + file), file);
        QVERIFY(!QFile::exists(folder.filePath("ZarnikControl.ini")));
        QVERIFY(!QFile::exists(folder.filePath("ZarnikControl.log")));
    }

    // Two programs in one folder: the second sees the first and ends, leaving its files alone.
    void secondInstanceInTheSameFolder_endsWithAClearMessage() {
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath("ZarnikControl.ini"), "Virtual\r\n3573.00\r\n\r\n\r\nOH2XX\r\npw\r\n 1\r\n 21\r\n"));
        QProcess* first = startProgram(folder.path(), {"--unattended"}, this);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.filePath("ZarnikControl.log")), 20000);
        const QByteArray settings = readFile(folder.filePath("ZarnikControl.ini"));
        QProcess* second = startProgram(folder.path(), {"--unattended"}, this);
        QVERIFY(second->waitForFinished(10000));
        QCOMPARE(second->exitCode(), 1);
        const QByteArray said = second->readAllStandardError();
        QVERIFY2(said.contains("ZarnikControl is already running in ") &&
                     said.contains(QByteArray::number(first->processId())),
                 said.constData());
        QCOMPARE(readFile(folder.filePath("ZarnikControl.ini")), settings);
        terminate(first);
        QVERIFY(first->waitForFinished(20000));
        QProcess* again = startProgram(folder.path(), {"--unattended"}, this); // the lock went with it
        QTRY_VERIFY_WITH_TIMEOUT(again->state() == QProcess::Running, 10000);
        QTest::qWait(300);
        QCOMPARE(again->state(), QProcess::Running);
        terminate(again);
        QVERIFY(again->waitForFinished(20000));
    }

    // A lock file no running ZarnikControl holds (left empty, junk, naming process 0, or 10 MB
    // of it) does not refuse the start for ever: it is taken over, and the log says so.
    void unreadableLockFile_isTakenOver_andTheLogSaysSo_data() {
        QTest::addColumn<QByteArray>("lock");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("junk") << QByteArray("\x01\x02junk\n\n");
        QTest::newRow("process 0") << QByteArray("0\nZarnikControl\nhost\n");
        QTest::newRow("10 MB") << QByteArray(10 * 1024 * 1024, 'x');
    }
    void unreadableLockFile_isTakenOver_andTheLogSaysSo() {
        QFETCH(QByteArray, lock);
        QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath("ZarnikControl.ini"), "Virtual\r\n3573.00\r\n\r\n\r\nOH2XX\r\npw\r\n 1\r\n 21\r\n"));
        QVERIFY(writeFile(folder.filePath("ZarnikControl.lock"), lock));
        QProcess* program = startProgram(folder.path(), {"--unattended"}, this);
        QTRY_VERIFY_WITH_TIMEOUT(readFile(folder.filePath("ZarnikControl.log")).contains("taken over"), 20000);
        QCOMPARE(program->state(), QProcess::Running);
        terminate(program);
        QVERIFY(program->waitForFinished(20000));
        QCOMPARE(program->exitCode(), 0);
    }

    void terminate_endsAtOnce_whenTheSettingsCannotBeWritten() {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("ZarnikControl.ini")); // a folder: no file can go there
        QProcess* program = startProgram(folder.path(), {}, this);
        QVERIFY(program->waitForStarted(10000));
        // Started (the log is open); a box saying the station cannot be reached may be open.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(folder.filePath("ZarnikControl.log")), 20000);
        terminate(program);
        QVERIFY(program->waitForFinished(6000));
        QCOMPARE(program->exitCode(), 0);
        const QByteArray said = program->readAllStandardError();
        QVERIFY2(said.contains("settings not saved: Unexpected error. Err 75 : Path/File access error ("),
                 said.constData());
        QVERIFY(said.contains(QFile::encodeName(folder.filePath("ZarnikControl.ini")) + ": it is a folder)"));
        QVERIFY(readFile(folder.filePath("ZarnikControl.log")).contains("Settings not saved at "));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_Program.moc"
