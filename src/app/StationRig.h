#pragma once

#include "common/BridgeAction.h"
#include "endpoints/RigctlRig.h"

#include <QString>

class CatCommandPass;

class LoggerPort;
class CwStation;
class MonitorBoxes;
class ServerLine;
class StationPicture;

// The station as the Hamlib network endpoint sees it: read from the one station picture, and
// set through the radio port's command pass, whose typed sets (`setFrequency`, `setMode`,
// `key`) make what the logger's own "FA…;", "MD…;", "TX;" and "RX;" make: the key-up before a
// frequency change, the station lines, the queued set and the picture are the same; the set's
// echo goes to a logger on the radio port.
class StationRig final : public RigctlRig, private ActionTarget {
public:
    struct Context {
        StationPicture& picture;
        ServerLine& server;
        MonitorBoxes& monitors;
        const LoggerPort& logger;
        CwStation& cw;
    };

    explicit StationRig(Context context) : ctx_(context) {}

    qint64 frequencyHz() const override;
    bool setFrequencyHz(qint64 hz) override;
    qint64 highestFrequencyHz() const override;
    int modeDigit() const override;
    void setModeDigit(int digit) override;
    bool transmitting() const override;
    void setTransmitting(bool on) override;
    void sendMorse(const QString& text) override;
    void stopMorse() override;
    int keySpeed() const override;
    void setKeySpeed(int wordsPerMinute) override;

private:
    // What the command pass asks for when it carries a client's set.
    void sendToServer(const QString& line) override;
    void copySent(const QString& text) override;
    void replyToLogger(const QString& echo) override;
    void refuseSet(const QString& why) override;
    void fail(const QString&) override {} // the commands made here are the pass's own
    // The echo to a logger on the radio port goes at once: a pause would hold back the answer
    // to the client, which comes after it.
    void pauseAfterFrequencySet() override {}

    CatCommandPass pass() const;

    Context ctx_;
    bool refused_ = false; // the last set could not be carried to the station
};
