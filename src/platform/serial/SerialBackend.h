#pragma once

#include "CommEvent.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// What is behind a serial port: a real device, one end of the program's own virtual
// null-modem, or a test fake. Always 8 data bits, no parity, one stop bit.
class SerialBackend : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual bool open(int baudRate) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Why the last open failed, in words for the operator.
    virtual QString errorString() const = 0;

    // Queues bytes for sending; returns how many were taken.
    virtual qint64 write(const QByteArray& bytes) = 0;
    // Bytes written but not yet sent.
    virtual qint64 bytesToWrite() const = 0;

    virtual void setDtr(bool raised) = 0;
    virtual void setRts(bool raised) = 0;
    virtual ModemLines lines() const = 0;

    // Where the logger finds this port (a device path or the virtual port's link).
    virtual QString location() const = 0;

signals:
    void dataArrived(const QByteArray& bytes);
    void linesChanged();
    void errorEvent(CommEvent event);
};
