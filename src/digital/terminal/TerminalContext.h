#pragma once

#include "TerminalControls.h"
#include "common/ControlStore.h"

#include <QString>
#include <functional>

class Clock;
class ControlStore;
class Dialogs;
class Modem;

// What the parts of the terminal share: its controls, its modem, the outside world, and
// the flags one part sets and another reads.
struct TerminalContext {
    ControlStore& store;
    Modem& modem;
    const Clock& clock;
    Dialogs& dialogs;
    // Keys (true) or releases the remote transmitter; nothing happens while the link is down.
    std::function<void(bool)> keyTransmitter;

    bool terminalActive = false; // received characters are shown
    bool txOffPressed = false;   // "TXOFF" was pressed: macros and files stop
    bool closing = false;        // the window is going: what is under way ends, nothing new starts
    QString soundLost;           // why the modem cannot send now (no sound card); empty when it can
    std::function<void()> closeDirectory = {};   // the file window, when it is open
    std::function<void(int)> tuneReceiveCarrier = {}; // channel 0's, box and modem together
};

// Without a sound card the modem sends nothing: keying the station then would put a silent
// carrier on the air for as long as the operator goes on typing. Nothing keys until the card is
// back, and the status line says why.
inline bool soundLetsSend(TerminalContext& context) {
    if (context.soundLost.isEmpty())
        return true;
    context.store.setText(TermCtl::soundStatus,
                          QStringLiteral("Sound card gone (%1): nothing is sent and the transmitter "
                                         "is not keyed until it is back")
                              .arg(context.soundLost));
    return false;
}
