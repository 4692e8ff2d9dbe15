// The program's core without windows: the settings file at start and end, load and save,
// the monitors, the ports' controller.
#include "app/CommandLineOptions.h"
#include "support/CoreBench.h"
#include "common/Controls.h"
#include "app/MainControls.h"
#include "app/PortController.h"

#include <QSignalSpy>
#include <QRegularExpression>
#include <QTest>
#include <sys/stat.h>

namespace {

const QByteArray kNineteenLines = "COM8\r\n7025.00\r\n192.0.2.1\r\n7300\r\nOH2XX\r\npw\r\n 5\r\n 21\r\n"
                                  " 1\r\n700\r\n30\r\n-1200\r\n90\r\n 1\r\n300\r\n 1\r\n 1\r\n 1\r\n7301\r\n";

// One program run in a folder of its own.
struct Run : CoreBench {
    explicit Run(const QString& commandLine = {}) : CoreBench(nullptr, nullptr, commandLine) {}
    FakeBackendProvider& provider = fakePorts;
    PortController& ports = core->ports();
    ControlStore& store = c();
    void choose(const QString& radio, const QString& keyer) {
        store.selectItem(Ctl::radioPortChoice, radio);
        store.selectItem(Ctl::keyerPortChoice, keyer);
    }
};

} // namespace

class AppCoreTest : public QObject {
    Q_OBJECT
  private slots:
    // What start-up makes of ZarnikControl.ini: control, and the text or list index it shows.
    void startUp_readsTheSettingsFile_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("shown"); // control=text, or control#index
        QTest::newRow("nineteen lines")
            << kNineteenLines << QStringList{"Soft1Com=COM8", "StartFreq=7025.00", "Combo1=RTTY",
                                             "Soft2com=Virtual", "VScroll1#-1200", "ChatPort=7301",
                                             "IAMASERVER#1"};
        QTest::newRow("no file: the initial content, both ports virtual")
            << QByteArray() << QStringList{"StartFreq=14000.00", "Combo1=CW", "Soft1Com=Virtual",
                                           "Soft2com=Virtual", "GuardTime=180"};
        QTest::newRow("values the controls cannot hold")
            << QByteArray("COM77\r\n\x01\x02\xff\r\n\r\n\r\n\r\n\r\n 9\r\n 99\r\n 2\r\n\r\n\r\n 500\r\n")
            << QStringList{"Soft1Com#-1", "Combo1=CW", "Soft2com#-1", "SideTone#0", "VScroll1#-500"};
        QTest::newRow("mode and keyer lines are list indexes")
            << QByteArray("COM1\r\n14000\r\n\r\n\r\n\r\n\r\n 2\r\n 0\r\n")
            << QStringList{"Combo1=CW", "Soft2com=None"};
    }
    void startUp_readsTheSettingsFile() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, shown);
        Run run;
        if (!file.isEmpty())
            QVERIFY(writeFile(run.path("ZarnikControl.ini"), file));
        run.core->startUp();
        for (const QString& expected : shown) {
            const QString name = expected.section(QRegularExpression("[=#]"), 0, 0);
            if (expected.contains('='))
                QCOMPARE(run.c().text(name), expected.section('=', 1));
            else
                QCOMPARE(run.c().value(name), expected.section('#', 1).toInt());
        }
        QVERIFY(run.core->log().isOpen());
        QVERIFY(run.dialogs.messages.isEmpty());
        run.core->connectAtStartup();
        if (file.isEmpty()) // a newcomer is told how to try it without a station
            QVERIFY2(run.c()
                         .text(Ctl::linkStatusLabel)
                         .contains("corvel-sim --listen 127.0.0.1:7373 --user OH2XX:secret"),
                     qPrintable(run.c().text(Ctl::linkStatusLabel)));
    }

    void shutDown_writesAllLinesPrivatelyForDefaultFileOnly() {
        Run run("SERVER");
        QCOMPARE(run.core->iniFileName(), QString("ZarnikControl.ini"));
        QVERIFY(writeFile(run.path("ZarnikControl.ini"), kNineteenLines));
        run.core->startUp();
        QSignalSpy ended(run.core.get(), &AppCore::programEnded);
        QSignalSpy unload(run.core.get(), &AppCore::unloadOtherWindows);
        run.core->exitProgram();
        run.core->exitProgram(); // a second request changes nothing
        QCOMPARE(ended.count(), 1);
        QCOMPARE(unload.count(), 1);
        QCOMPARE(readFile(run.path("ZarnikControl.ini")), kNineteenLines);
        struct stat info {};
        ::stat(QFile::encodeName(run.path("ZarnikControl.ini")).constData(), &info);
        QCOMPARE(info.st_mode & 0777, 0600u);
        QVERIFY(!run.core->log().isOpen());
    }

    // The settings go only to ZarnikControl.ini at the end: a file named on the command line is
    // read but never written back, and a name without ".ini" chosen for Save is written nowhere.
    void settingsGoNowhereElse() {
        Run run("other.ini");
        QVERIFY(writeFile(run.path("other.ini"), kNineteenLines));
        run.core->startUp();
        QCOMPARE(run.c().text(Ctl::loginCallsignBox), QString("OH2XX"));
        run.c().setText(Ctl::loginCallsignBox, "W1AW");
        run.fileDialogs.answers = {run.path("notes.txt")};
        run.core->settings().save();
        QVERIFY(!QFile::exists(run.path("notes.txt")));
        QCOMPARE(run.core->iniFileName(), run.path("notes.txt"));
        run.core->exitProgram();
        QCOMPARE(readFile(run.path("other.ini")), kNineteenLines);
        QVERIFY(!QFile::exists(run.path("ZarnikControl.ini")));
    }

    void save_writesTwelveLines_andNextStartKeepsTheRest() {
        Run run;
        run.core->startUp();
        run.c().setText(Ctl::guardTimeBox, "60");
        run.c().setText(Ctl::cwSpeedBox, "32");
        run.fileDialogs.answers = {run.path("station.ini")};
        run.core->settings().save();
        QCOMPARE(run.fileDialogs.requests.first().presetName, QString("ZarnikControl.ini"));
        const QByteArray saved = readFile(run.path("station.ini"));
        QCOMPARE(saved.count("\r\n"), 12);
        QCOMPARE(run.core->iniFileName(), run.path("station.ini"));

        Run next(run.path("station.ini"));
        next.core->startUp();
        QCOMPARE(next.c().text(Ctl::cwSpeedBox), QString("32"));
        QCOMPARE(next.c().text(Ctl::guardTimeBox), QString("180"));
        QCOMPARE(next.c().text(Ctl::inactivityTimeBox), QString("180"));
    }

    void load_readsTwelveLinesOnly_andCancelIsSilent() {
        Run run;
        run.core->startUp();
        QVERIFY(writeFile(run.path("full.ini"), kNineteenLines));
        run.fileDialogs.answers = {std::nullopt, run.path("full.ini")};
        run.core->settings().load();
        QCOMPARE(run.core->iniFileName(), QString("ZarnikControl.ini"));
        run.core->settings().load();
        QCOMPARE(run.fileDialogs.requests.last().filter, QString("INI_Files (*.ini)|*.ini"));
        QCOMPARE(run.c().text(Ctl::cwSpeedBox), QString("30"));    // line 11
        QCOMPARE(run.c().text(Ctl::guardTimeBox), QString("180")); // line 13 not read
        QVERIFY(!run.c().isTicked(Ctl::chatServerCheck));
        QVERIFY(run.dialogs.messages.isEmpty());
    }

    void loadOrSave_failing_reportsUnexpectedError() {
        Run run;
        run.core->startUp();
        QDir().mkdir(run.path("folder.ini"));
        run.fileDialogs.answers = {run.path("folder.ini"), run.path("missing-folder/x.ini")};
        run.core->settings().load();
        run.core->settings().save();
        QCOMPARE(run.dialogs.messages.size(), 2);
        for (const QString& message : run.dialogs.messages)
            QVERIFY(message.startsWith("Unexpected error. Err "));
    }

    void monitors_copyOnlyWhenTickedAndStayShort() {
        Run run;
        MonitorBoxes& m = run.core->monitors();
        m.copyFromLogger("IF;");
        QCOMPARE(run.c().text(Ctl::fromLoggerMonitor), QString());
        run.c().setValue(Ctl::monitorDataCheck, 1);
        m.copyFromLogger("IF;");
        QCOMPARE(run.c().text(Ctl::fromLoggerMonitor), QString("IF;\r\n"));
        m.copyFromLogger(QString(999, u'x')); // 1006 characters: emptied
        QCOMPARE(run.c().text(Ctl::fromLoggerMonitor), QString());

        m.copySent(QString(1999, u'a')); // 2001 with CR LF: the last 502 stay
        QCOMPARE(run.c().text(Ctl::outgoingMonitor).size(), 502);
        QVERIFY(run.c().text(Ctl::outgoingMonitor).endsWith("a\r\n"));
        m.copyFromServer("FA00014000000;");
        QCOMPARE(run.c().text(Ctl::fromServerMonitor), QString("FA00014000000;"));
        m.clearAll();
        QVERIFY(run.c().text(Ctl::fromServerMonitor).isEmpty() &&
                run.c().text(Ctl::outgoingMonitor).isEmpty());
    }

    void closeButton_dropsLinkStateAndEnds_evenWhenLoggerStopsReading() {
        Run run;
        run.core->startUp();
        run.c().selectItem(Ctl::radioPortChoice, "COM8");
        run.c().selectItem(Ctl::keyerPortChoice, "None");
        run.core->ports().initPorts();
        run.provider.port("COM8")->heldOutput = 100; // never drains
        run.c().setVisible(Ctl::connectedLight, true);
        run.c().setVisible(Ctl::loginLight, true);
        run.runClock(0.5);
        QSignalSpy ended(run.core.get(), &AppCore::programEnded);
        run.core->closeButton();
        for (int tick = 0; tick < 100 && ended.isEmpty(); ++tick) // the close timer's ticks
            run.core->continueClosing();
        QCOMPARE(ended.count(), 1);
        QCOMPARE(run.c().text(Ctl::connectMenu), QString("Connect"));
        QVERIFY(!run.c().isVisible(Ctl::connectedLight) && !run.c().isVisible(Ctl::loginLight));
        QVERIFY(!run.core->isLoggedIn());
        QVERIFY(QFile::exists(run.path("ZarnikControl.ini")));
    }

    void initPorts_opensBothAndShowsIt() {
        Run b;
        b.choose("COM8", "COM9");
        b.ports.initPorts();
        QVERIFY(b.dialogs.messages.isEmpty());
        FakeBackend* radio = b.provider.port("COM8");
        FakeBackend* keyer = b.provider.port("COM9");
        QVERIFY(radio->isOpen() && keyer->isOpen());
        QCOMPARE(radio->baud, 19200);
        QCOMPARE(keyer->baud, 1200);
        QVERIFY(radio->dtr && radio->rts && keyer->dtr && keyer->rts);
        QVERIFY(!b.store.isEnabled(Ctl::radioPortChoice));
        QVERIFY(b.store.isVisible(Ctl::portOpenLight));
        QCOMPARE(b.store.colour(Ctl::rtsLight), Colours::kGreen);

        // started again: both are closed and reopened
        b.ports.initPorts();
        QCOMPARE(radio->openCount, 2);
        QCOMPARE(keyer->openCount, 2);
    }

    void failures_showTheirMessage_data() {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("keyer");
        QTest::addColumn<QString>("refusing");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("radioTried");
        QTest::newRow("busy keyer") << "COM8" << "COM9" << "COM9" << PortController::kKeyerFailure
                                    << false;
        QTest::newRow("no keyer chosen") << "COM8" << "" << "" << PortController::kKeyerFailure
                                         << false;
        QTest::newRow("busy radio") << "COM8" << "COM9" << "COM8" << PortController::kRadioFailure
                                    << true;
        QTest::newRow("no radio chosen") << "" << "None" << "" << PortController::kRadioFailure
                                         << true;
    }
    void failures_showTheirMessage() {
        QFETCH(QString, radio);
        QFETCH(QString, keyer);
        QFETCH(QString, refusing);
        QFETCH(QString, message);
        QFETCH(bool, radioTried);
        Run b;
        b.choose(radio, keyer);
        if (!refusing.isEmpty())
            b.provider.port(refusing)->refuseOpen = true;
        b.ports.initPorts();
        // The message as it has always read, then why.
        QCOMPARE(b.dialogs.messages.size(), 1);
        QVERIFY(b.dialogs.messages[0].startsWith(message + " ("));
        QVERIFY2(b.dialogs.messages[0].contains(refusing.isEmpty() ? "no port chosen" : "refused to open"),
                 qPrintable(b.dialogs.messages[0]));
        QCOMPARE(b.provider.requested.contains(radio), radioTried);
        QVERIFY(!b.ports.radioPort().isOpen());
        QVERIFY(b.store.text(Ctl::radioPortPath).startsWith("Not open") ||
                b.store.text(Ctl::keyerPortPath).startsWith("Not open"));
        QCOMPARE(b.endedAtOnce, 0);
    }

    // An unattended "SERVER" instance asks whether another instance holds the port: No ends
    // the program, Yes goes on with the port closed (a keyer failure ends the start before
    // the radio is tried).
    void serverInstance_asks_data() {
        QTest::addColumn<QString>("refusing");
        QTest::addColumn<bool>("goOn");
        QTest::newRow("radio busy, No") << "COM8" << false;
        QTest::newRow("keyer busy, Yes") << "COM9" << true;
    }
    void serverInstance_asks() {
        QFETCH(QString, refusing);
        QFETCH(bool, goOn);
        Run b("SERVER");
        b.choose("COM8", "COM9");
        b.provider.port(refusing)->refuseOpen = true;
        b.dialogs.answers = {goOn};
        b.ports.initPorts();
        QCOMPARE(b.dialogs.questions, QStringList{PortController::kAnotherInstanceQuestion});
        QCOMPARE(b.endedAtOnce, goOn ? 0 : 1);
        QVERIFY(!b.ports.radioPort().isOpen());
        QCOMPARE(b.ports.keyerPort().isOpen(), refusing == "COM8");
    }

    void commandLine_folderAndUnattended_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("unattended");
        QTest::addColumn<QString>("argumentOrError");
        QTest::newRow("folder, then SERVER") << QStringList{"--folder", "/srv/st", "SERVER"} << "/srv/st"
                                             << false << "SERVER";
        QTest::newRow("folder with =") << QStringList{"--folder=st"} << "st" << false << "";
        QTest::newRow("the user's folder, unattended")
            << QStringList{"--unattended", "--user-folder"} << "/home/op/.config/zarnikcontrol" << true << "";
        QTest::newRow("folder without its name") << QStringList{"--folder"} << "" << false
                                                 << "--folder needs a folder name";
    }
    void commandLine_folderAndUnattended() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, folder);
        QFETCH(bool, unattended);
        QFETCH(QString, argumentOrError);
        const CommandLineOptions o = CommandLineOptions::parse(arguments, "/home/op/.config/zarnikcontrol");
        QCOMPARE(o.folder, folder);
        QCOMPARE(o.unattended, unattended);
        QCOMPARE(o.error.isEmpty() ? o.argument : o.error, argumentOrError);
    }
};

QTEST_GUILESS_MAIN(AppCoreTest)
#include "tst_AppCore.moc"
