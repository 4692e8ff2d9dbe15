#include "TcpKeepAlive.h"

#include <QAbstractSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace TcpKeepAlive {

bool apply(QAbstractSocket& socket) {
    const auto fd = static_cast<int>(socket.socketDescriptor());
    if (fd < 0)
        return false;
    auto set = [fd](int level, int option, int value) {
        return ::setsockopt(fd, level, option, &value, sizeof value) == 0;
    };
    bool ok = set(SOL_SOCKET, SO_KEEPALIVE, 1);
    ok = set(IPPROTO_TCP, TCP_KEEPIDLE, kIdleSeconds) && ok;
    ok = set(IPPROTO_TCP, TCP_KEEPINTVL, kProbeIntervalSeconds) && ok;
    ok = set(IPPROTO_TCP, TCP_KEEPCNT, kProbes) && ok;
    ok = set(IPPROTO_TCP, TCP_USER_TIMEOUT, kUserTimeoutMs) && ok;
    return ok;
}

} // namespace TcpKeepAlive
