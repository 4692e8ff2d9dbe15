#pragma once

#include "StationReportPass.h"

class StationPicture;
struct LinkState;

// The quick work on every chunk from the station server, before its reports are read: VOX
// off, the rig-power log, the transmit guard's and the inactivity watchdog's inputs, keying on
// the RTTY signal level, and the station's chat line. The rules change the link state and the
// picture; what the program is to do comes out as actions, in order.
namespace ChunkRules {

constexpr double kRttyKeyLevel = 12000;
constexpr double kRttyReleaseLevel = 1000;

// What the rules read besides the chunk: the operator's ticks, and whether the chat window is
// on the screen (asked only for a chunk that holds a chat line).
struct Inputs {
    bool guardOn = false;
    bool activityWatchOn = false;
    bool rttyKeyingOn = false;
    bool chatShowing = false;
};

struct Outcome {
    BridgeActions actions;
    // False for a chunk with a chat line and no chat window: it goes no further.
    bool readReports = true;
};

Outcome apply(const QString& chunk, StationPicture& picture, LinkState& link, const Inputs& inputs);

} // namespace ChunkRules
