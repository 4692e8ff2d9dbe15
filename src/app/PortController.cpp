#include "PortController.h"

#include "common/ControlStore.h"
#include "common/Controls.h"
#include "MainControls.h"
#include "platform/Dialogs.h"
#include "platform/serial/PortNames.h"

PortController::PortController(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)), radio_(ctx_.provider, PortRole::Radio),
      keyer_(ctx_.provider, PortRole::Keyer) {}

void PortController::setUp(CommPort& port, const QString& name, int baud) {
    port.close();
    port.setPortName(name);
    port.setBaudRate(baud);
    port.setOutBufferSize(kOutBufferSize);
    // The radio's commands are text; the keyer's admin commands begin with a null.
    port.setDiscardNull(baud == kRadioBaud);
}

void PortController::initPorts() {
    if (ctx_.store.text(Ctl::keyerPortChoice) != PortNames::kNone && !openKeyer())
        return;
    openRadio();
}

bool PortController::openKeyer() {
    setUp(keyer_, ctx_.store.text(Ctl::keyerPortChoice), kKeyerBaud);
    if (!keyer_.open()) {
        reportFailure(kKeyerFailure, keyer_, Ctl::keyerPortPath);
        return false;
    }
    keyer_.setRts(true);
    keyer_.setDtr(true);
    ctx_.store.setEnabled(Ctl::keyerPortChoice, false);
    showLocation(Ctl::keyerPortPath, keyer_.portName(), PortRole::Keyer);
    return true;
}

bool PortController::openRadio() {
    setUp(radio_, ctx_.store.text(Ctl::radioPortChoice), kRadioBaud);
    if (!radio_.open()) {
        reportFailure(kRadioFailure, radio_, Ctl::radioPortPath);
        return false;
    }
    radio_.setRts(true);
    radio_.setDtr(true);
    ctx_.store.setEnabled(Ctl::radioPortChoice, false);
    ctx_.store.setVisible(Ctl::portOpenLight, true);
    showRadioLines();
    showLocation(Ctl::radioPortPath, radio_.portName(), PortRole::Radio);
    return true;
}

void PortController::showRadioLines() {
    ctx_.store.setColour(Ctl::rtsLight, radio_.rts() ? Colours::kGreen : Colours::kRed);
    ctx_.store.setColour(Ctl::dtrLight, radio_.dtr() ? Colours::kGreen : Colours::kRed);
}

void PortController::reportFailure(const QString& message, const CommPort& port,
                                   const QString& pathLabel) {
    // The fixed message says what failed; the label under the list says why.
    const QString why = port.errorString().isEmpty() ? QStringLiteral("no port chosen")
                                                     : port.errorString();
    ctx_.store.setText(pathLabel, QStringLiteral("Not open: ") + why);
    ctx_.dialogs.showMessage(message + QStringLiteral(" (") + why + u')');
    if (ctx_.commandLine == QStringLiteral("SERVER") &&
        !ctx_.dialogs.askYesNo(kAnotherInstanceQuestion))
        ctx_.endProcessAtOnce();
}

void PortController::stopPorts() {
    radio_.close();
    keyer_.close();
    ctx_.store.setEnabled(Ctl::radioPortChoice, true);
    ctx_.store.setEnabled(Ctl::keyerPortChoice, true);
    ctx_.store.setVisible(Ctl::portOpenLight, false);
    for (const QString& light : radioLineIndicators())
        ctx_.store.setColour(light, Colours::kLedOff);
    refreshPortLocations();
}

void PortController::refreshPortLocations() {
    showLocation(Ctl::radioPortPath, ctx_.store.text(Ctl::radioPortChoice), PortRole::Radio);
    const QString keyerName = ctx_.store.text(Ctl::keyerPortChoice);
    if (keyerName == PortNames::kNone)
        ctx_.store.setText(Ctl::keyerPortPath, QStringLiteral("No keyer port"));
    else
        showLocation(Ctl::keyerPortPath, keyerName, PortRole::Keyer);
}

void PortController::showLocation(const QString& label, const QString& portName, PortRole role) {
    if (portName.isEmpty()) {
        ctx_.store.setText(label, QStringLiteral("Choose a port"));
        return;
    }
    QString why;
    const QString path = ctx_.provider.loggerPath(portName, role, &why);
    if (path.isEmpty())
        ctx_.store.setText(label, QStringLiteral("Not available: ") + why);
    else if (portName == PortNames::kVirtual)
        ctx_.store.setText(label, QStringLiteral("Logger opens ") + path);
    else
        ctx_.store.setText(label, QStringLiteral("Device ") + path);
}
