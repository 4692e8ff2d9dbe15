#include "PausingWait.h"

#include "Clock.h"

#include <QCoreApplication>
#include <QTimer>

#include <cmath>

namespace {
// A wait looks at its clock and its condition at least this often.
constexpr int kSliceMs = 5;
// The last stretch of a wait is spent handling events without sleeping, so that the wait
// ends on time to a fraction of a millisecond (timers fire up to a millisecond late).
constexpr double kFinalStretchSeconds = 0.0015;

// Handles events as they come, for at most about `milliseconds`. (Not a nested QEventLoop:
// once the application is told to exit, those return at once and the wait would spin.)
void handleEventsFor(int milliseconds) {
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(milliseconds);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}
} // namespace

PausingWait::PausingWait(const Clock& clock) : clock_(clock) {}

bool PausingWait::wait(double seconds, const std::function<bool()>& done) const {
    if (clock_.standsStill())
        return done && done();
    const double deadline = clock_.monotonicSeconds() + seconds;
    for (;;) {
        if (done && done())
            return true;
        if (ended_)
            return false;
        const double remaining = deadline - clock_.monotonicSeconds();
        if (remaining <= 0)
            return false;
        if (remaining <= kFinalStretchSeconds) {
            yieldToEvents();
            continue;
        }
        const int sliceMs =
            static_cast<int>(std::floor((remaining - kFinalStretchSeconds) * 1000.0));
        handleEventsFor(qBound(1, sliceMs, kSliceMs));
    }
}

bool PausingWait::waitUntil(const std::function<bool()>& done) const {
    for (;;) {
        if (done())
            return true;
        if (ended_)
            return false;
        handleEventsFor(kSliceMs);
    }
}

void PausingWait::yieldToEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }
