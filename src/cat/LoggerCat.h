#pragma once

#include "common/BridgeAction.h"
#include "EchoQueue.h"
#include "platform/serial/CommEvent.h"

#include <QObject>
#include <functional>

class Clock;
class CommPort;
class LoggerPort;
class ControlStore;
class Dialogs;
class MonitorBoxes;
class PausingWait;
class ServerLine;
class StationPicture;

// The transceiver the logger talks to on the radio port: follows the port's events and
// lines, takes the logger's bytes in as a real rig does, runs the command pass and
// carries out what it asks for.
class LoggerCat final : public QObject, private ActionTarget {
    Q_OBJECT
public:
    // How long the rest of an unfinished command is waited for at most.
    static constexpr double kIntakePauseSeconds = 0.010;
    // The pause after a frequency set has gone to the station, before the echo; polls that
    // come meanwhile are answered.
    static constexpr double kFrequencySetPauseSeconds = 0.5;

    struct Context {
        CommPort& port; // MSComm1: the logger's commands come from it
        const LoggerPort& logger; // and everything for the logger goes through this
        StationPicture& picture;
        ServerLine& server;
        MonitorBoxes& monitors;
        ControlStore& store; // the line indicators
        const PausingWait& wait;
        Dialogs& dialogs;
        std::function<void()> initPorts;
        const Clock& clock; // when a set's echo is due
        // The keyer behind the radio port's KY and KS (the program's one CW path).
        struct Keyer {
            std::function<void(const QString&)> sendText;
            std::function<void(int)> setSpeed;
            std::function<int()> speed;
            std::function<void()> abort;
        } keyer;
    };

    explicit LoggerCat(Context context, QObject* parent = nullptr);

    void onCommEvent(CommEvent event);
    // One command pass over what the logger has sent.
    void readFromLogger();

    const QString& catBuffer() const { return catBuffer_; }
    bool isBusy() const { return catBusy_; }

private:
    void noteKeying(const QString& serverLine);
    void releaseWhatTheLoggerKeyed();
    QString takeIntake();
    bool awaitsItsRest(const QString& taken) const;
    static bool inKeyerText(const QString& taken);
    bool outOfStep(const QString& intake) const;
    QString newestCommand(const QString& intake);
    bool perform(const BridgeActions& actions) { return performActions(actions, *this); }
    // What the command pass asks for.
    void replyToLogger(const QString& text) override;
    void refuseSet(const QString& why) override;
    void pauseAfterFrequencySet() override { echoNextReplyLater_ = true; } // the echo that follows waits
    void sendToServer(const QString& line) override;
    void copyFromLogger(const QString& text) override;
    void copySent(const QString& text) override;
    void clearFromLogger() override;
    void keyCw(const QString& text) override { ctx_.keyer.sendText(text); }
    void setCwSpeed(int wordsPerMinute) override { ctx_.keyer.setSpeed(wordsPerMinute); }
    void abortCw() override { ctx_.keyer.abort(); }
    void fail(const QString& message) override;
    void pauseBeforeEcho(const QString& echo);
    void reply(const QString& text);
    void lineDropped();
    void light(const QString& indicator, bool lit);
    void unlightAll();

    Context ctx_;
    QString catBuffer_;
    bool catBusy_ = false;
    bool loggerKeyed_ = false; // the logger's TX; holds the transmitter
    bool echoNextReplyLater_ = false;
    EchoQueue echoes_;
};
