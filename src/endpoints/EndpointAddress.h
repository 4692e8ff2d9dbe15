#pragma once

#include <QHostAddress>
#include <QString>

// Where an endpoint listens, as the operator types it: "127.0.0.1:6789", "6789" (on this
// computer only), "[::1]:6789", "localhost:6789", or "0.0.0.0:6789" (every network: the
// protocols have no password).
struct EndpointAddress {
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 0;
    QString error; // in words, when the text is no address

    static EndpointAddress parse(const QString& text, quint16 defaultPort);
    QString text() const;
    // Listening on every interface: anyone who reaches this computer may key the transmitter.
    bool everyNetwork() const;
};
