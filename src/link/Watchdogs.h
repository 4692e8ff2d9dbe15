#pragma once

#include <QObject>

class Clock;
class ControlStore;
class ServerLine;
class StationPicture;
struct LinkState;

// The safety watchdogs of the station link and the periodic sender.
//
// Every second: the receive light goes out; with "Non Activity Time" ticked, a station that
// shows no activity for longer than the set time is keyed off and switched off (the key-up,
// then a power-off at each of the next two ticks, so one second apart); with "Enable
// Guard" ticked, a transmitter reported keyed for longer than the guard time gets a key-up.
// Every 100 ms: the frequency command the logger side left queued goes to the station.
class Watchdogs final : public QObject {
    Q_OBJECT
public:
    static constexpr int kSecondTickMs = 1000;
    static constexpr int kSenderTickMs = 100;
    static constexpr double kDefaultLimitSeconds = 180.0;

    struct Context {
        ServerLine& server;
        LinkState& link;
        StationPicture& picture;
        ControlStore& store;
        const Clock& clock; // the guard and the inactivity count on its monotonic seconds
    };

    explicit Watchdogs(Context context, QObject* parent = nullptr);

    void secondTick();
    void senderTick();

    // Mouse down on the check boxes: the count starts again.
    void activeBoxPressed();
    void guardBoxPressed();
    // The limits in seconds, as the operator typed them (compared as numbers, so a huge one
    // simply never comes).
    void setIdleLimit(double seconds) { idleLimit_ = seconds; }
    void setGuardLimit(double seconds) { guardLimit_ = seconds; }
    double idleLimit() const { return idleLimit_; }
    double guardLimit() const { return guardLimit_; }
    // The check boxes' tool tips, with the current limits.
    QString activeToolTip() const;
    QString guardToolTip() const;

private:
    void watchInactivity();
    void startShutdown();
    void continueShutdown();
    void watchTransmitter();

    Context ctx_;
    double idleLimit_ = kDefaultLimitSeconds;
    double guardLimit_ = kDefaultLimitSeconds;
    int powerOffsLeft_ = 0; // of a shutdown going on
};
