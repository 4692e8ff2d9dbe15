#pragma once

class QAbstractSocket;

// Asks the kernel to notice a dead peer on its own: keep-alive probes on an idle connection,
// and a connection whose sent bytes stay unacknowledged too long is dropped (TCP_USER_TIMEOUT)
// instead of being retried for a quarter of an hour.
namespace TcpKeepAlive {
constexpr int kIdleSeconds = 10;
constexpr int kProbeIntervalSeconds = 5;
constexpr int kProbes = 3;
constexpr int kUserTimeoutMs = 15000;

// False when the socket has no descriptor or the system refused an option.
bool apply(QAbstractSocket& socket);
} // namespace TcpKeepAlive
