#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

// Whole seconds counted by a tick a second that also counts the seconds no tick saw (the
// computer asleep, the process stopped): the count is at least the time since it began on
// the monotonic clock, and at least one more with every tick. It stops at its ceiling
// instead of wrapping round, whatever limit is typed.
struct ElapsedCount {
    static constexpr int kCeiling = std::numeric_limits<int>::max() - 1;
    int seconds = 0;

    void reset() {
        seconds = 0;
        began_ = kNotBegun;
    }
    void tick(double monotonicNow) {
        if (began_ == kNotBegun)
            began_ = monotonicNow - seconds - 1; // this first tick counts its second
        const double counted = std::max(seconds + 1.0, std::floor(monotonicNow - began_));
        seconds = static_cast<int>(std::min(counted, double(kCeiling)));
    }

private:
    static constexpr double kNotBegun = -1e300;
    double began_ = kNotBegun;
};

// What the station link knows between events: login, the in-progress flags of the two
// receive handlers, the watchdogs' inputs and counters, and what the log file was told.
struct LinkState {
    bool linkUp = false; // connected by the link's own connect, until it is closed or lost
    bool loggedIn = false;
    bool serverRxBusy = false;  // the receive handler is running
    bool serverMsgBusy = false; // the station-report pass is running
    bool senderBusy = false;    // the periodic sender is running

    bool txKeyed = false; // the station reported the transmitter keyed (while guarded)
    ElapsedCount guardCount;
    bool activitySeen = false;
    ElapsedCount idleCount;
    bool guardNoticeShown = false; // the guard's key-up notice stands in the send monitor

    bool rigOnLogged = false;
    bool rigOffLogged = false;
    bool rttyKeyed = false;
};
