#pragma once

#include <QDateTime>

// The time as the program's waits and timers read it. The real clock reads the system
// time; tests put a FakeClock anywhere in the day and move it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, with fractions (the classic "Timer" value).
    virtual double secondsSinceMidnight() const = 0;
    // Seconds on a clock that never jumps (no midnight, no clock setting) and that goes on
    // counting while the computer sleeps or the process is stopped: for measuring waits, the
    // transmit guard and the inactivity shutdown.
    virtual double monotonicSeconds() const = 0;
    // A clock that moves only when someone moves it (a test's): a wait on it could never end,
    // so waits on it pass at once.
    virtual bool standsStill() const { return false; }
    // Local date and time, for log lines.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    SystemClock();
    double secondsSinceMidnight() const override;
    // CLOCK_BOOTTIME: a suspended laptop or a stopped process must not stretch a guard time.
    double monotonicSeconds() const override;
    QDateTime now() const override;

private:
    double start_ = 0.0;
};

// A clock that stands still unless told to move. With a step set, every reading advances
// it by that many seconds, so a wait that reads the clock comes to its end by itself.
class FakeClock final : public Clock {
public:
    explicit FakeClock(double secondsSinceMidnight = 43200.0) : total_(secondsSinceMidnight) {}
    double secondsSinceMidnight() const override;
    double monotonicSeconds() const override;
    QDateTime now() const override;
    bool standsStill() const override { return step_ == 0.0; }

    void set(double secondsSinceMidnight);
    void advance(double seconds) { total_ += seconds; }
    void setStepPerReading(double seconds) { step_ = seconds; }
    void setDate(QDate date) { date_ = date; }

private:
    double read() const;

    mutable double total_; // seconds since midnight of date_, running on past midnight
    double step_ = 0.0;
    QDate date_{2026, 12, 6};
};
