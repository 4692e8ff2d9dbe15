#pragma once

#include "endpoints/CwDaemonEndpoint.h"

#include <QObject>
#include <QString>
#include <optional>

class Clock;
class ControlStore;
class CwStation;
class ServerLine;

// The network doors for Linux loggers, switched by the operator in the main window (the box,
// the address, and a line that says what listens or why it cannot), kept in Endpoints.ini
// beside the settings file, and given on the command line.
class Endpoints final : public QObject {
    Q_OBJECT
public:
    struct Context {
        ControlStore& store;
        CwStation& cw;
        ServerLine& server;
        const Clock& clock;
        QString settingsPath; // Endpoints.ini
    };

    explicit Endpoints(Context context, QObject* parent = nullptr);

    // What the command line says (each overrides the saved setting).
    struct Overrides {
        std::optional<QString> cwDaemon; // "" is the saved address
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

private:
    void applyCwDaemon();
    void applyHoldBack();

    Context ctx_;
    CwDaemonEndpoint cwDaemon_;
    QString cwDaemonListening_; // where it listens now, empty when it does not
};
