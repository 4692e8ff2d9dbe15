#pragma once

#include <QString>
#include <optional>

// Where the station server is, as the operator typed it: its host, the station link's port
// and the chat's port (the chat server, when this station is one, listens on that port too).
// A port box left empty is no port: there is nothing to connect to.
struct StationAddress {
    QString host; // trimmed
    std::optional<int> port;
    std::optional<int> chatPort;
};
