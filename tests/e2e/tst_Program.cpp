// The whole program as a user starts it: command line, settings file, virtual ports.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QProcess* start(const QStringList& arguments, const QString& folder, QObject* parent) {
    auto* program = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZARNIKCONTROL_PORT_DIR", folder + "/ports");
    program->setProcessEnvironment(env);
    program->setWorkingDirectory(folder);
    program->start(ZARNIKCONTROL_BINARY, arguments);
    return program;
}

} // namespace

class ProgramTest : public QObject {
    Q_OBJECT
private slots:
    void helpAndVersion_answerWithoutADisplay() {
        QTemporaryDir folder;
        QProcess* help = start({"--help"}, folder.path(), this);
        QVERIFY(help->waitForFinished(10000));
        QCOMPARE(help->exitCode(), 0);
        QVERIFY(help->readAllStandardOutput().startsWith("Usage: zarnikcontrol"));

        QProcess* version = start({"--version"}, folder.path(), this);
        QVERIFY(version->waitForFinished(10000));
        QCOMPARE(version->readAllStandardOutput(), QByteArray("ZarnikControl version 1.18\n"));

        QProcess* wrong = start({"--frobnicate"}, folder.path(), this);
        QVERIFY(wrong->waitForFinished(10000));
        QCOMPARE(wrong->exitCode(), 2);
        QVERIFY(wrong->readAllStandardError().contains("unknown option --frobnicate"));
    }

    void run_publishesVirtualPorts_andEndsCleanlyOnTerminate() {
        QTemporaryDir folder;
        QFile ini(folder.filePath("ZarnikControl.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("Virtual\r\n3573.00\r\n\r\n\r\nOH2XX\r\npw\r\n 1\r\n 21\r\n");
        ini.close();

        QProcess* program = start({}, folder.path(), this);
        QVERIFY(program->waitForStarted(10000));
        const QString radio = folder.filePath("ports/radio");
        const QString keyer = folder.filePath("ports/keyer");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(radio).isSymLink() && QFileInfo(keyer).isSymLink(),
                                 20000);
        const int logger = ::open(QFile::encodeName(radio).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(logger >= 0); // a logger can open its end before the ports are started
        ::close(logger);

        ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
        QVERIFY(program->waitForFinished(20000));
        QCOMPARE(program->exitStatus(), QProcess::NormalExit);
        QCOMPARE(program->exitCode(), 0);
        QVERIFY(!QFileInfo(radio).isSymLink());

        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray written = ini.readAll();
        QCOMPARE(written.count("\r\n"), 19);
        QVERIFY(written.startsWith("Virtual\r\n3573.00\r\n"));
        QVERIFY(written.contains("\r\n 1\r\n 21\r\n"));
        struct stat info {};
        ::stat(QFile::encodeName(ini.fileName()).constData(), &info);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QVERIFY(QFile::exists(folder.filePath("ZarnikControl.log")));
    }

    void terminate_endsAtOnce_whenTheSettingsCannotBeWritten() {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkdir("ZarnikControl.ini")); // a folder: no file can go there
        QProcess* program = start({}, folder.path(), this);
        QVERIFY(program->waitForStarted(10000));
        // Started (the log is open); a box saying the station cannot be reached may be open.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(folder.filePath("ZarnikControl.log")), 20000);
        ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
        QVERIFY(program->waitForFinished(6000));
        QCOMPARE(program->exitCode(), 0);
        const QByteArray said = program->readAllStandardError();
        QVERIFY2(said.contains("settings not saved: Unexpected error. Err 75 : Path/File access error ("),
                 said.constData());
        QVERIFY(said.contains(QFile::encodeName(folder.filePath("ZarnikControl.ini")) + ": it is a folder)"));
        QFile log(folder.filePath("ZarnikControl.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("Settings not saved at "));
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_Program.moc"
