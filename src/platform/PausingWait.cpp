#include "PausingWait.h"

#include "Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace {
constexpr double kSecondsPerDay = 86400.0;
// How long one round of the wait may sleep for new events before it reads the clock again.
constexpr int kSliceMs = 5;

double elapsedSince(double start, double now) {
    double elapsed = now - start;
    if (elapsed < 0) // midnight passed
        elapsed += kSecondsPerDay;
    return elapsed;
}

void handleEventsForASlice() {
    QEventLoop slice;
    QTimer::singleShot(kSliceMs, &slice, &QEventLoop::quit);
    slice.exec();
}
} // namespace

PausingWait::PausingWait(const Clock& clock, double skipAtOrBelow)
    : clock_(clock), skipAtOrBelow_(skipAtOrBelow) {}

bool PausingWait::wait(double seconds, const std::function<bool()>& done) const {
    const double start = clock_.secondsSinceMidnight();
    if (start <= skipAtOrBelow_)
        return done && done();
    for (;;) {
        if (done && done())
            return true;
        if (ended_)
            return false;
        if (elapsedSince(start, clock_.secondsSinceMidnight()) >= seconds)
            return false;
        handleEventsForASlice();
    }
}

void PausingWait::yieldToEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }
