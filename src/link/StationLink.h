#pragma once

#include <QObject>
#include <QTimer>

#include "platform/net/TimedConnect.h"
#include <functional>

class ControlStore;
class Dialogs;
class MonitorBoxes;
class Clock;
struct StationAddress;
class QTcpSocket;
class ServerLine;
class TransmitterHold;
struct LinkState;

// The connection to the station server: connect and disconnect from the Connect menu, the
// two lights and the menu caption, the lost link, the server closing, and the login state.
class StationLink final : public QObject {
    Q_OBJECT
public:
    // How long a disconnect waits for its last lines to be written before it drops the link.
    static constexpr int kCloseMs = 10000;

    struct Context {
        QTcpSocket& socket; // the station server link
        ServerLine& server;
        LinkState& link;
        ControlStore& store;
        MonitorBoxes& monitors;
        const Clock& clock; // the connect's settling and its time limit
        const StationAddress& address;
        Dialogs& dialogs;
        const QString& commandLine;
        std::function<void()> endProcessAtOnce;
        std::function<void()> initPorts;
        TransmitterHold& hold; // what this program owes the station's transmitter
    };

    explicit StationLink(Context context, QObject* parent = nullptr);

    // The Connect menu command: connects, or disconnects when the caption says so.
    void connectClicked();
    // At start-up: connects when there is an address to connect to.
    void connectAtStartup();
    // A connect is on its way (it settles, then waits for the station's answer).
    bool isConnecting() const { return connect_.isRunning(); }
    TimedConnect& connectAttempt() { return connect_; }
    // The key-up owed goes first; the link then closes once it is written (or after kCloseMs).
    void disconnectLink();
    // The receive handler found the socket gone.
    void linkLost();
    // The link went dead without closing, or the login never came: closed as if the station
    // had closed it, with `why` in the status line and the server monitor.
    void linkDead(const QString& why);
    // The server said "Login OK".
    void loginAccepted();
    // The status line's words ("connected", "link lost: …"), without its "Status:" label.
    const QString& status() const { return status_; }
    // The "Login OK" label clicked: the login flag toggled by hand.
    void toggleLogin();
    // The callsign box lost the focus.
    void callsignLeft();

private:
    void connectLink();
    void connectFinished(const TimedConnect::Outcome& outcome);
    void onServerClosed();
    void finishDisconnect();
    void closedByTheStation(const QString& why);
    void showIdle(const QString& caption);
    void showStatus(const QString& words);
    void reportConnectFailure(const QString& socketError, bool wrongState);

    Context ctx_;
    QString status_;
    bool closingOurselves_ = false;
    QTimer closeTimer_; // a disconnect whose last lines are still being written
    TimedConnect connect_;
};
