#pragma once

#include "BackendProvider.h"
#include "SerialBackend.h"

#include <QMap>
#include <QStringList>

// An in-memory port for tests: records what is written, lets a test feed bytes, change the
// input lines, refuse to open, hold output back and raise error events.
class FakeBackend final : public SerialBackend {
    Q_OBJECT
public:
    using SerialBackend::SerialBackend;

    bool open(int baudRate) override;
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    QString errorString() const override { return QStringLiteral("fake port refused to open"); }
    qint64 write(const QByteArray& bytes) override;
    qint64 bytesToWrite() const override { return heldOutput; }
    void setDtr(bool raised) override { dtr = raised; }
    void setRts(bool raised) override { rts = raised; }
    ModemLines lines() const override { return lines_; }
    QString location() const override { return QStringLiteral("fake"); }

    void feed(const QByteArray& bytes) { emit dataArrived(bytes); }
    void setLines(const ModemLines& lines);
    void raise(CommEvent event) { emit errorEvent(event); }

    bool refuseOpen = false;
    int openCount = 0;
    int baud = 0;
    bool dtr = false;
    bool rts = false;
    qint64 heldOutput = 0; // what bytesToWrite() reports
    QByteArray written;

private:
    bool open_ = false;
    ModemLines lines_;
};

// Gives a FakeBackend for every name but the empty one, the same one for the same name.
class FakeBackendProvider final : public BackendProvider {
public:
    ~FakeBackendProvider() override;
    SerialBackend* backendFor(const QString& portName, PortRole role, QString* why) override;
    QString loggerPath(const QString& portName, PortRole role, QString* why) override;
    FakeBackend* port(const QString& name);
    QStringList requested;

private:
    QMap<QString, FakeBackend*> ports_;
};
