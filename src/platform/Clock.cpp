#include "Clock.h"

#include <cmath>

namespace {
constexpr double kSecondsPerDay = 86400.0;
}

double SystemClock::secondsSinceMidnight() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

double FakeClock::secondsSinceMidnight() const {
    const double reading = seconds_;
    if (step_ != 0.0)
        seconds_ = std::fmod(seconds_ + step_, kSecondsPerDay);
    return reading;
}

QDateTime FakeClock::now() const {
    return QDateTime(date_, QTime::fromMSecsSinceStartOfDay(static_cast<int>(seconds_ * 1000.0)));
}

void FakeClock::advance(double seconds) {
    seconds_ = std::fmod(seconds_ + seconds, kSecondsPerDay);
    if (seconds_ < 0)
        seconds_ += kSecondsPerDay;
}
