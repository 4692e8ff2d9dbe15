#pragma once

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>

// Who may connect to the chat server: ChatAllow.txt beside the settings file, one address or
// network a line ("192.168.1.20", "10.0.0.0/8", "2001:db8::/32"), "#" starting a comment.
// Without the file everyone may connect, as the chat protocol has always been.
class ChatAllowList {
public:
    inline static const QString kFileName = QStringLiteral("ChatAllow.txt");
    static constexpr int kMaxEntries = 10'000;

    // Reads the file; without it the list lets everyone in.
    void load(const QString& path);
    bool isActive() const { return active_; }
    int size() const { return int(networks_.size()); }
    bool allows(const QHostAddress& peer) const;
    // A connection to a server listening on every address reports an IPv4 peer as
    // ::ffff:a.b.c.d; this gives it back as a.b.c.d.
    static QHostAddress plain(const QHostAddress& address);

private:
    bool active_ = false;
    QList<QPair<QHostAddress, int>> networks_;
};
