#include "LinkRetry.h"

#include <algorithm>

void LinkRetry::secondTick() {
    if (connecting_ || (ctx_.connecting && ctx_.connecting()))
        return; // a try waits for its answer
    if (ctx_.linkUp()) {
        if (attempts_ > 0)
            ctx_.log(QStringLiteral("Station link up again after %1 tries").arg(attempts_));
        delay_ = kFirstDelaySeconds;
        countdown_ = -1;
        attempts_ = 0;
        return;
    }
    if (countdown_ < 0) {
        countdown_ = delay_;
        ctx_.log(QStringLiteral("Station link down (%1); next try in %2 s").arg(ctx_.state()).arg(delay_));
        return;
    }
    if (--countdown_ > 0)
        return;
    countdown_ = -1;
    delay_ = std::min(2 * delay_, kLongestDelaySeconds);
    ++attempts_;
    ctx_.log(QStringLiteral("Connecting to the station server again (try %1)").arg(attempts_));
    connecting_ = true;
    ctx_.connect();
    connecting_ = false;
}
