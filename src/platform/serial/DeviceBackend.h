#pragma once

#include "SerialBackend.h"

#include <QSerialPort>
#include <QTimer>

// A real serial device through QSerialPort. The input lines have no change notification
// there, so they are polled while the port is open.
class DeviceBackend final : public SerialBackend {
    Q_OBJECT
public:
    static constexpr int kLinePollMs = 50;

    explicit DeviceBackend(const QString& devicePath, QObject* parent = nullptr);

    bool open(int baudRate) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    QString errorString() const override { return error_; }
    qint64 write(const QByteArray& bytes) override { return port_.write(bytes); }
    qint64 bytesToWrite() const override { return port_.bytesToWrite(); }
    void setDtr(bool raised) override { port_.setDataTerminalReady(raised); }
    void setRts(bool raised) override { port_.setRequestToSend(raised); }
    ModemLines lines() const override { return lines_; }
    QString location() const override { return port_.portName(); }

private:
    ModemLines readLines();
    void pollLines();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QTimer linePoll_;
    ModemLines lines_;
    QString error_;
};
