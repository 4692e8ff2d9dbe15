#include "Endpoints.h"
#include "station/StationLines.h"

#include "common/ControlStore.h"
#include "common/Controls.h"
#include "endpoints/EndpointAddress.h"
#include "endpoints/EndpointSettings.h"
#include "endpoints/RigctlRig.h"
#include "platform/Clock.h"
#include "keyer/CwStation.h"
#include "station/ServerLine.h"

#include <cmath>

Endpoints::Endpoints(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)),
      cwDaemon_({.clock = ctx_.clock,
                 .sendText = [this](const QString& text) { return ctx_.cw.sendText(text); },
                 .setSpeed = [this](int wpm) { ctx_.cw.setSpeed(wpm); },
                 .speed = [this] { return ctx_.cw.speed(); },
                 .allSentAt = [this] { return ctx_.cw.allSentAt(); },
                 .abort = [this] { ctx_.cw.abort(); },
                 .key = [this](bool on) { ctx_.server.send(StationLines::keying(on)); }},
                this),
      rigctl_(ctx_.rig, this), spots_(QString(), this),
      cwDaemonDoor_{.name = QStringLiteral("cwdaemon"),
                    .transport = QStringLiteral("UDP"),
                    .onBox = Ctl::cwDaemonCheck,
                    .addressBox = Ctl::cwDaemonAddressBox,
                    .stateLine = Ctl::cwDaemonState,
                    .defaultPort = CwDaemonEndpoint::kDefaultPort,
                    .listen = [this](const QHostAddress& a, quint16 p,
                                     QString* why) { return cwDaemon_.listen(a, p, why); },
                    .close = [this] { cwDaemon_.close(); },
                    .isListening = [this] { return cwDaemon_.isListening(); }},
      rigctlDoor_{.name = QStringLiteral("Hamlib rigctl"),
                  .transport = QStringLiteral("TCP"),
                  .onBox = Ctl::rigctlCheck,
                  .addressBox = Ctl::rigctlAddressBox,
                  .stateLine = Ctl::rigctlState,
                  .defaultPort = RigctlEndpoint::kDefaultPort,
                  .listen = [this](const QHostAddress& a, quint16 p,
                                   QString* why) { return rigctl_.listen(a, p, why); },
                  .close = [this] { rigctl_.close(); },
                  .isListening = [this] { return rigctl_.isListening(); }},
      spotsDoor_{.name = QStringLiteral("Spots"),
                 .transport = QStringLiteral("TCP"),
                 .onBox = Ctl::spotsCheck,
                 .addressBox = Ctl::spotsAddressBox,
                 .stateLine = Ctl::spotsState,
                 .defaultPort = SpotsEndpoint::kDefaultPort,
                 .listen = [this](const QHostAddress& a, quint16 p, QString* why) {
                     spots_.setNodeCall(spotter());
                     return spots_.listen(a, p, why);
                 },
                 .close = [this] { spots_.close(); },
                 .isListening = [this] { return spots_.isListening(); }} {
    connect(&rigctl_, &RigctlEndpoint::keyedClientLeft, this, [this] {
        ctx_.store.setText(
            Ctl::rigctlState,
            QStringLiteral(
                "%1 listening on TCP %2; a client left with the transmitter keyed: key-up sent")
                .arg(rigctlDoor_.name, rigctlDoor_.listeningOn));
    });
    connect(&ctx_.store, &ControlStore::changed, this, [this](const QString& name, ControlStore::Aspect aspect) {
        if (aspect != ControlStore::Aspect::Value)
            return;
        if (name == Ctl::cwDaemonCheck)
            applyDoor(cwDaemonDoor_);
        else if (name == Ctl::rigctlCheck)
            applyDoor(rigctlDoor_);
        else if (name == Ctl::spotsCheck)
            applyDoor(spotsDoor_);
        else if (name == Ctl::cwHoldBackCheck)
            applyHoldBack();
    });
}

void Endpoints::takeOverride(const std::optional<QString>& given, bool savedOn, const QString& savedAddress,
                             const Door& door) {
    ctx_.store.setText(door.addressBox, given && !given->isEmpty() ? *given : savedAddress);
    ctx_.store.setValue(door.onBox, savedOn || given ? 1 : 0);
}

void Endpoints::start(const Overrides& overrides) {
    const EndpointSettings saved = EndpointSettings::read(ctx_.settingsPath);
    takeOverride(overrides.cwDaemon, saved.cwDaemonOn, saved.cwDaemonAddress, cwDaemonDoor_);
    takeOverride(overrides.rigctl, saved.rigctlOn, saved.rigctlAddress, rigctlDoor_);
    takeOverride(overrides.spots, saved.spotsOn, saved.spotsAddress, spotsDoor_);
    ctx_.store.setText(Ctl::cwLeadBox,
                       overrides.cwLead ? QString::number(*overrides.cwLead) : saved.cwLeadSeconds);
    ctx_.store.setValue(Ctl::cwHoldBackCheck, saved.cwHoldBack || overrides.cwLead ? 1 : 0);
    apply();
}

void Endpoints::apply() {
    applyDoor(cwDaemonDoor_);
    applyDoor(rigctlDoor_);
    applyDoor(spotsDoor_);
    applyHoldBack();
}

void Endpoints::applyHoldBack() {
    const double lead = ctx_.store.text(Ctl::cwLeadBox).toDouble();
    ctx_.cw.setHoldBack(ctx_.store.isTicked(Ctl::cwHoldBackCheck),
                        lead > 0 ? lead : CwStation::kDefaultLeadSeconds);
}

void Endpoints::applyDoor(Door& door) {
    const bool wasWanted = wantsSpots();
    applyDoorNow(door);
    if (wantsSpots() != wasWanted)
        emit spotsWantedChanged(wantsSpots());
}

void Endpoints::applyDoorNow(Door& door) {
    const bool on = ctx_.store.isTicked(door.onBox);
    const EndpointAddress where = EndpointAddress::parse(ctx_.store.text(door.addressBox), door.defaultPort);
    if (on && where.error.isEmpty() && door.listeningOn == where.text() && door.isListening())
        return; // already there
    door.close();
    door.listeningOn.clear();
    QString state = door.name + QStringLiteral(" off");
    if (on && !where.error.isEmpty()) {
        state = door.name + QStringLiteral(" not listening: ") + where.error;
    } else if (on) {
        QString why;
        if (door.listen(where.address, where.port, &why)) {
            door.listeningOn = where.text();
            state = QStringLiteral("%1 listening on %2 %3").arg(door.name, door.transport, where.text());
            if (where.everyNetwork()) { // no password: whoever reaches this computer may key
                state += QStringLiteral(" — on every network: anyone who can reach this computer "
                                        "may key the transmitter");
                ctx_.tell(state);
            }
        } else {
            state = door.name + QStringLiteral(" not listening: ") + why;
        }
    }
    ctx_.store.setText(door.stateLine, state);
}

bool Endpoints::save(QString* why) const {
    EndpointSettings settings;
    settings.cwDaemonOn = ctx_.store.isTicked(Ctl::cwDaemonCheck);
    settings.cwDaemonAddress = ctx_.store.text(Ctl::cwDaemonAddressBox).trimmed();
    settings.rigctlOn = ctx_.store.isTicked(Ctl::rigctlCheck);
    settings.rigctlAddress = ctx_.store.text(Ctl::rigctlAddressBox).trimmed();
    settings.spotsOn = ctx_.store.isTicked(Ctl::spotsCheck);
    settings.spotsAddress = ctx_.store.text(Ctl::spotsAddressBox).trimmed();
    settings.cwHoldBack = ctx_.store.isTicked(Ctl::cwHoldBackCheck);
    settings.cwLeadSeconds = ctx_.store.text(Ctl::cwLeadBox).trimmed();
    return settings.write(ctx_.settingsPath, why);
}

// Skimmers sign their spots with the operator's call and "-#".
QString Endpoints::spotter() const {
    const QString call = ctx_.login.callsign.trimmed().toUpper();
    return (call.isEmpty() ? QStringLiteral("ZARNIK") : call) + QStringLiteral("-#");
}

void Endpoints::spot(const QString& call, double toneHz, double snrDb, bool calledCq, const QString& mode,
                     int wpm) {
    if (!spots_.isListening())
        return;
    Spot spot;
    spot.spotter = spotter();
    spots_.setNodeCall(spot.spotter); // the login callsign may have been typed since
    spot.call = call;
    spot.rfHz = SpotLines::rfFrequencyHz(double(ctx_.rig.frequencyHz()), ctx_.rig.modeDigit(), toneHz,
                                         ctx_.cwPitchHz ? ctx_.cwPitchHz() : 0.0);
    spot.mode = mode;
    spot.snrDb = int(std::lround(snrDb));
    spot.wpm = wpm;
    spot.calledCq = calledCq;
    spot.utc = ctx_.clock.now().toUTC();
    if (spotBook_.admit(spot))
        spots_.publish(SpotLines::line(spot));
}
