#pragma once

#include <QString>

class PausingWait;
class QTcpSocket;

// The way both the station link and the chat connect: drop any old connection, let things
// settle, start the connection (unless told not to), and wait a while for it, handling
// events meanwhile.
struct TimedConnect {
    bool connected = false;
    QString errorText;       // the network's own words, empty when it raised nothing
    bool wrongState = false; // the socket refused the operation in its state

    static constexpr double kSettleSeconds = 2.0;
    static constexpr double kConnectSeconds = 10.0;

    static TimedConnect run(QTcpSocket& socket, const PausingWait& wait, bool start,
                            const QString& host, int port);
};
