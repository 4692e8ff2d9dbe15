#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// One client of the local DX-cluster node, the way loggers talk to a cluster over telnet: the
// node greets and asks for a call, takes any call, and from then on the client gets each new
// spot line; "sh/dx" lists the last ones, "bye" ends, anything else gets a line saying what the
// node knows. Bytes in, answers out; no socket inside. Telnet's option negotiation is
// dropped; a line longer than kMaxLine is cut there.
class ClusterSession {
public:
    static constexpr qsizetype kMaxLine = 256;
    static constexpr qsizetype kMaxCall = 16;
    static constexpr int kListed = 30; // spots "sh/dx" lists

    explicit ClusterSession(QString nodeCall) : node_(std::move(nodeCall)) {}

    QByteArray greeting() const;
    // What the client sent, with the spots "sh/dx" would list (newest last); returns the answers.
    QByteArray feed(const QByteArray& bytes, const QStringList& recentSpots);
    bool loggedIn() const { return !call_.isEmpty(); }
    bool wantsClose() const { return close_; }

private:
    QByteArray runLine(const QString& line, const QStringList& recentSpots);
    QByteArray prompt() const;
    void takeTelnet(char byte);

    QString node_;
    QString call_;
    QByteArray line_;
    bool lineCut_ = false; // the line ran past kMaxLine: the rest of it is dropped
    // Where in a telnet command the bytes are (they are dropped until it ends).
    enum class Telnet { None, Command, Option, Sub, SubIac } telnet_ = Telnet::None;
    bool afterCr_ = false;
    bool close_ = false;
};
