#pragma once

// A TCP port on 127.0.0.1 that nothing listens on: free again once the probe is gone.
#include <QTcpServer>

inline quint16 freeLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}
