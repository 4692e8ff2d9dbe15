#include "DeviceBackend.h"

DeviceBackend::DeviceBackend(const QString& devicePath, QObject* parent) : SerialBackend(parent) {
    port_.setPortName(devicePath);
    linePoll_.setInterval(kLinePollMs);
    connect(&linePoll_, &QTimer::timeout, this, &DeviceBackend::pollLines);
    connect(&port_, &QSerialPort::readyRead, this, [this] { emit dataArrived(port_.readAll()); });
    connect(&port_, &QSerialPort::errorOccurred, this, &DeviceBackend::onError);
}

bool DeviceBackend::open(int baudRate) {
    if (port_.isOpen())
        port_.close();
    port_.setBaudRate(baudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = QStringLiteral("%1: %2").arg(port_.portName(), port_.errorString());
        return false;
    }
    lines_ = readLines();
    linePoll_.start();
    return true;
}

void DeviceBackend::close() {
    linePoll_.stop();
    if (port_.isOpen())
        port_.close();
    lines_ = {};
}

ModemLines DeviceBackend::readLines() {
    const QSerialPort::PinoutSignals pins = port_.pinoutSignals();
    return ModemLines{pins.testFlag(QSerialPort::DataCarrierDetectSignal),
                      pins.testFlag(QSerialPort::ClearToSendSignal),
                      pins.testFlag(QSerialPort::DataSetReadySignal),
                      pins.testFlag(QSerialPort::RingIndicatorSignal)};
}

void DeviceBackend::pollLines() {
    if (!port_.isOpen())
        return;
    const ModemLines now = readLines();
    if (now == lines_)
        return;
    lines_ = now;
    emit linesChanged();
}

void DeviceBackend::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ResourceError)
        return;
    // The device went away (a USB adapter pulled out): its lines are gone too.
    close();
    emit linesChanged();
}
