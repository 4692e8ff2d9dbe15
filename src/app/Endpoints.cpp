#include "Endpoints.h"

#include "common/ControlStore.h"
#include "common/Controls.h"
#include "endpoints/EndpointAddress.h"
#include "endpoints/EndpointSettings.h"
#include "keyer/CwStation.h"
#include "station/ServerLine.h"

Endpoints::Endpoints(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)),
      cwDaemon_({ctx_.clock, [this](const QString& text) { return ctx_.cw.sendText(text); },
                 [this](int wpm) { ctx_.cw.setSpeed(wpm); }, [this] { return ctx_.cw.speed(); },
                 [this] { return ctx_.cw.airEndsAt(); },
                 [this] { ctx_.cw.abort(); },
                 [this](bool on) { ctx_.server.send(on ? QStringLiteral("A0:MX1;") : QStringLiteral("A0:MX0;")); }},
                this) {
    connect(&ctx_.store, &ControlStore::changed, this, [this](const QString& name, ControlStore::Aspect aspect) {
        if (name == Ctl::CwDaemonOn && aspect == ControlStore::Aspect::Value)
            applyCwDaemon();
        if (name == Ctl::CwHoldBack && aspect == ControlStore::Aspect::Value)
            applyHoldBack();
    });
}

void Endpoints::start(const Overrides& overrides) {
    const EndpointSettings saved = EndpointSettings::read(ctx_.settingsPath);
    ctx_.store.setText(Ctl::CwDaemonAddress, saved.cwDaemonAddress);
    bool on = saved.cwDaemonOn;
    if (overrides.cwDaemon) {
        on = true;
        if (!overrides.cwDaemon->isEmpty())
            ctx_.store.setText(Ctl::CwDaemonAddress, *overrides.cwDaemon);
    }
    ctx_.store.setValue(Ctl::CwDaemonOn, on ? 1 : 0);
    ctx_.store.setText(Ctl::CwLead, overrides.cwLead ? QString::number(*overrides.cwLead) : saved.cwLeadSeconds);
    ctx_.store.setValue(Ctl::CwHoldBack, saved.cwHoldBack || overrides.cwLead ? 1 : 0);
    apply();
}

void Endpoints::apply() {
    applyCwDaemon();
    applyHoldBack();
}

void Endpoints::applyHoldBack() {
    const double lead = ctx_.store.text(Ctl::CwLead).toDouble();
    ctx_.cw.setHoldBack(ctx_.store.isTicked(Ctl::CwHoldBack), lead > 0 ? lead : CwStation::kDefaultLeadSeconds);
}

void Endpoints::applyCwDaemon() {
    const bool on = ctx_.store.isTicked(Ctl::CwDaemonOn);
    const EndpointAddress where =
        EndpointAddress::parse(ctx_.store.text(Ctl::CwDaemonAddress), CwDaemonEndpoint::kDefaultPort);
    if (on && where.error.isEmpty() && cwDaemonListening_ == where.text() && cwDaemon_.isListening())
        return; // already there
    cwDaemon_.close();
    cwDaemonListening_.clear();
    QString state = QStringLiteral("cwdaemon off");
    if (on && !where.error.isEmpty()) {
        state = QStringLiteral("cwdaemon not listening: ") + where.error;
    } else if (on) {
        QString why;
        if (cwDaemon_.listen(where.address, where.port, &why)) {
            cwDaemonListening_ = where.text();
            state = QStringLiteral("cwdaemon listening on UDP %1").arg(where.text());
        } else {
            state = QStringLiteral("cwdaemon not listening: ") + why;
        }
    }
    ctx_.store.setText(Ctl::CwDaemonState, state);
}

bool Endpoints::save(QString* why) const {
    EndpointSettings settings;
    settings.cwDaemonOn = ctx_.store.isTicked(Ctl::CwDaemonOn);
    settings.cwDaemonAddress = ctx_.store.text(Ctl::CwDaemonAddress).trimmed();
    settings.cwHoldBack = ctx_.store.isTicked(Ctl::CwHoldBack);
    settings.cwLeadSeconds = ctx_.store.text(Ctl::CwLead).trimmed();
    return settings.write(ctx_.settingsPath, why);
}
