#pragma once

#include "platform/serial/CommPort.h"

#include <QObject>

class BackendProvider;

// Keys the transmitter through a serial port's RTS and DTR lines while the modem transmits.
//
//  - keysTransmitter (MMVARIOUTPUT): the lines key the transmitter; off, the port is held open
//    but left unkeyed.
//  - invertedLines (MMVARIINV): keyed is low, receiving is high (for interfaces that key on a
//    low line).
//  - rtsAloneKeys (MMVARIEXC): RTS alone keys; DTR stays raised, to power the keying interface.
class PttPort final : public QObject {
    Q_OBJECT
public:
    explicit PttPort(BackendProvider& ports, QObject* parent = nullptr);

    // Opens the named port ("COM3", "/dev/ttyUSB0"); an empty name closes it.
    bool setPortName(const QString& name);
    QString portName() const { return name_; }
    bool isOpen() const { return port_.isOpen(); }

    bool keysTransmitter = true;
    bool invertedLines = false;
    bool rtsAloneKeys = false;

    void setKeyed(bool keyed);
    bool isKeyed() const { return keyed_; }

private:
    void applyLines();

    CommPort port_;
    QString name_;
    bool keyed_ = false;
};
