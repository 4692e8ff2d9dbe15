#include "ChatAllowList.h"

#include <QFile>

QHostAddress ChatAllowList::plain(const QHostAddress& address) {
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4) : address;
}

void ChatAllowList::load(const QString& path) {
    networks_.clear();
    QFile file(path);
    active_ = file.open(QIODevice::ReadOnly);
    while (active_ && !file.atEnd() && networks_.size() < kMaxEntries) {
        const QString line = QString::fromLatin1(file.readLine(256)).section(u'#', 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        if (line.contains(u'/')) {
            const auto subnet = QHostAddress::parseSubnet(line);
            if (!subnet.first.isNull())
                networks_.append(subnet);
        } else if (const QHostAddress host(line); !host.isNull()) {
            networks_.append({host, host.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128});
        }
    }
}

bool ChatAllowList::allows(const QHostAddress& peer) const {
    if (!active_)
        return true;
    const QHostAddress address = plain(peer);
    for (const auto& network : networks_)
        if (address.isInSubnet(network))
            return true;
    return false;
}
