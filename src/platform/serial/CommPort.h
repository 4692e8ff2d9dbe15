#pragma once

#include "BackendProvider.h"
#include "CommEvent.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <utility>

class SerialBackend;

// One serial port as the program's handlers use it: a port name, line settings, open and
// close, a bounded receive buffer read one byte at a time, a bounded output buffer, the
// DTR/RTS outputs and the CD/CTS/DSR inputs, and an event for each change.
//
// The receive buffer never grows past its size: what does not fit is dropped and reported
// once as RxOverflow. A write that does not fit into the output buffer is dropped and
// reported as TxFull. With null discard on, 0x00 bytes are dropped on receipt.
class CommPort final : public QObject {
    Q_OBJECT
public:
    static constexpr int kInBufferSize = 4096;

    CommPort(BackendProvider& provider, PortRole role, QObject* parent = nullptr);
    ~CommPort() override;

    void setPortName(const QString& name) { portName_ = name; }
    QString portName() const { return portName_; }
    void setBaudRate(int baud) { baudRate_ = baud; }
    void setOutBufferSize(int bytes) { outBufferSize_ = bytes; }
    void setDiscardNull(bool discard) { discardNull_ = discard; }

    // Opens the named port; false with errorString() set when it cannot be opened.
    bool open();
    void close();
    bool isOpen() const;
    QString errorString() const { return error_; }
    // Where the logger finds the open port.
    QString location() const;

    int inBufferCount() const { return static_cast<int>(input_.size()); }
    // Empties the receive buffer; returns how many bytes it held.
    int discardInput();
    // How many bytes did not fit into the receive buffer since the last call.
    int takeDroppedCount() { return std::exchange(dropped_, 0); }
    // Reads one byte (the ports are set up with a read length of one); empty when none.
    QByteArray readOne();
    void write(const QByteArray& bytes);
    int outBufferCount() const;

    void setDtr(bool raised);
    void setRts(bool raised);
    bool dtr() const { return dtr_; }
    bool rts() const { return rts_; }
    bool cd() const { return lines_.cd; }
    bool cts() const { return lines_.cts; }
    bool dsr() const { return lines_.dsr; }

signals:
    void commEvent(CommEvent event);

private:
    void onDataArrived(const QByteArray& bytes);
    void onLinesChanged();
    void onBackendError(CommEvent event);
    void detachBackend();

    BackendProvider& provider_;
    PortRole role_;
    QPointer<SerialBackend> backend_;
    QString portName_;
    QString error_;
    int baudRate_ = 9600;
    int outBufferSize_ = 512;
    bool discardNull_ = false;
    bool dtr_ = false;
    bool rts_ = false;
    bool overflowReported_ = false;
    int dropped_ = 0;
    // Counts opens and closes, so that a batch of line events stops once a handler reopens.
    quint64 session_ = 0;
    ModemLines lines_;
    QByteArray input_;
};
