#include "UnreadBytes.h"

#include <QAbstractSocket>

#include <sys/ioctl.h>

qint64 UnreadBytes::of(const QAbstractSocket& socket) {
    qint64 waiting = socket.bytesAvailable();
    int queued = 0;
    if (const qintptr fd = socket.socketDescriptor(); fd >= 0 && ::ioctl(int(fd), FIONREAD, &queued) == 0)
        waiting += queued;
    return waiting;
}
