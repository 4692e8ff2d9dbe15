#pragma once

// The signal browser's own parts, shared by its sources: what it keeps for each signal.
#include "SignalBrowser.h"
#include "digital/dsp/BandPass.h"
#include "digital/dsp/CwDemodulator.h"
#include "digital/dsp/KeyedCarrierCopy.h"
#include "digital/skimmer/CallsignPicker.h"

#include <memory>
#include <vector>

struct SignalBrowser::Channel {
    std::unique_ptr<Demodulator> receiver;
    std::unique_ptr<BandPass> filter; // RTTY: the station cut out of the band first
    std::unique_ptr<CallsignPicker> picker;
    CwDemodulator* cw = nullptr; // the receiver, when it is CW's: for the sender's speed
    std::unique_ptr<KeyedCarrierCopy> copy; // CW: its station, for the others to take out
    std::vector<float> rebuilt{};           // the copy of the block being heard
    std::vector<float> copied{};            // and of the last seconds
    bool copying = false;                   // its station is strong enough to be copied
    bool takenOut = false;                  // out of what the others hear, this block
    int stage = 1;                          // its copy hears the band (1) or the band without
                                            // the first stage's stations (2)
    std::vector<float> takenLate{};         // what came out of the band, held back with it
    std::vector<float> own{};               // what came out of the block its receiver hears
    bool inUse = false;
    int id = 0;
    double hz = 0;
    double snrDb = 0;
    double lastSeen = 0; // seconds
    double lastText = 0; // seconds: when its receiver last printed
    QString text{};
    QString word{}; // the word being received, for callsigns
    QString callsign{};
    qint64 received = 0;
};

// Values both the finding and the copying go by.
namespace SignalBrowserShared {
inline constexpr double kCatchUpSeconds = 8; // of sound a receiver hears first when it starts
// CW: within this of a station, a receiver hears that station's skirt; a peak the finder sees
// there once the station is taken out is what is left of it.
inline constexpr double kCwCopyReachHz = 50;
} // namespace SignalBrowserShared
