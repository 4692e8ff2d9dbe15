#pragma once

#include <functional>

class Clock;

// The program's one way of waiting inside a handler: pending events keep being handled
// while it waits, so ports, sockets and timers stay alive.
//
// The wait is measured on the seconds-since-midnight clock. While that clock reads
// `skipAtOrBelow` seconds or less (20 by default) the wait is skipped entirely. It never
// lasts longer than asked, also when midnight falls inside it.
class PausingWait {
public:
    static constexpr double kDefaultSkipSeconds = 20.0;

    explicit PausingWait(const Clock& clock, double skipAtOrBelow = kDefaultSkipSeconds);

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
    double skipAtOrBelow_;
    bool ended_ = false;
};
