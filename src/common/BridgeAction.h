#pragma once

#include <QList>
#include <QString>

// One thing a pass over outside input (the logger's commands on the radio port, the station's
// reports from the server) asks the program to do, in the order it asks. The passes decide;
// their owners carry the actions out, through one interpreter.
struct BridgeAction {
    enum Kind {
        // the logger on the radio port
        ReplyToLogger,          // write the text to the logger
        RefuseSet,              // a set the station cannot carry: the rig's "?;", the reason told
        PauseAfterFrequencySet, // let the station settle before the echo that follows
        WriteLogger,            // a record for the logger, while it is online
        // the station server
        SendToServer,           // one server line, while connected
        SendLogin,              // a login answer, sent without looking at the connection
        LoginAccepted,          // the server said "Login OK"
        // the monitors
        CopyFromLogger,         // the logger's bytes to their monitor
        CopyFromServer,         // the server's chunk to its monitor, as it came
        CopySent,               // what went to the logger or the server
        ClearFromLogger,        // empty the logger's monitor
        ClearGuardNotice,       // the guard's "Sending Key Up Signal" leaves the send monitor
        // the keyer
        KeyCw,                  // the text goes out as CW (KY)
        SetCwSpeed,             // words per minute as digits (KS)
        AbortCw,                // drop the CW not yet handed on (KY0;)
        // the rest of the window
        ShowGuardLight,         // the transmit guard's light on ("1") or off ("0")
        LogWithTime,            // a line for the log file: text, then the time and the date
        AppendChat,             // the station's chat line for the chat window
        Fail,                   // the pass ends here with "error " + text; its input is kept
    };
    Kind kind;
    QString text;

    bool operator==(const BridgeAction&) const = default;
};

using BridgeActions = QList<BridgeAction>;

// Who carries the actions out: a method per kind. A pass only asks for what its side does, so
// each side overrides its own; the rest do nothing.
class ActionTarget {
public:
    virtual ~ActionTarget() = default;
    virtual void replyToLogger(const QString&) {}
    virtual void refuseSet(const QString&) {}
    virtual void pauseAfterFrequencySet() {}
    virtual void writeLogger(const QString&) {}
    virtual void sendToServer(const QString&) {}
    virtual void sendLogin(const QString&) {}
    virtual void loginAccepted() {}
    virtual void copyFromLogger(const QString&) {}
    virtual void copyFromServer(const QString&) {}
    virtual void copySent(const QString&) {}
    virtual void clearFromLogger() {}
    virtual void clearGuardNotice() {}
    virtual void keyCw(const QString&) {}
    virtual void setCwSpeed(int) {}
    virtual void abortCw() {}
    virtual void showGuardLight(bool) {}
    virtual void logWithTime(const QString&) {}
    virtual void appendChat(const QString&) {}
    virtual void fail(const QString& message) = 0; // "error " and the pass's words
};

// Carries the actions out in order; stops at a Fail and returns false.
bool performActions(const BridgeActions& actions, ActionTarget& target);
