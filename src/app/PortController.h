#pragma once

#include "platform/serial/CommPort.h"

#include <QObject>
#include <functional>

class ControlStore;
class Dialogs;
class BackendProvider;

// Opens and closes the two ports the logger talks to: the radio port (CAT, 19200 baud) and
// the keyer port (WinKeyer, 1200 baud), and keeps the port controls of the main window in
// step: the lists, the "port open" light and the line indicators.
class PortController final : public QObject {
    Q_OBJECT
public:
    static constexpr int kRadioBaud = 19200;
    static constexpr int kKeyerBaud = 1200;
    static constexpr int kOutBufferSize = 2400;
    static inline const QString kKeyerFailure =
        QStringLiteral("Unable to open Winkeyer port . Possible Conflict.");
    static inline const QString kRadioFailure =
        QStringLiteral("Unable to open Soft1 port . Possible Conflict.");
    static inline const QString kAnotherInstanceQuestion =
        QStringLiteral("There might be a instance of the program already running, Continue anyway");

    struct Context {
        ControlStore& store;
        Dialogs& dialogs;
        BackendProvider& provider;
        const QString& commandLine;
        // Ends the process at once, with no shut-down sequence.
        std::function<void()> endProcessAtOnce;
    };

    explicit PortController(Context context, QObject* parent = nullptr);

    CommPort& radioPort() { return radio_; } // MSComm1
    CommPort& keyerPort() { return keyer_; } // MSComm2

    // (Re)opens the keyer port (unless "None") and the radio port, then waits a second.
    void initPorts();
    // Closes both ports and frees the lists.
    void stopPorts();
    // Shows under each list where the chosen port is found.
    void refreshPortLocations();

private:
    bool openKeyer();
    bool openRadio();
    static void setUp(CommPort& port, const QString& name, int baud);
    void reportFailure(const QString& message, const CommPort& port, const QString& pathLabel);
    void showRadioLines();
    void showLocation(const QString& label, const QString& portName, PortRole role);

    Context ctx_;
    CommPort radio_;
    CommPort keyer_;
};
