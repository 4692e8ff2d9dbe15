#include "Clock.h"

#include <cmath>
#include <ctime>

namespace {
constexpr double kSecondsPerDay = 86400.0;
}

double SystemClock::secondsSinceMidnight() const {
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

namespace {
double bootTimeSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}
} // namespace

SystemClock::SystemClock() : start_(bootTimeSeconds()) {}

double SystemClock::monotonicSeconds() const { return bootTimeSeconds() - start_; }

QDateTime SystemClock::now() const { return QDateTime::currentDateTime(); }

double FakeClock::read() const {
    const double reading = total_;
    total_ += step_;
    return reading;
}

double FakeClock::secondsSinceMidnight() const { return std::fmod(read(), kSecondsPerDay); }

double FakeClock::monotonicSeconds() const { return read(); }

QDateTime FakeClock::now() const {
    const double seconds = total_;
    const auto days = static_cast<qint64>(std::floor(seconds / kSecondsPerDay));
    const double inDay = seconds - days * kSecondsPerDay;
    return QDateTime(date_.addDays(days), QTime::fromMSecsSinceStartOfDay(int(inDay * 1000.0)));
}

void FakeClock::set(double secondsSinceMidnight) {
    const double day = std::floor(total_ / kSecondsPerDay) * kSecondsPerDay;
    total_ = day + secondsSinceMidnight;
}
