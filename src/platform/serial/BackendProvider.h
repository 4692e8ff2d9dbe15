#pragma once

#include <QString>

class SerialBackend;

// Which of the two ports a backend is for; the virtual null-modem has one pair per role.
enum class PortRole { Radio, Keyer };

// Finds the backend for a port name from the port lists ("COM3", "Virtual", "/dev/ttyUSB0").
// The provider owns what it returns; the same name gives the same backend again.
class BackendProvider {
public:
    virtual ~BackendProvider() = default;
    // nullptr when the name cannot name a port; `why` then says so.
    virtual SerialBackend* backendFor(const QString& portName, PortRole role, QString* why) = 0;
    // The path the logger opens to reach this port; empty (with `why`) when there is none.
    virtual QString loggerPath(const QString& portName, PortRole role, QString* why) = 0;
};
