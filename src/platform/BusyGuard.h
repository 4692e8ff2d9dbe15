#pragma once

// Marks a handler as running for the length of a scope. A handler that yields to pending
// events can be entered again from inside itself; the nested entry sees the flag set and
// returns at once, leaving its data waiting for the pass that is already running.
//
//     BusyGuard guard(catBusy_);
//     if (!guard.entered())
//         return;
class BusyGuard {
public:
    explicit BusyGuard(bool& flag) : flag_(flag), entered_(!flag) {
        if (entered_)
            flag_ = true;
    }
    ~BusyGuard() {
        if (entered_)
            flag_ = false;
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

    bool entered() const { return entered_; }

private:
    bool& flag_;
    bool entered_;
};
