#include "support/CoreBench.h"
#include "support/StationEnd.h"

#include <QTest>

namespace {

struct Watched : CoreBench {
    Watched() { ok = station.accept(core->serverSocket()); }
    Watchdogs& dogs() { return core->watchdogs(); }
    LinkState& link() { return core->linkState(); }
    void ticks(int count) {
        for (int i = 0; i < count; ++i)
            dogs().secondTick();
    }
    StationEnd station;
    bool ok = false;
};

} // namespace

class WatchdogsTest : public QObject {
    Q_OBJECT
private slots:
    void guard_releasesOnThe181stTick() {
        Watched w;
        QVERIFY(w.ok);
        w.c().setValue(Ctl::EnableGuard, 1);
        w.link().txKeyed = true;
        w.c().setVisible(Ctl::Shape2, true);
        w.ticks(180);
        QVERIFY(w.station.lines().isEmpty());
        w.ticks(1);
        QCOMPARE(w.station.waitForLines(1), QStringList{"A0:MX0;"});
        QVERIFY(!w.c().isVisible(Ctl::Shape2));
        QCOMPARE(w.c().text(Ctl::Text6), QString("Sending Key Up Signal"));
        QVERIFY(!w.link().txKeyed);
    }

    void guard_tenShortTransmissions_neverFire() {
        Watched w;
        w.c().setValue(Ctl::EnableGuard, 1);
        for (int over = 0; over < 10; ++over) {
            w.link().txKeyed = true;
            w.ticks(30);
            w.link().txKeyed = false; // the key-up report, as the receiver handles it
            w.link().guardCount = 0;
        }
        QTest::qWait(20);
        QVERIFY(w.station.lines().isEmpty());
    }

    void guard_offline_resetsWithoutSending() {
        CoreBench b;
        b.c().setValue(Ctl::EnableGuard, 1);
        b.c().setText(Ctl::GuardTime, "");
        b.core->linkState().txKeyed = true;
        b.core->watchdogs().secondTick(); // an empty limit fires on the first second
        QCOMPARE(b.core->linkState().guardCount, 0);
        QVERIFY(b.core->linkState().txKeyed);
    }

    void inactivity_shutsDownWithOneSecondSpacing() {
        Watched w;
        w.c().setValue(Ctl::EnableActive, 1);
        w.c().setValue(Ctl::Check1, 1);
        w.clock.set(50000.0);
        w.clock.setStepPerReading(0.01);
        QList<double> sentAt;
        connect(&w.core->serverLine(), &ServerLine::lineSent, this,
                [&](const QString&) { sentAt << w.clock.monotonicSeconds(); });
        w.ticks(180);
        QCOMPARE(w.c().text(Ctl::Text6), QString("180"));
        QVERIFY(sentAt.isEmpty());
        w.ticks(1);
        QCOMPARE(w.station.waitForLines(3), (QStringList{"A0:MX0;", "A0:PS0;", "A0:PS0;"}));
        QCOMPARE(sentAt.size(), 3);
        QVERIFY(sentAt[1] - sentAt[0] >= 1.0 && sentAt[1] - sentAt[0] < 1.1);
        QVERIFY(sentAt[2] - sentAt[1] >= 1.0 && sentAt[2] - sentAt[1] < 1.1);
        QCOMPARE(w.c().text(Ctl::Text6), QString("Shuting down receiver"));
        QCOMPARE(w.link().idleCount, 0);
    }

    void inactivity_heldWhileActivitySeen() {
        Watched w;
        w.c().setValue(Ctl::EnableActive, 1);
        w.link().activitySeen = true;
        w.ticks(500);
        QCOMPARE(w.link().idleCount, 0);
    }

    void counters_neverOverflow_whateverTheLimit() {
        Watched w;
        w.c().setValue(Ctl::EnableActive, 1);
        w.c().setValue(Ctl::EnableGuard, 1);
        w.c().setText(Ctl::ActiveTime, "99999999999999999999");
        w.c().setText(Ctl::GuardTime, "99999999999999999999");
        w.link().idleCount = LinkState::kCountCeiling - 1;
        w.link().guardCount = LinkState::kCountCeiling - 1;
        w.link().txKeyed = true;
        w.ticks(3);
        QCOMPARE(w.link().idleCount, LinkState::kCountCeiling);
        QCOMPARE(w.link().guardCount, LinkState::kCountCeiling);
        QTest::qWait(20);
        QVERIFY(w.station.lines().isEmpty());
    }

    void sender_sendsOnlyTheNewestQueuedCommand() {
        Watched w;
        w.startRadio();
        w.radio()->feed("FA00014025000;");
        w.radio()->feed("FA00014026000;"); // within the same 100 ms
        w.dogs().senderTick();
        w.dogs().senderTick();
        QCOMPARE(w.station.waitForLines(5), (QStringList{"A0:MX0;", "FA14025000;", "A0:MX0;",
                                                         "FA14026000;", "A0:FA14026000;"}));
        QVERIFY(w.picture().pendingFreqCommand.isEmpty());
    }
};

QTEST_GUILESS_MAIN(WatchdogsTest)
#include "tst_Watchdogs.moc"
