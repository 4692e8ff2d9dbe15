#include "common/ControlStore.h"
#include "common/Controls.h"
#include "app/MainControls.h"
#include "app/PortController.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PausingWait.h"
#include "platform/serial/FakeBackend.h"

#include <QTest>

namespace {

struct Bench {
    explicit Bench(const QString& commandLine = {}) : commandLine(commandLine) {
        populateMainControls(store, {});
    }
    ControlStore store;
    RecordingDialogs dialogs;
    FakeClock clock{10.0}; // early in the day: the one-second wait is skipped
    PausingWait wait{clock};
    FakeBackendProvider provider;
    QString commandLine;
    int endedAtOnce = 0;
    PortController ports{{store, dialogs, wait, provider, commandLine, [this] { ++endedAtOnce; }}};

    void choose(const QString& radio, const QString& keyer) {
        store.selectItem(Ctl::Soft1Com, radio);
        store.selectItem(Ctl::Soft2com, keyer);
    }
};

} // namespace

class PortControllerTest : public QObject {
    Q_OBJECT
private slots:
    void initPorts_opensBothAndShowsIt() {
        Bench b;
        b.choose("COM8", "COM9");
        b.ports.InitPorts();
        QVERIFY(b.dialogs.messages.isEmpty());
        FakeBackend* radio = b.provider.port("COM8");
        FakeBackend* keyer = b.provider.port("COM9");
        QVERIFY(radio->isOpen() && keyer->isOpen());
        QCOMPARE(radio->baud, 19200);
        QCOMPARE(keyer->baud, 1200);
        QVERIFY(radio->dtr && radio->rts && keyer->dtr && keyer->rts);
        QVERIFY(!b.store.isEnabled(Ctl::Soft1Com));
        QVERIFY(!b.store.isEnabled(Ctl::Soft2com));
        QVERIFY(b.store.isVisible(Ctl::Shape3));
        QCOMPARE(b.store.colour(Ctl::RTS), Colours::kGreen);
        QCOMPARE(b.store.colour(Ctl::DTR), Colours::kGreen);
        QCOMPARE(b.store.colour(Ctl::CD), Colours::kLedOff);

        // started again: both are closed and reopened
        b.ports.InitPorts();
        QCOMPARE(radio->openCount, 2);
        QCOMPARE(keyer->openCount, 2);
    }

    void keyerNone_opensOnlyTheRadio() {
        Bench b;
        b.choose("Virtual", "None");
        b.ports.InitPorts();
        QVERIFY(b.dialogs.messages.isEmpty());
        QCOMPARE(b.provider.requested, QStringList{"Virtual"});
        QVERIFY(b.ports.radioPort().isOpen());
        QVERIFY(b.store.isEnabled(Ctl::Soft2com));
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
        Bench b;
        b.choose(radio, keyer);
        if (!refusing.isEmpty())
            b.provider.port(refusing)->refuseOpen = true;
        b.ports.InitPorts();
        // The message as it has always read, then why.
        QCOMPARE(b.dialogs.messages.size(), 1);
        QVERIFY(b.dialogs.messages[0].startsWith(message + " ("));
        QVERIFY2(b.dialogs.messages[0].contains(refusing.isEmpty() ? "no port chosen" : "refused to open"),
                 qPrintable(b.dialogs.messages[0]));
        QVERIFY(b.dialogs.questions.isEmpty()); // only an unattended "SERVER" instance asks
        QCOMPARE(b.provider.requested.contains(radio), radioTried);
        QVERIFY(!b.ports.radioPort().isOpen());
        QVERIFY(!b.store.isVisible(Ctl::Shape3));
        QVERIFY(b.store.text(Ctl::RadioPortPath).startsWith("Not open") ||
                b.store.text(Ctl::KeyerPortPath).startsWith("Not open"));
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
        Bench b("SERVER");
        b.choose("COM8", "COM9");
        b.provider.port(refusing)->refuseOpen = true;
        b.dialogs.answers = {goOn};
        b.ports.InitPorts();
        QCOMPARE(b.dialogs.questions, QStringList{PortController::kAnotherInstanceQuestion});
        QCOMPARE(b.endedAtOnce, goOn ? 0 : 1);
        QVERIFY(!b.ports.radioPort().isOpen());
        QCOMPARE(b.ports.keyerPort().isOpen(), refusing == "COM8");
    }

    void stopPorts_closesBothAndUnlightsEverything() {
        Bench b;
        b.choose("COM8", "COM9");
        b.ports.InitPorts();
        b.store.setColour(Ctl::CD, Colours::kRed);
        b.ports.stopPorts();
        QVERIFY(!b.provider.port("COM8")->isOpen());
        QVERIFY(!b.provider.port("COM9")->isOpen());
        QVERIFY(b.store.isEnabled(Ctl::Soft1Com) && b.store.isEnabled(Ctl::Soft2com));
        QVERIFY(!b.store.isVisible(Ctl::Shape3));
        for (const QString& light : radioLineIndicators())
            QCOMPARE(b.store.colour(light), Colours::kLedOff);
    }

    void portLocations_tellTheOperatorWhereToGo() {
        Bench b;
        b.choose("Virtual", "None");
        b.ports.refreshPortLocations();
        QCOMPARE(b.store.text(Ctl::RadioPortPath), QString("Logger opens fake:Virtual"));
        QCOMPARE(b.store.text(Ctl::KeyerPortPath), QString("No keyer port"));
        b.choose("", "COM4");
        b.ports.refreshPortLocations();
        QCOMPARE(b.store.text(Ctl::RadioPortPath), QString("Choose a port"));
        QCOMPARE(b.store.text(Ctl::KeyerPortPath), QString("Device fake:COM4"));
    }
};

QTEST_GUILESS_MAIN(PortControllerTest)
#include "tst_PortController.moc"
