#pragma once

#include <QString>

class CommPort;
class StationPicture;

// The one way text reaches the logger on the radio port (answers, echoes, the station's
// reports): only while the port is open and the logger is online. Before the logger has
// spoken, or once it has gone, nothing is written for it to find later.
class LoggerPort {
public:
    LoggerPort(CommPort& port, const StationPicture& picture) : port_(port), picture_(picture) {}

    void write(const QString& text) const;

private:
    CommPort& port_;
    const StationPicture& picture_;
};
