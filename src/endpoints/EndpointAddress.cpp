#include "EndpointAddress.h"

#include <QHostInfo>
#include <QNetworkInterface>

namespace {

struct HostAndPort {
    QString host, port;
};

// "127.0.0.1:6789", "6789", "[::1]:6789", "::1", "localhost:6789", "localhost".
HostAndPort split(const QString& text) {
    if (text.startsWith(u'[')) { // an IPv6 address with a port
        const qsizetype close = text.indexOf(u']');
        if (close < 0)
            return {text, {}};
        const QString rest = text.mid(close + 1);
        return {text.mid(1, close - 1), rest.startsWith(u':') ? rest.mid(1) : rest};
    }
    if (text.count(u':') > 1) // an IPv6 address alone
        return {text, {}};
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon >= 0)
        return {text.left(colon), text.mid(colon + 1)};
    bool number = false;
    text.toUInt(&number);
    return number ? HostAndPort{{}, text} : HostAndPort{text, {}};
}

// A name is taken only when it is this computer's own (looked up without the network: a
// name server that does not answer must not freeze the window).
bool resolveOwnName(const QString& name, QHostAddress* address) {
    if (name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
        name.compare(QLatin1String("ip6-localhost"), Qt::CaseInsensitive) == 0) {
        *address = name.startsWith(u'i') ? QHostAddress(QHostAddress::LocalHostIPv6)
                                         : QHostAddress(QHostAddress::LocalHost);
        return true;
    }
    if (name.compare(QHostInfo::localHostName(), Qt::CaseInsensitive) != 0)
        return false;
    const QList<QHostAddress> own = QNetworkInterface::allAddresses();
    for (const QHostAddress& found : QHostInfo::fromName(name).addresses())
        if (found.isLoopback() || own.contains(found)) {
            *address = found;
            return true;
        }
    return false;
}

} // namespace

EndpointAddress EndpointAddress::parse(const QString& text, quint16 defaultPort) {
    EndpointAddress where;
    where.port = defaultPort;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return where;
    const HostAndPort parts = split(trimmed);
    if (!parts.port.isEmpty()) {
        bool ok = false;
        const uint number = parts.port.toUInt(&ok);
        if (!ok || number == 0 || number > 65535) {
            where.error = QStringLiteral("\"%1\" is no port number (1 to 65535)").arg(parts.port);
            return where;
        }
        where.port = quint16(number);
    }
    if (!parts.host.isEmpty() && !where.address.setAddress(parts.host) &&
        !resolveOwnName(parts.host, &where.address))
        where.error = QStringLiteral("\"%1\" is no address of this computer (such as 127.0.0.1, ::1 "
                                     "or localhost)")
                          .arg(parts.host);
    return where;
}

QString EndpointAddress::text() const {
    const QString host = address.toString();
    return address.protocol() == QAbstractSocket::IPv6Protocol ? QStringLiteral("[%1]:%2").arg(host).arg(port)
                                                               : QStringLiteral("%1:%2").arg(host).arg(port);
}

bool EndpointAddress::everyNetwork() const {
    return address == QHostAddress(QHostAddress::AnyIPv4) || address == QHostAddress(QHostAddress::AnyIPv6) ||
           address == QHostAddress(QHostAddress::Any);
}
