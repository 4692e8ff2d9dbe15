#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// The time as the program's waits and timers read it. The real clock reads the system
// time; tests put a FakeClock anywhere in the day and move it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, with fractions (the classic "Timer" value).
    virtual double secondsSinceMidnight() const = 0;
    // Seconds on a clock that never jumps (no midnight, no clock setting): for measuring waits.
    virtual double monotonicSeconds() const = 0;
    // Local date and time, for log lines.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    SystemClock() { monotonic_.start(); }
    double secondsSinceMidnight() const override;
    double monotonicSeconds() const override;
    QDateTime now() const override;

private:
    QElapsedTimer monotonic_;
};

// A clock that stands still unless told to move. With a step set, every reading advances
// it by that many seconds, so a wait that reads the clock comes to its end by itself.
class FakeClock final : public Clock {
public:
    explicit FakeClock(double secondsSinceMidnight = 43200.0) : total_(secondsSinceMidnight) {}
    double secondsSinceMidnight() const override;
    double monotonicSeconds() const override;
    QDateTime now() const override;

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
