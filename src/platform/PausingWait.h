#pragma once

#include <functional>

class Clock;

// The program's one way of waiting inside a handler: pending events keep being handled
// while it waits, so ports, sockets and timers stay alive.
//
// The wait is measured on the monotonic clock, so it lasts what it says at any time of day.
// (The classic wait read the seconds since midnight and was skipped in the first 20 seconds
// of the day: a connect at 00:00:03 failed at once and waits around midnight went wrong.)
class PausingWait {
public:
    explicit PausingWait(const Clock& clock);

    // Waits `seconds`, or until `done` returns true. Returns whether `done` was met.
    bool wait(double seconds, const std::function<bool()>& done = {}) const;

    // Handles events until `done` returns true, however long that takes and whatever the
    // clock reads (a macro waiting for the modem to empty its queue). Returns false only
    // when the program ends first.
    bool waitUntil(const std::function<bool()>& done) const;

    // Handles the events that are pending now, without waiting for more.
    static void yieldToEvents();

    // Once the program is ending, every wait on this helper returns at once, so that no
    // handler keeps the process alive in the middle of a wait.
    void endAllWaits() { ended_ = true; }
    bool waitsEnded() const { return ended_; }

private:
    const Clock& clock_;
    bool ended_ = false;
};
