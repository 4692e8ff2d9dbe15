#include "LoggerPort.h"

#include "platform/serial/CommPort.h"
#include "station/StationPicture.h"

void LoggerPort::write(const QString& text) const {
    if (port_.isOpen() && picture_.loggerOnline)
        port_.write(text.toLatin1());
}
