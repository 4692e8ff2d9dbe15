#pragma once

#include "BackendProvider.h"

#include <QMap>
#include <QString>

class PtyBackend;
class DeviceBackend;

// The ports of the real machine: "Virtual" is the program's own null-modem for the role
// (link "radio" or "keyer" in the port folder), "COMn" a device by the COMn rule, and a
// path a device by its path.
class SystemBackendProvider final : public BackendProvider {
public:
    explicit SystemBackendProvider(QString portFolder);
    ~SystemBackendProvider() override;

    SerialBackend* backendFor(const QString& portName, PortRole role, QString* why) override;
    QString loggerPath(const QString& portName, PortRole role, QString* why) override;

    // The virtual pair of the role, made on first use so that the logger can open its end
    // before the ports are started. nullptr (with `why`) when it cannot be made.
    PtyBackend* virtualPort(PortRole role, QString* why = nullptr);
    QString portFolder() const { return folder_; }

private:
    QString devicePath(const QString& portName) const;

    QString folder_;
    QMap<PortRole, PtyBackend*> virtualPorts_;
    QMap<QString, DeviceBackend*> devices_;
};
