#pragma once

#include "link/LinkRetry.h"

#include <QObject>
#include <QTimer>

class AppCore;
class Clock;

// The instance at the station that no one watches (--unattended): the transmit guard, the
// inactivity shutdown and the chat server are on; a station link that is down is tried
// again; what it does goes to the log and standard error (the journal, under the service);
// and its end sends the key-up while the link is up, so that no transmitter is left keyed.
class UnattendedStation final : public QObject {
    Q_OBJECT
public:
    UnattendedStation(AppCore& core, const Clock& clock);

    // After start-up has read the settings: switches the station's watchdogs and chat server
    // on, and connects (main() leaves the first connect to this).
    void start();
    // A line for the log and standard error.
    void log(const QString& text);
    LinkRetry& retry() { return retry_; }

private:
    void sendKeyUpAtTheEnd();

    AppCore& core_;
    const Clock& clock_;
    LinkRetry retry_;
    QTimer timer_;
};
