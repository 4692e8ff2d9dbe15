#include "PttPort.h"

PttPort::PttPort(BackendProvider& ports, QObject* parent)
    : QObject(parent), port_(ports, PortRole::Keyer) {}

bool PttPort::setPortName(const QString& name) {
    port_.close();
    name_ = name;
    if (name.isEmpty())
        return true;
    port_.setPortName(name);
    port_.setBaudRate(9600);
    if (!port_.open())
        return false;
    applyLines();
    return true;
}

void PttPort::setKeyed(bool keyed) {
    keyed_ = keyed;
    applyLines();
}

void PttPort::applyLines() {
    if (!port_.isOpen())
        return;
    const bool active = keysTransmitter && keyed_;
    const bool level = invertedLines ? !active : active;
    port_.setRts(level);
    port_.setDtr(rtsAloneKeys ? true : level);
}
