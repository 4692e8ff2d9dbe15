#include "SimServer.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTcpSocket>

#include <sys/socket.h>

namespace {
const QString kCallPrompt = QStringLiteral("MG:Welcome to corvel-sim. Enter your CALL;");
const QString kPasswordPrompt = QStringLiteral("MG:Enter Pass word;");
const QString kLoginOk = QStringLiteral("MG:Login OK;");
const QString kLoginRefused =
    QStringLiteral("MG:Login refused - unknown callsign or wrong password;");
} // namespace

SimServer::SimServer(QObject* parent) : QObject(parent) {
    connect(&server_, &QTcpServer::newConnection, this, &SimServer::onNewConnection);
}

bool SimServer::listen(const QHostAddress& address, quint16 port) {
    return server_.listen(address, port);
}

void SimServer::addUser(const QString& callsign, const QString& password) {
    users_.insert(callsign.toUpper(), password);
}

bool SimServer::openLog(const QString& path) {
    log_.setFileName(path);
    return log_.open(QIODevice::WriteOnly | QIODevice::Append);
}

void SimServer::onNewConnection() {
    while (QTcpSocket* socket = server_.nextPendingConnection()) {
        Client& client = clients_[nextNumber_];
        client.socket = socket;
        client.number = nextNumber_;
        numbers_.insert(socket, nextNumber_++);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            const int number = numbers_.take(socket);
            if (clients_.contains(number))
                log(clients_[number], QStringLiteral("(disconnected)"));
            clients_.remove(number);
            socket->deleteLater();
        });
        log(client, QStringLiteral("(connected from %1)").arg(socket->peerAddress().toString()));
        write(client, kCallPrompt);
    }
}

void SimServer::onReadyRead(QTcpSocket* socket) {
    auto it = clients_.find(numbers_.value(socket));
    if (it == clients_.end())
        return;
    Client& client = it.value();
    client.pending += socket->readAll();
    qsizetype end;
    while ((end = client.pending.indexOf('\n')) >= 0) {
        QByteArray line = client.pending.left(end);
        client.pending.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        handleLine(client, QString::fromLatin1(line));
    }
    if (client.pending.size() > kMaxLine)
        client.pending.clear();
}

void SimServer::handleLine(Client& client, const QString& line) {
    log(client, line);
    if (hung_)
        return;
    if (line.startsWith(QStringLiteral("MG:")) || line == QStringLiteral("R")) {
        handleLogin(client, line);
        return;
    }
    if (line.startsWith(QStringLiteral("WK:")) || line.startsWith(QStringLiteral("WT:"))) {
        handleKeyer(client, line);
        return;
    }
    if (line == QStringLiteral("A0:IF;")) {
        write(client, rig_.statusReport());
        return;
    }
    reportToAll(rig_.apply(line));
}

void SimServer::handleLogin(Client& client, const QString& line) {
    if (line.startsWith(QStringLiteral("MG:Callsign "))) {
        client.callsign = line.mid(12).chopped(line.endsWith(u';') ? 1 : 0).toUpper();
        write(client, kPasswordPrompt);
    } else if (line.startsWith(QStringLiteral("MG:Password "))) {
        const QString password = line.mid(12).chopped(line.endsWith(u';') ? 1 : 0);
        const bool known = users_.contains(client.callsign) && users_[client.callsign] == password;
        client.loggedIn = known;
        write(client, known ? kLoginOk : kLoginRefused);
        if (known)
            write(client, rig_.vfoReport('A') + rig_.modeReport());
    }
}

void SimServer::handleKeyer(Client& client, const QString& line) {
    if (line.startsWith(QStringLiteral("WT:"))) {
        log(client, QStringLiteral("(keyer speed %1 wpm)").arg(line.mid(3).section(u'|', 0, 0)));
        return;
    }
    const QString character = line.mid(3, line.size() - 4);
    if (character == QStringLiteral(" ")) {
        log(client, QStringLiteral("(CW: %1)").arg(client.keyerText));
        client.keyerText.clear();
    } else {
        client.keyerText += character;
    }
}

void SimServer::reportToAll(const QStringList& reports) {
    for (const QString& report : reports)
        sendToAll(report);
}

void SimServer::sendToAll(const QString& text) {
    for (Client& client : clients_)
        write(client, text);
}

void SimServer::write(Client& client, const QString& text) {
    if (silent_ || hung_ || text.isEmpty())
        return;
    const QByteArray bytes = text.toLatin1();
    if (!splitNext_) {
        client.socket->write(bytes);
        return;
    }
    // Two reads for the client: the first half now, the rest a moment later.
    splitNext_ = false;
    const qsizetype half = bytes.size() / 2;
    client.socket->write(bytes.left(half));
    client.socket->flush();
    QTcpSocket* socket = client.socket;
    QTimer::singleShot(100, socket, [socket, rest = bytes.mid(half)] { socket->write(rest); });
}

QList<SimServer::Client*> SimServer::chosen(int number) {
    QList<Client*> list;
    for (Client& client : clients_)
        if (number == 0 || client.number == number)
            list << &client;
    return list;
}

void SimServer::drop(int number) {
    for (Client* client : chosen(number))
        client->socket->abort();
}

void SimServer::halfClose(int number) {
    for (Client* client : chosen(number)) {
        client->socket->flush();
        ::shutdown(static_cast<int>(client->socket->socketDescriptor()), SHUT_WR);
    }
}

void SimServer::flood(int bytes) {
    QByteArray junk(bytes, '\0');
    for (char& c : junk)
        c = static_cast<char>(QRandomGenerator::global()->bounded(256));
    for (Client& client : clients_)
        client.socket->write(junk);
}

void SimServer::log(const Client& client, const QString& line) {
    if (!log_.isOpen())
        return;
    const QString stamp = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    log_.write(QStringLiteral("%1 client%2 %3\n").arg(stamp).arg(client.number).arg(line).toUtf8());
    log_.flush();
}
