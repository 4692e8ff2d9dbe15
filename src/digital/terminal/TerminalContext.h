#pragma once

#include "TerminalControls.h"
#include "common/ControlStore.h"

#include <QString>
#include <functional>

class Clock;
class ControlStore;
class Dialogs;
class Modem;
class PausingWait;

// What the parts of the terminal share: its controls, its modem, the outside world, and
// the flags one part sets and another reads.
struct TerminalContext {
    ControlStore& store;
    Modem& modem;
    const Clock& clock;
    const PausingWait& wait;
    Dialogs& dialogs;
    // Keys (true) or releases the remote transmitter; nothing happens while the link is down.
    std::function<void(bool)> keyTransmitter;

    bool terminalActive = false; // received characters are shown
    bool txOffPressed = false;   // "TXOFF" was pressed: macros and files stop
    bool stopSearch = false;     // a click on the display ends the carrier search
    bool closing = false;        // the window is going: every wait ends, nothing new starts
    QString soundLost;           // why the modem cannot send now (no sound card); empty when it can
    int runningHandlers = 0;     // handlers that wait with events going on
    std::function<void()> closeDirectory = {};   // the file window, when it is open
    std::function<void()> handlersFinished = {}; // the last running handler has left after closing
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

// Marks a handler that waits with events going on, so that the window is not destroyed
// under it; a closing window is destroyed when the last of them has left.
class RunningHandler {
  public:
    explicit RunningHandler(TerminalContext& context) : context_(context) {
        ++context_.runningHandlers;
    }
    ~RunningHandler() {
        if (--context_.runningHandlers == 0 && context_.closing && context_.handlersFinished)
            context_.handlersFinished();
    }
    RunningHandler(const RunningHandler&) = delete;
    RunningHandler& operator=(const RunningHandler&) = delete;

  private:
    TerminalContext& context_;
};
