// The waiting loop, the serial port over a backend, and the port names.
#include "platform/Dialogs.h"
#include "platform/WorkingFolder.h"
#include "platform/BusyGuard.h"
#include "platform/Clock.h"
#include "platform/PausingWait.h"
#include "platform/serial/CommPort.h"
#include "platform/serial/FakeBackend.h"
#include "platform/serial/PortNames.h"

#include <QTest>
#include <QTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct Rig {
    FakeBackendProvider provider;
    CommPort port{provider, PortRole::Radio};
    QList<CommEvent> events;
    FakeBackend* backend = nullptr;

    explicit Rig(const QString& name = "COM3") {
        QObject::connect(&port, &CommPort::commEvent, [this](CommEvent e) { events << e; });
        port.setPortName(name);
        port.setBaudRate(19200);
        port.setOutBufferSize(2400);
        port.setDiscardNull(true);
        backend = provider.port(name);
    }
};

QByteArray drain(CommPort& port) {
    QByteArray all;
    while (port.inBufferCount() > 0)
        all += port.readOne();
    return all;
}

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT
  private slots:
    // A wait on a clock that stands at `start` and moves `step` a reading: whether events are
    // handled, and where the clock stands when it ends. It lasts its time at any hour: in the
    // first seconds of the day and across midnight alike (not a day, not none); a condition
    // met ends it at once; on a clock that never moves it passes at once.
    void wait_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<double>("step");
        QTest::addColumn<bool>("untilReady"); // ends when an event has been handled
        QTest::addColumn<bool>("handled");
        QTest::addColumn<double>("endFrom");
        QTest::addColumn<double>("endTo");
        QTest::newRow("clock standing still") << 1000.0 << 0.0 << false << false << 1000.0 << 1000.0;
        QTest::newRow("3 s after midnight") << 3.0 << 0.1 << false << true << 4.0 << 4.5;
        QTest::newRow("its time") << 1000.0 << 0.1 << false << true << 1001.0 << 1001.5;
        QTest::newRow("across midnight") << 86399.5 << 0.25 << false << true << 0.5 << 1.25;
        QTest::newRow("condition met") << 5000.0 << 0.001 << true << true << 5000.0 << 5001.0;
    }
    void wait() {
        QFETCH(double, start);
        QFETCH(double, step);
        QFETCH(bool, untilReady);
        QFETCH(bool, handled);
        QFETCH(double, endFrom);
        QFETCH(double, endTo);
        FakeClock clock(start);
        clock.setStepPerReading(step);
        bool fired = false;
        QTimer::singleShot(0, this, [&] { fired = true; });
        const PausingWait wait(clock);
        QCOMPARE(untilReady ? wait.wait(1000.0, [&] { return fired; }) : wait.wait(1.0), untilReady);
        QCOMPARE(fired, handled);
        const double end = clock.secondsSinceMidnight();
        QVERIFY2(end >= endFrom && end <= endTo, qPrintable(QString::number(end)));
    }

    void busyGuard_nestedEntryIsRefusedAndFlagAlwaysReleased() {
        bool busy = false;
        int passes = 0;
        std::function<void(int)> handler = [&](int depth) {
            BusyGuard guard(busy);
            if (!guard.entered())
                return;
            ++passes;
            if (depth < 3)
                handler(depth + 1); // as if a yield let the same event in again
            if (depth == 0)
                throw std::runtime_error("handler failed");
        };
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, handler(0));
        QCOMPARE(passes, 1);
        QVERIFY(!busy);
    }

    // Nulls are dropped and bytes read one at a time; a flood is bounded and reported once, and
    // what comes after it is kept.
    void receive_dropsNulReadsByteByByte_andBoundsAFlood() {
        Rig rig;
        QVERIFY(rig.port.open());
        rig.backend->feed(QByteArray("I\0F;", 4));
        QCOMPARE(rig.events, QList<CommEvent>{CommEvent::Receive});
        QCOMPARE(rig.port.inBufferCount(), 3);
        QCOMPARE(rig.port.readOne(), QByteArray("I"));
        QCOMPARE(drain(rig.port), QByteArray("F;"));
        QCOMPARE(rig.port.readOne(), QByteArray());
        for (int i = 0; i < 10; ++i)
            rig.backend->feed(QByteArray(1000, 'x'));
        QCOMPARE(rig.port.inBufferCount(), CommPort::kInBufferSize);
        QCOMPARE(rig.events.count(CommEvent::RxOverflow), 1);
        drain(rig.port);
        rig.backend->feed("IF;");
        QCOMPARE(drain(rig.port), QByteArray("IF;"));
    }

    void write_beyondOutputBuffer_isRefusedWithEvent() {
        Rig rig;
        QVERIFY(rig.port.open());
        rig.backend->heldOutput = 2000;
        rig.port.write(QByteArray(401, 'a'));
        QCOMPARE(rig.events, QList<CommEvent>{CommEvent::TxFull});
        QVERIFY(rig.backend->written.isEmpty());
        rig.port.write(QByteArray(400, 'a'));
        QCOMPARE(rig.backend->written.size(), 400);
    }

    void lineChanges_becomeEvents() {
        Rig rig;
        QVERIFY(rig.port.open());
        rig.backend->setLines({true, true, true, false});
        QCOMPARE(rig.events, (QList<CommEvent>{CommEvent::CtsChange, CommEvent::DsrChange,
                                               CommEvent::CdChange}));
        QVERIFY(rig.port.cd() && rig.port.dsr() && rig.port.cts());
        rig.events.clear();
        rig.backend->setLines({true, false, true, false});
        QCOMPARE(rig.events, QList<CommEvent>{CommEvent::CtsChange});
    }

    void handlerReopeningPort_endsTheBatchOfLineEvents() {
        Rig rig;
        QVERIFY(rig.port.open());
        rig.backend->setLines({true, true, true, false});
        rig.events.clear();
        QObject::connect(&rig.port, &CommPort::commEvent, [&](CommEvent e) {
            if (e == CommEvent::DsrChange) { // the logger left: start again
                rig.port.close();
                QVERIFY(rig.port.open());
            }
        });
        rig.backend->setLines({false, false, false, false});
        QCOMPARE(rig.events, (QList<CommEvent>{CommEvent::CtsChange, CommEvent::DsrChange}));
        QVERIFY(rig.port.isOpen());
        QVERIFY(!rig.port.cd());
    }

    void comNumber_readsTwoCharactersFromTheFourth() {
        const QList<std::pair<QString, int>> names{{"COM3", 3}, {"COM12", 12}, {"COM123", 12}, {"Virtual", 0}};
        for (const auto& [name, number] : names)
            QCOMPARE(PortNames::comNumber(name), number);
    }

    void devicePathForCom_prefersLinkInPortFolder() {
        QTemporaryDir folder;
        QCOMPARE(PortNames::devicePathForCom(3, folder.path()), QString("/dev/ttyS2"));
        QVERIFY(QFile::link("/dev/null", folder.filePath("COM3")));
        QCOMPARE(PortNames::devicePathForCom(3, folder.path()), folder.filePath("COM3"));
        QCOMPARE(PortNames::devicePathForCom(4, folder.path()), QString("/dev/ttyS3"));
    }

    // The menu entry's and the service's folder: the per-user one follows $XDG_CONFIG_HOME
    // when it is absolute; a missing folder is made private; a file is no folder.
    void workingFolder_isMadeWhenMissing_andPrivate() {
        QTemporaryDir base;
        qputenv("XDG_CONFIG_HOME", base.filePath("config").toUtf8());
        QCOMPARE(WorkingFolder::userFolder(), base.filePath("config/zarnikcontrol"));
        qputenv("XDG_CONFIG_HOME", "relative/config");
        QCOMPARE(WorkingFolder::userFolder(), QDir::homePath() + "/.config/zarnikcontrol");
        qunsetenv("XDG_CONFIG_HOME");
        const QString before = QDir::currentPath();
        QString why;
        QVERIFY2(WorkingFolder::enter(base.filePath("a/b"), &why), qPrintable(why));
        QCOMPARE(QDir::currentPath(), base.filePath("a/b"));
        QCOMPARE(QFileInfo(base.filePath("a/b")).permissions() & 0x0777, // user, group, others
                 QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
        QFile file(base.filePath("file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(!WorkingFolder::enter(base.filePath("file"), &why));
        QCOMPARE(why, base.filePath("file") + " is not a folder");
        QDir::setCurrent(before);
    }

    // No one answers at an unattended station: the answer that keeps it running, the
    // message in its log.
    void unattendedDialogs_logMessages_andKeepTheStationRunning() {
        UnattendedDialogs dialogs;
        QStringList logged;
        dialogs.log = [&](const QString& text) { logged << text; };
        dialogs.showMessage("Lost Connection");
        QVERIFY(dialogs.askYesNo("Continue anyway"));
        QCOMPARE(dialogs.askText("Enter Function", "CQ"), QString("CQ"));
        QCOMPARE(logged.size(), 3);
        QCOMPARE(logged.first(), QString("Lost Connection"));
        QVERIFY(logged[1].startsWith("Continue anyway - answered Yes"));
    }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "tst_Platform.moc"
