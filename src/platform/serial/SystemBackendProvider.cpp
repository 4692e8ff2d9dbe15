#include "SystemBackendProvider.h"

#include "DeviceBackend.h"
#include "PortNames.h"
#include "PtyBackend.h"

SystemBackendProvider::SystemBackendProvider(QString portFolder) : folder_(std::move(portFolder)) {}

SystemBackendProvider::~SystemBackendProvider() {
    qDeleteAll(virtualPorts_);
    qDeleteAll(devices_);
}

PtyBackend* SystemBackendProvider::virtualPort(PortRole role, QString* why) {
    PtyBackend*& pair = virtualPorts_[role];
    if (!pair)
        pair = new PtyBackend(folder_, role == PortRole::Radio ? QStringLiteral("radio")
                                                               : QStringLiteral("keyer"));
    if (!pair->create()) {
        if (why)
            *why = pair->errorString();
        return nullptr;
    }
    return pair;
}

SerialBackend* SystemBackendProvider::backendFor(const QString& portName, PortRole role,
                                                 QString* why) {
    if (portName == PortNames::kVirtual) {
        QString reason;
        PtyBackend* pair = virtualPort(role, &reason);
        if (!pair && why)
            *why = reason;
        return pair;
    }
    const QString path = devicePath(portName);
    if (path.isEmpty()) {
        if (why)
            *why = QStringLiteral("\"%1\" is not a serial port name").arg(portName);
        return nullptr;
    }
    // One device object per role: opening one device for both ports fails as a busy port.
    DeviceBackend*& device = devices_[QString::number(int(role)) + path];
    if (!device)
        device = new DeviceBackend(path);
    return device;
}

QString SystemBackendProvider::devicePath(const QString& portName) const {
    if (const int number = PortNames::comNumber(portName); number > 0)
        return PortNames::devicePathForCom(number, folder_);
    if (portName.startsWith(u'/'))
        return portName;
    return {};
}

QString SystemBackendProvider::loggerPath(const QString& portName, PortRole role, QString* why) {
    if (portName == PortNames::kVirtual) {
        PtyBackend* pair = virtualPort(role, why);
        return pair ? pair->linkPath() : QString();
    }
    // For a real device the logger sits at the far end of a cable (or of a null-modem
    // pair set up outside this program); we can only name our own end.
    const QString path = devicePath(portName);
    if (path.isEmpty() && why)
        *why = QStringLiteral("no port chosen");
    return path;
}
