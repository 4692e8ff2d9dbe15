#include "EndpointAddress.h"

EndpointAddress EndpointAddress::parse(const QString& text, quint16 defaultPort) {
    EndpointAddress where;
    where.port = defaultPort;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return where;
    const qsizetype colon = trimmed.lastIndexOf(u':');
    const bool portOnly = colon < 0 && !trimmed.contains(u'.');
    const QString host = portOnly ? QString() : colon < 0 ? trimmed : trimmed.left(colon);
    const QString port = portOnly ? trimmed : colon < 0 ? QString() : trimmed.mid(colon + 1);
    if (!port.isEmpty()) {
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number == 0 || number > 65535) {
            where.error = QStringLiteral("\"%1\" is no port number (1 to 65535)").arg(port);
            return where;
        }
        where.port = quint16(number);
    }
    if (!host.isEmpty() && !where.address.setAddress(host))
        where.error = QStringLiteral("\"%1\" is no address of this computer (such as 127.0.0.1)").arg(host);
    return where;
}
