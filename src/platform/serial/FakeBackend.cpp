#include "FakeBackend.h"

bool FakeBackend::open(int baudRate) {
    if (refuseOpen)
        return false;
    baud = baudRate;
    ++openCount;
    open_ = true;
    return true;
}

qint64 FakeBackend::write(const QByteArray& bytes) {
    if (!open_)
        return 0;
    written.append(bytes);
    return bytes.size();
}

void FakeBackend::setLines(const ModemLines& lines) {
    lines_ = lines;
    emit linesChanged();
}

FakeBackendProvider::~FakeBackendProvider() { qDeleteAll(ports_); }

SerialBackend* FakeBackendProvider::backendFor(const QString& portName, PortRole, QString* why) {
    requested << portName;
    if (portName.isEmpty()) {
        if (why)
            *why = QStringLiteral("no port chosen");
        return nullptr;
    }
    return port(portName);
}

FakeBackend* FakeBackendProvider::port(const QString& name) {
    FakeBackend*& slot = ports_[name];
    if (!slot)
        slot = new FakeBackend;
    return slot;
}

QString FakeBackendProvider::loggerPath(const QString& portName, PortRole, QString* why) {
    if (portName.isEmpty()) {
        if (why)
            *why = QStringLiteral("no port chosen");
        return {};
    }
    return QStringLiteral("fake:") + portName;
}
