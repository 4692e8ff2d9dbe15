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
        SetCwSpeed,             // words per minute, in the number (KS)
        AbortCw,                // drop the CW not yet handed on (KY0;)
        // the rest of the window
        ShowGuardLight,         // the transmit guard's light on (number 1) or off (0)
        LogWithTime,            // a line for the log file: text, then the time and the date
        AppendChat,             // the station's chat line for the chat window
        Fail,                   // the pass ends here with "error " + text; its input is kept
    };
    Kind kind;
    QString text;
    int number = 0; // for the kinds that carry one

    static const char* kindName(Kind kind); // "ReplyToLogger"

    bool operator==(const BridgeAction&) const = default;
};

using BridgeActions = QList<BridgeAction>;

// Who carries the actions out: a method per kind. A pass only asks for what its side does, so
// each side overrides its own, and one that leaves a kind alone on purpose says so with an
// empty override. A kind that reaches a side that forgot it is dropped with a warning, which
// fails the tests (see tests/support/ActionWarnings.h): never in silence.
class ActionTarget {
public:
    virtual ~ActionTarget() = default;
    virtual void replyToLogger(const QString&) { forgotten(BridgeAction::ReplyToLogger); }
    virtual void refuseSet(const QString&) { forgotten(BridgeAction::RefuseSet); }
    virtual void pauseAfterFrequencySet() { forgotten(BridgeAction::PauseAfterFrequencySet); }
    virtual void writeLogger(const QString&) { forgotten(BridgeAction::WriteLogger); }
    virtual void sendToServer(const QString&) { forgotten(BridgeAction::SendToServer); }
    virtual void sendLogin(const QString&) { forgotten(BridgeAction::SendLogin); }
    virtual void loginAccepted() { forgotten(BridgeAction::LoginAccepted); }
    virtual void copyFromLogger(const QString&) { forgotten(BridgeAction::CopyFromLogger); }
    virtual void copyFromServer(const QString&) { forgotten(BridgeAction::CopyFromServer); }
    virtual void copySent(const QString&) { forgotten(BridgeAction::CopySent); }
    virtual void clearFromLogger() { forgotten(BridgeAction::ClearFromLogger); }
    virtual void clearGuardNotice() { forgotten(BridgeAction::ClearGuardNotice); }
    virtual void keyCw(const QString&) { forgotten(BridgeAction::KeyCw); }
    virtual void setCwSpeed(int) { forgotten(BridgeAction::SetCwSpeed); }
    virtual void abortCw() { forgotten(BridgeAction::AbortCw); }
    virtual void showGuardLight(bool) { forgotten(BridgeAction::ShowGuardLight); }
    virtual void logWithTime(const QString&) { forgotten(BridgeAction::LogWithTime); }
    virtual void appendChat(const QString&) { forgotten(BridgeAction::AppendChat); }
    virtual void fail(const QString& message) = 0; // "error " and the pass's words

    static constexpr const char* kForgottenWarning = "is carried out by no one here";

private:
    static void forgotten(BridgeAction::Kind kind);
};

// Carries the actions out in order; stops at a Fail and returns false.
bool performActions(const BridgeActions& actions, ActionTarget& target);
