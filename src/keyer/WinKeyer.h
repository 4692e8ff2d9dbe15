#pragma once

#include "KeyerCommands.h"
#include "platform/serial/CommEvent.h"

#include <QObject>
#include <QTimer>

class CommPort;
class CwStation;
class ControlStore;
class Dialogs;

// The WinKeyer the logger sees on the keyer port: CW text and speed go to the remote keyer
// as "WK:" and "WT:" lines, the logger gets its echo and status bytes at once, and the text
// is queued for the local side tone.
class WinKeyer final : public QObject {
    Q_OBJECT
public:
    // One pass takes at most this many bytes; the rest gets a pass of its own.
    static constexpr int kMaxBatch = 4096;
    // After the receive buffer overflowed, what the logger sends is dropped until it has been
    // quiet this long: a burst too large to take is not keyed, not even its tail.
    static constexpr int kBurstQuietMs = 200;

    struct Context {
        CommPort& port; // MSComm2
        ControlStore& store;
        Dialogs& dialogs;
        CwStation& cw;
    };

    explicit WinKeyer(Context context, QObject* parent = nullptr);

    void onKeyerPortEvent(CommEvent event);
    // One keyer pass over what the logger has sent.
    void readKeyerPort();
    bool isBusy() const { return keyerBusy_; }

    bool isDroppingBurst() const { return burstQuiet_.isActive(); }
    // The logger has been quiet since the burst: say how much was dropped, take text again.
    void endBurst();

private:
    void onControlChanged(const QString& name);
    void dropBurst();

    Context ctx_;
    bool keyerBusy_ = false;
    QTimer burstQuiet_;
    int droppedToTell_ = 0; // bytes dropped since the operator was last told
    KeyerCommandWalker commands_;
};
