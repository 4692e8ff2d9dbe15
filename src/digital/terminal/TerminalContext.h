#pragma once

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
    // Sends one line to the station server; dropped without a word while the link is down.
    std::function<void(const QString&)> sendToStation;

    bool terminalActive = false; // received characters are shown
    bool txOffPressed = false;   // "TXOFF" was pressed: macros and files stop
    bool stopSearch = false;     // a click on the display ends the carrier search
    bool closing = false;        // the window is going: every wait ends, nothing new starts
    int runningHandlers = 0;     // handlers that wait with events going on
    std::function<void()> closeDirectory;   // the file window, when it is open
    std::function<void()> handlersFinished; // the last running handler has left after closing

    void keyTransmitter(bool on) {
        sendToStation(on ? QStringLiteral("A0:MX1;") : QStringLiteral("A0:MX0;"));
    }
};

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
