#include "UnattendedStation.h"
#include "station/StationLines.h"

#include "AppCore.h"
#include "common/Controls.h"
#include "link/StationLink.h"
#include "link/Watchdogs.h"
#include "platform/Clock.h"

#include <cstdio>

UnattendedStation::UnattendedStation(AppCore& core, const Clock& clock)
    : core_(core), clock_(clock),
      retry_({[&core] { return core.linkState().linkUp; },
              [&core] { return core.stationLink().status(); },
              [&core] { core.stationLink().connectAtStartup(); },
              [this](const QString& text) { log(text); },
              [&core] { return core.stationLink().isConnecting(); }}) {
    timer_.setInterval(1000);
    connect(&timer_, &QTimer::timeout, this, [this] { retry_.secondTick(); });
    connect(&core_, &AppCore::unloadOtherWindows, this, &UnattendedStation::sendKeyUpAtTheEnd);
}

void UnattendedStation::start() {
    for (const QString& box : {Ctl::guardCheck, Ctl::inactivityCheck, Ctl::chatServerCheck})
        core_.controls().setValue(box, 1);
    const Watchdogs& watchdogs = core_.watchdogs();
    const std::optional<int> chatPort = core_.stationAddress().chatPort;
    log(QStringLiteral(
            "Unattended: transmit guard %1 s, inactivity shutdown %2 s, chat server on port %3")
            .arg(watchdogs.guardLimit())
            .arg(watchdogs.idleLimit())
            .arg(chatPort ? QString::number(*chatPort) : QStringLiteral("(none)")));
    core_.firstActivation(); // no one activates a window here: the chat server starts now
    // The first connect, then the retries: none is planned while the first is on its way.
    QTimer::singleShot(0, this, [this] {
        core_.connectAtStartup();
        timer_.start();
    });
}

void UnattendedStation::log(const QString& text) {
    const QString stamp = clock_.now().toString(QStringLiteral("hh:mm:ss dd.MM.yyyy"));
    core_.log().writeLine(stamp + QStringLiteral(" ") + text);
    std::fprintf(stderr, "zarnikcontrol: %s\n", qPrintable(text));
    std::fflush(stderr);
}

void UnattendedStation::sendKeyUpAtTheEnd() {
    timer_.stop();
    if (core_.serverSocket().state() == QAbstractSocket::ConnectedState) {
        core_.serverLine().send(StationLines::keyUp());
        log(QStringLiteral("Ending: key-up sent to the station"));
    } else {
        log(QStringLiteral("Ending"));
    }
}
