#pragma once

#include <QDateTime>

// The time of day as the program's waits and timers read it. The real clock reads the
// system time; tests put a FakeClock anywhere in the day and move it by hand.
class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, with fractions (the VB-style "Timer" value).
    virtual double secondsSinceMidnight() const = 0;
    // Local date and time, for log lines.
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
    double secondsSinceMidnight() const override;
    QDateTime now() const override;
};

// A clock that stands still unless told to move. With a step set, every reading advances
// it by that many seconds, so a wait that polls the clock comes to its end by itself.
class FakeClock final : public Clock {
public:
    explicit FakeClock(double secondsSinceMidnight = 43200.0) : seconds_(secondsSinceMidnight) {}
    double secondsSinceMidnight() const override;
    QDateTime now() const override;

    void set(double secondsSinceMidnight) { seconds_ = secondsSinceMidnight; }
    void advance(double seconds);
    void setStepPerReading(double seconds) { step_ = seconds; }
    void setDate(QDate date) { date_ = date; }

private:
    mutable double seconds_;
    double step_ = 0.0;
    QDate date_{2026, 12, 6};
};
