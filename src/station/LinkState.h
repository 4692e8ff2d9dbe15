#pragma once

#include <limits>

// What the station link knows between events: login, the in-progress flags of the two
// receive handlers, the watchdogs' inputs and counters, and what the log file was told.
struct LinkState {
    bool loggedIn = false;
    bool keyUpOwed = false;     // the link went while the transmitter was keyed
    bool serverRxBusy = false;  // the receive handler is running
    bool serverMsgBusy = false; // the station-report pass is running
    bool senderBusy = false;    // the periodic sender is running

    bool txKeyed = false; // the station reported the transmitter keyed (while guarded)
    int guardCount = 0;
    bool activitySeen = false;
    int idleCount = 0;
    bool guardNoticeShown = false; // the guard's key-up notice stands in the send monitor

    bool rigOnLogged = false;
    bool rigOffLogged = false;
    bool rttyKeyed = false;

    // Counters stop here instead of wrapping round, whatever limit is typed.
    static constexpr int kCountCeiling = std::numeric_limits<int>::max() - 1;
    static void countUp(int& counter) {
        if (counter < kCountCeiling)
            ++counter;
    }
};
