#pragma once

#include <QString>
#include <functional>

// For an unattended station: while the station link is down, it is tried again, first after
// 5 seconds, then after twice as long each time up to once a minute, and every step is
// told to the log. Once the link is up the next loss starts again at 5 seconds. Driven by a
// tick a second.
class LinkRetry {
public:
    static constexpr int kFirstDelaySeconds = 5;
    static constexpr int kLongestDelaySeconds = 60;

    struct Context {
        std::function<bool()> linkUp;      // connected to the station server
        std::function<QString()> state;    // what the link's status says, for the log
        std::function<void()> connect;     // one attempt; it reports its own failure
        std::function<void(const QString&)> log;
        std::function<bool()> connecting = {}; // an attempt is on its way
    };

    explicit LinkRetry(Context context) : ctx_(std::move(context)) {}

    void secondTick();
    int secondsToNextTry() const { return countdown_; } // -1: nothing planned

private:
    Context ctx_;
    int delay_ = kFirstDelaySeconds;
    int countdown_ = -1;
    int attempts_ = 0; // since the link was last up
    bool connecting_ = false; // an attempt waits for its answer; ticks go on meanwhile
};
