#pragma once

#include "platform/serial/CommEvent.h"

#include <QObject>

class CommPort;
class ControlStore;
class Dialogs;
class ServerLine;
class SideTone;

// The WinKeyer the logger sees on the keyer port: CW text and speed go to the remote keyer
// as "WK:" and "WT:" lines, the logger gets its echo and status bytes at once, and the text
// is queued for the local side tone.
class WinKeyer final : public QObject {
    Q_OBJECT
public:
    // One pass takes at most this many bytes; the rest gets a pass of its own.
    static constexpr int kMaxBatch = 4096;

    struct Context {
        CommPort& port; // MSComm2
        ServerLine& server;
        ControlStore& store;
        Dialogs& dialogs;
        SideTone& sideTone;
    };

    explicit WinKeyer(Context context, QObject* parent = nullptr);

    void KeyerPortEvent(CommEvent event);
    // One keyer pass over what the logger has sent.
    void Winkeyerx();
    bool isBusy() const { return keyerBusy_; }

private:
    void onControlChanged(const QString& name);

    Context ctx_;
    bool keyerBusy_ = false;
};
