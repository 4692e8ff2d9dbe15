#include "ClusterSession.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
constexpr unsigned char kIac = 255, kSb = 250, kSe = 240, kWill = 251, kDont = 254;
} // namespace

QByteArray ClusterSession::greeting() const {
    return QStringLiteral("ZarnikControl's skimmer, node %1: spots of the stations this station hears.\r\n"
                          "login: ")
        .arg(node_)
        .toLatin1();
}

QByteArray ClusterSession::prompt() const { return QStringLiteral("%1 de %2 >\r\n").arg(call_, node_).toLatin1(); }

QByteArray ClusterSession::feed(const QByteArray& bytes, const QStringList& recentSpots) {
    QByteArray answers;
    for (const char raw : bytes) {
        const auto c = static_cast<unsigned char>(raw);
        if (telnet_ != Telnet::None || c == kIac) {
            takeTelnet(raw);
            continue;
        }
        if (c == '\r' || c == '\n') {
            const bool secondOfPair = c == '\n' && afterCr_;
            afterCr_ = c == '\r';
            if (secondOfPair)
                continue;
            const QString line = QString::fromLatin1(line_).trimmed();
            line_.clear();
            lineCut_ = false;
            answers += runLine(line, recentSpots);
            if (close_)
                break;
            continue;
        }
        afterCr_ = false;
        if (c < 0x20 || c >= 0x7F)
            continue;
        if (line_.size() >= kMaxLine)
            lineCut_ = true;
        else
            line_ += raw;
    }
    return answers;
}

// IAC and what follows: a two-byte command, a three-byte option (WILL, WONT, DO, DONT), or a
// subnegotiation up to IAC SE.
void ClusterSession::takeTelnet(char raw) {
    const auto c = static_cast<unsigned char>(raw);
    switch (telnet_) {
    case Telnet::None: telnet_ = Telnet::Command; break; // the IAC
    case Telnet::Command:
        telnet_ = c == kSb ? Telnet::Sub : c >= kWill && c <= kDont ? Telnet::Option : Telnet::None;
        break;
    case Telnet::Option: telnet_ = Telnet::None; break;
    case Telnet::Sub: telnet_ = c == kIac ? Telnet::SubIac : Telnet::Sub; break;
    case Telnet::SubIac: telnet_ = c == kSe ? Telnet::None : Telnet::Sub; break;
    }
}

QByteArray ClusterSession::runLine(const QString& line, const QStringList& recentSpots) {
    if (line.isEmpty())
        return loggedIn() ? QByteArray() : QByteArrayLiteral("login: ");
    if (!loggedIn()) {
        static const QRegularExpression kCall(QStringLiteral("^[A-Za-z0-9/-]+$"));
        const QString call = line.section(u' ', 0, 0).left(kMaxCall).toUpper();
        if (!kCall.match(call).hasMatch())
            return QByteArrayLiteral("Please give your call.\r\nlogin: ");
        call_ = call;
        return QStringLiteral("Hello %1, this is %2. Spots follow as they come; sh/dx lists the last %3, "
                              "bye ends.\r\n")
                   .arg(call_, node_)
                   .arg(kListed)
                   .toLatin1() +
               prompt();
    }
    const QString command = line.toLower().simplified();
    if (command == u"bye" || command == u"quit" || command == u"exit") {
        close_ = true;
        return QStringLiteral("73 de %1\r\n").arg(node_).toLatin1();
    }
    if (command.startsWith(u"sh/dx") || command.startsWith(u"show/dx")) {
        QByteArray out;
        for (const QString& spot : recentSpots.mid(std::max<qsizetype>(0, recentSpots.size() - kListed)))
            out += spot.toLatin1() + "\r\n";
        if (recentSpots.isEmpty())
            out += "No spots yet.\r\n";
        return out + prompt();
    }
    return QStringLiteral("This node knows sh/dx and bye.\r\n").toLatin1() + prompt();
}
