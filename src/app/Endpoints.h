#pragma once

#include "common/Login.h"

#include "endpoints/CwDaemonEndpoint.h"
#include "endpoints/RigctlEndpoint.h"
#include "endpoints/SpotsEndpoint.h"
#include "digital/skimmer/Spot.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class Clock;
class ControlStore;
class CwStation;
class RigctlRig;
class ServerLine;

// The network doors for Linux loggers, switched by the operator in the main window (the box,
// the address, and a line that says what listens or why it cannot), kept in Endpoints.ini
// beside the settings file, and given on the command line.
class Endpoints final : public QObject {
    Q_OBJECT
public:
    struct Context {
        ControlStore& store;
        const Login& login; // the spotter's callsign
        CwStation& cw;
        ServerLine& server;
        const Clock& clock;
        RigctlRig& rig; // the station as the Hamlib endpoint sees it
        std::function<double()> cwPitchHz; // the side tone's: a CW station's tone offset
        QString settingsPath; // Endpoints.ini
        std::function<void(const QString&)> tell = [](const QString&) {}; // the monitor and the log
    };

    explicit Endpoints(Context context, QObject* parent = nullptr);

    // What the command line says (each overrides the saved setting).
    struct Overrides {
        std::optional<QString> cwDaemon; // "" is the saved address
        std::optional<QString> rigctl;   // the same
        std::optional<QString> spots;    // the same
        std::optional<double> cwLead;    // holds CW back this many seconds ahead
    };

    // The saved settings into the controls, then the command line's, and the endpoints that
    // are on start listening.
    void start(const Overrides& overrides = {});
    // The boxes and addresses as they stand now (a box ticked, an address left).
    void apply();
    bool save(QString* why) const;
    void tick() { cwDaemon_.tick(); }
    CwDaemonEndpoint& cwDaemon() { return cwDaemon_; }
    RigctlEndpoint& rigctl() { return rigctl_; }
    SpotsEndpoint& spots() { return spots_; }
    bool wantsSpots() const { return spots_.isListening(); }
    // A station the skimmer heard: its call, the tone it is on in the receiver's audio, its
    // S/N, whether it called CQ, the mode as spots name it and its CW speed (0: none). Spotted
    // on the air's frequency from the rig's dial and mode, once a call and band in ten minutes.
    void spot(const QString& call, double toneHz, double snrDb, bool calledCq, const QString& mode, int wpm = 0);

signals:
    // The spots endpoint started or stopped listening.
    void spotsWantedChanged(bool wanted);

private:
    // One door: its box, address and state line, and how it listens.
    struct Door {
        QString name;      // as the state line says it
        QString transport; // "UDP" or "TCP"
        QString onBox, addressBox, stateLine;
        quint16 defaultPort;
        std::function<bool(const QHostAddress&, quint16, QString*)> listen;
        std::function<void()> close;
        std::function<bool()> isListening;
        QString listeningOn = {}; // empty when it does not listen
    };
    void applyDoor(Door& door);
    void applyDoorNow(Door& door);
    QString spotter() const;
    void applyHoldBack();
    void takeOverride(const std::optional<QString>& given, bool savedOn, const QString& savedAddress,
                      const Door& door);

    Context ctx_;
    CwDaemonEndpoint cwDaemon_;
    RigctlEndpoint rigctl_;
    SpotsEndpoint spots_;
    SpotBook spotBook_;
    Door cwDaemonDoor_, rigctlDoor_, spotsDoor_;
};
