#include "platform/BusyGuard.h"
#include "platform/Clock.h"
#include "platform/PausingWait.h"

#include <QTest>
#include <QTimer>

class PausingWaitTest : public QObject {
    Q_OBJECT
private slots:
    void earlyInTheDay_skipsTheWaitEntirely() {
        FakeClock clock(20.0);
        clock.setStepPerReading(0); // a wait would never end on a clock that stands still
        bool fired = false;
        QTimer::singleShot(0, this, [&] { fired = true; });
        QVERIFY(!PausingWait(clock).wait(1.0));
        QVERIFY(!fired); // skipped: no events were handled
        // The carrier search waits with a 10-second threshold.
        FakeClock later(15.0);
        later.setStepPerReading(0.5);
        QVERIFY(!PausingWait(later, 10.0).wait(1.0));
        QVERIFY(fired);
    }

    void wait_handlesEventsAndLastsItsTime() {
        FakeClock clock(1000.0);
        clock.setStepPerReading(0.1);
        bool fired = false;
        QTimer::singleShot(0, this, [&] { fired = true; });
        QVERIFY(!PausingWait(clock).wait(1.0));
        QVERIFY(fired);
        const double end = clock.secondsSinceMidnight();
        QVERIFY(end >= 1001.0 && end < 1001.5);
    }

    void wait_acrossMidnight_endsOnTime() {
        FakeClock clock(86399.5);
        clock.setStepPerReading(0.25);
        QVERIFY(!PausingWait(clock).wait(1.0));
        const double end = clock.secondsSinceMidnight();
        QVERIFY2(end >= 0.5 && end <= 1.25, qPrintable(QString::number(end))); // not a day, not zero
    }

    void wait_endsWhenConditionIsMet() {
        FakeClock clock(5000.0);
        clock.setStepPerReading(0.001);
        bool ready = false;
        QTimer::singleShot(0, this, [&] { ready = true; });
        QVERIFY(PausingWait(clock).wait(1000.0, [&] { return ready; }));
        QVERIFY(clock.secondsSinceMidnight() < 5001.0);
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
};

QTEST_GUILESS_MAIN(PausingWaitTest)
#include "tst_PausingWait.moc"
