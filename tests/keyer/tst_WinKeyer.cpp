#include "keyer/KeyerPass.h"
#include "platform/serial/PtyBackend.h"
#include "platform/serial/SystemBackendProvider.h"
#include "support/CoreBench.h"
#include "support/LoggerEnd.h"
#include "support/StationEnd.h"

#include <QTest>


namespace {

// The keyer port on COM9, the radio port unused.
struct Keyed : CoreBench {
    Keyed() {
        c().selectItem(Ctl::Soft1Com, "COM8");
        c().selectItem(Ctl::Soft2com, "COM9");
        core->ports().InitPorts();
    }
    FakeBackend* keyer() { return fakePorts.port("COM9"); }
    QByteArray takeWritten() {
        const QByteArray written = keyer()->written;
        keyer()->written.clear();
        return written;
    }
};

} // namespace

class WinKeyerTest : public QObject {
    Q_OBJECT
private slots:
    // With the link down the logger still gets its echo and the side tone still sounds.
    void text_isForwardedEchoedAndQueued() {
        Keyed k;
        k.c().setValue(Ctl::SideTone, 1);
        k.keyer()->feed("tu");
        QCOMPARE(k.takeWritten(), QByteArray("\xc4" "TU\xc0"));
        QCOMPARE(k.core->sideTone().SideToneText(), QString("TU"));
        StationEnd station;
        QVERIFY(station.accept(k.core->serverSocket()));
        k.keyer()->feed("cq");
        QCOMPARE(k.takeWritten(), QByteArray("\xc4" "CQ\xc0"));
        QCOMPARE(station.waitForLines(2), (QStringList{"WK:C;", "WK:Q;"}));
        QCOMPARE(k.core->sideTone().SideToneText(), QString("TUCQ"));
    }

    void speedCommand_setsTheBoxAndTellsTheStation() {
        Keyed k;
        StationEnd station;
        QVERIFY(station.accept(k.core->serverSocket()));
        k.keyer()->feed(QByteArray("\x02\x1e", 2));
        QCOMPARE(k.c().text(Ctl::CWSpeed), QString("30"));
        QCOMPARE(station.waitForLines(1), QStringList{"WT:30|26;"});
        QVERIFY(k.takeWritten().isEmpty());
    }

    void speedBox_neverBelowFive() {
        Keyed k;
        k.c().setText(Ctl::CWSpeed, "");
        QCOMPARE(k.c().text(Ctl::CWSpeed), QString("5"));
        k.c().setText(Ctl::CWSpeed, "3");
        QCOMPARE(k.c().text(Ctl::CWSpeed), QString("5"));
        k.c().setText(Ctl::CWSpeed, "120");
        QCOMPARE(k.c().text(Ctl::CWSpeed), QString("120"));
    }

    void portEvents_haveTheirAnswersAndMessages() {
        Keyed k;
        k.keyer()->setLines({false, false, true, false}); // DSR: the logger opened its end
        QCOMPARE(k.takeWritten(), QByteArray("\x17\x80", 2));
        k.keyer()->dtr = false;
        k.keyer()->setLines({false, true, true, false}); // CTS: DTR asserted again
        QVERIFY(k.keyer()->dtr);
        k.keyer()->raise(CommEvent::Framing);
        k.keyer()->raise(CommEvent::Break);
        QVERIFY(k.dialogs.messages.isEmpty()); // not from inside the port's handler
        QCoreApplication::processEvents();
        QCOMPARE(k.dialogs.messages, (QStringList{"FRAMING ERROR", "COMBREAK"}));
    }

    // The port passes the admin prefix on; a command cut between two reads is finished by
    // the next, and one left unfinished when the logger reopens its end is forgotten.
    void commands_acrossReads_andAfterTheLoggerReopens() {
        Keyed k;
        StationEnd station;
        QVERIFY(station.accept(k.core->serverSocket()));
        k.keyer()->feed(QByteArray("\x00\x04", 2));
        k.keyer()->feed(QByteArray("U\x0f\x00\x12", 4)); // load defaults, cut after two
        QCOMPARE(k.takeWritten(), QByteArray("U"));
        k.keyer()->setLines({false, false, true, false}); // the logger opens its end anew
        k.keyer()->feed("hi");
        QCOMPARE(k.takeWritten(), QByteArray("\x17\x80\xc4" "HI\xc0"));
        QCOMPARE(station.waitForLines(2), (QStringList{"WK:H;", "WK:I;"}));
    }

    void burstBeyondTheBuffer_isDroppedWhole_notKeyed_andTheOperatorIsTold() {
        Keyed k;
        StationEnd station;
        QVERIFY(station.accept(k.core->serverSocket()));
        k.keyer()->feed(QByteArray(5000, 'E'));
        k.keyer()->feed(QByteArray(300, 'T')); // the rest of the same burst
        QVERIFY(k.core->winKeyer().isDroppingBurst());
        QVERIFY(k.takeWritten().isEmpty());
        k.core->winKeyer().endBurst(); // the logger has been quiet for a while
        QCoreApplication::processEvents();
        QCOMPARE(k.dialogs.messages,
                 QStringList{"RCV BUFFER OVERFLOW: 5300 characters from the logger were dropped, not sent as CW"});
        k.keyer()->feed("tu");
        QCOMPARE(k.takeWritten(), QByteArray("\xc4" "TU\xc0"));
        QCOMPARE(station.waitForLines(2), (QStringList{"WK:T;", "WK:U;"})); // and nothing before
    }

    void virtualKeyerPort_greetsTheLoggerThatOpensIt() {
        QTemporaryDir ports;
        SystemBackendProvider system(ports.path());
        CoreBench b(&system);
        b.c().selectItem(Ctl::Soft1Com, "Virtual");
        b.c().selectItem(Ctl::Soft2com, "Virtual");
        b.core->ports().InitPorts();
        LoggerEnd logger(ports.filePath("keyer"));
        QVERIFY(logger.isOpen());
        system.virtualPort(PortRole::Keyer)->refreshPeer();
        QCOMPARE(logger.read(2), QByteArray("\x17\x80", 2));
    }
};

QTEST_GUILESS_MAIN(WinKeyerTest)
#include "tst_WinKeyer.moc"
