#include "ChatServer.h"
#include "station/StationLines.h"

#include "ChatDisplay.h"
#include "ChatLog.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/LogFile.h"
#include "platform/BusyGuard.h"
#include "platform/Clock.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTimer>

#include <utility>

ChatServer::ChatServer(Context context, QObject* parent) : QObject(parent), ctx_(std::move(context)) {
    connect(&listener_, &QTcpServer::newConnection, this, &ChatServer::onNewConnection);
    // Out of descriptors, Qt stops listening for good; the sweep starts it again.
    connect(&listener_, &QTcpServer::acceptError, this, [this] { acceptPaused_ = true; });
    // After a restart every station comes back at once: let the system queue them all.
    listener_.setListenBacklogSize(kMaxSlots);
}

bool ChatServer::startListening() {
    if (!ctx_.address.chatPort)
        return false;
    listener_.close();
    allowList_.load(ctx_.allowListPath);
    if (allowList_.isActive())
        ChatDisplay::append(ctx_.chat, QStringLiteral("Chat open to the %1 addresses and networks of %2\r\n")
                                           .arg(allowList_.size())
                                           .arg(ChatAllowList::kFileName));
    return listener_.listen(QHostAddress::Any,
                            static_cast<quint16>(qBound(0, *ctx_.address.chatPort, 65535)));
}

void ChatServer::onNewConnection() {
    while (QTcpSocket* socket = listener_.nextPendingConnection()) {
        if (refused(socket)) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const int slot = ++chatClientCount_;
        slots_.insert(slot, socket);
        awaitingLogin_.insert(slot, ctx_.clock.monotonicSeconds());
        socket->setParent(this);
        socket->setReadBufferSize(kReadBufferBytes);
        connect(socket, &QTcpSocket::readyRead, this, [this, slot] { onData(slot); });
        ctx_.store.setVisible(Ctl::chatLight, true);
    }
}

// A station not on the allow-list, or one too many; each is said once in the display.
bool ChatServer::refused(QTcpSocket* socket) {
    const QHostAddress peer = socket->peerAddress();
    if (!allowList_.allows(peer)) {
        const QString who = ChatAllowList::plain(peer).toString();
        if (!refusedPeers_.contains(who) && refusedPeers_.size() < 100) {
            refusedPeers_.insert(who);
            ChatDisplay::append(ctx_.chat, QStringLiteral("Chat connection from %1 refused: not in %2\r\n")
                                               .arg(who, ChatAllowList::kFileName));
        }
        return true;
    }
    if (openConnections() < ctx_.maxOpen) {
        fullReported_ = false;
        return false;
    }
    if (!fullReported_) {
        fullReported_ = true;
        ChatDisplay::append(ctx_.chat, kFullMessage);
    }
    return true;
}

int ChatServer::openConnections() const {
    int open = 0;
    for (QTcpSocket* socket : slots_)
        open += socket->state() == QAbstractSocket::ConnectedState ? 1 : 0;
    return open;
}

bool ChatServer::connected(int slot) const {
    QTcpSocket* socket = slots_.value(slot);
    return socket && socket->state() == QAbstractSocket::ConnectedState;
}

int ChatServer::relayTarget(int sender) const {
    // One of the other stations that are connected and logged in, drawn among them alone:
    // drawn among every slot ever used, it missed nearly every time once many had come and gone.
    QList<int> others;
    for (auto it = slots_.cbegin(); it != slots_.cend(); ++it)
        if (it.key() != sender && connected(it.key()) && !awaitingLogin_.contains(it.key()))
            others << it.key();
    if (others.isEmpty())
        return -1;
    return others[int(QRandomGenerator::global()->bounded(int(others.size())))];
}

void ChatServer::onData(int slot) {
    ctx_.store.setColour(Ctl::receiveLight, Colours::kRed);
    const int target = relayTarget(slot);
    BusyGuard guard(serverBusy_);
    if (!guard.entered())
        return; // the data waits in the socket for the next event
    ctx_.store.setVisible(Ctl::chatLight, true);
    QTcpSocket* socket = slots_.value(slot);
    if (!socket)
        return;
    QByteArray bytes = socket->read(kMaxChunk);
    if (takeLogin(slot, bytes) && !lineTooLong(slot, bytes)) {
        const QString chunk = handleChunk(slot, QString::fromLatin1(bytes));
        relay(slot, chunk, chunk.contains(QStringLiteral("//UPDATE:")) ? target : 0);
    }
    scheduleWaiting();
}

// Until a connection has said "Login:" and a callsign, what it sends is kept back (a little
// of it) and neither relayed nor shown; `bytes` becomes the chunk from its login on.
bool ChatServer::takeLogin(int slot, QByteArray& bytes) {
    if (!awaitingLogin_.contains(slot))
        return true;
    QByteArray& kept = beforeLogin_[slot];
    kept += bytes;
    const qsizetype at = kept.indexOf("Login:");
    if (at < 0 || kept.size() <= at + 6) {
        if (kept.size() > kMaxBytesBeforeLogin)
            closeStation(slot, QStringLiteral("it sent %1 bytes and no login").arg(kept.size()));
        return false;
    }
    bytes = kept.mid(at);
    awaitingLogin_.remove(slot);
    beforeLogin_.remove(slot);
    return true;
}

// A "line" without end that goes on and on fills every other station's queue: closed.
bool ChatServer::lineTooLong(int slot, const QByteArray& bytes) {
    qint64& length = lineLength_[slot];
    const qsizetype end = bytes.lastIndexOf('\n');
    length = end < 0 ? length + bytes.size() : bytes.size() - end - 1;
    if (length <= kMaxLineBytes)
        return false;
    closeStation(slot, QStringLiteral("a line longer than %1 KiB").arg(kMaxLineBytes / 1024));
    return true;
}

void ChatServer::closeStation(int slot, const QString& why) {
    if (QTcpSocket* socket = slots_.value(slot))
        socket->abort();
    ChatDisplay::append(ctx_.chat, QStringLiteral("Chat station %1 closed: %2\r\n").arg(slot).arg(why));
}

void ChatServer::scheduleWaiting() {
    // Data that came while a pass ran raised no new event: every station with something
    // waiting gets a turn, one chunk each, so that a flood cannot starve the others.
    for (auto it = slots_.cbegin(); it != slots_.cend(); ++it) {
        const int slot = it.key();
        if (it.value()->bytesAvailable() <= 0 || scheduled_.contains(slot))
            continue;
        scheduled_.insert(slot);
        QTimer::singleShot(0, this, [this, slot] {
            scheduled_.remove(slot);
            onData(slot);
        });
    }
}

QString ChatServer::handleChunk(int slot, QString chunk) {
    if (chunk.contains(QStringLiteral("//STOP:")))
        for (auto it = slots_.cbegin(); it != slots_.cend(); ++it)
            if (connected(it.key()))
                send(it.value(), QStringLiteral("//STOP:;"));
    if (chunk.contains(QStringLiteral("Login:"))) {
        const qsizetype marks = chunk.indexOf(QStringLiteral("//"));
        logLogin(slot, marks >= 0 ? chunk.left(marks) : chunk);
        if (marks >= 0)
            chunk = chunk.mid(marks, kMaxLoginTail);
    }
    if (chunk.contains(StationLines::logRequest())) {
        if (ctx_.store.isTicked(Ctl::chatServerCheck) && QFile::exists(ctx_.log.path())) {
            if (connected(slot))
                send(slots_.value(slot), ChatLog::tail(ctx_.log) + QStringLiteral(";\r\n"));
        } else if (ctx_.clientConnected()) {
            ctx_.sendThroughClient(StationLines::logRequest());
        }
    }
    if (!chunk.contains(QStringLiteral("//DBUPDATE:")))
        ChatDisplay::append(ctx_.chat, chunk);
    return chunk;
}

void ChatServer::relay(int sender, const QString& chunk, int onlyTo) {
    if (onlyTo < 0)
        return; // no other station could be picked
    for (auto it = slots_.cbegin(); it != slots_.cend(); ++it) {
        const int slot = it.key();
        if (slot == sender || !connected(slot) || (onlyTo > 0 && slot != onlyTo))
            continue;
        send(it.value(), chunk);
    }
}

void ChatServer::send(QTcpSocket* socket, const QString& text) {
    if (socket->bytesToWrite() > kMaxPendingRelay)
        return; // that station is not reading; it must not make us hold everything for it
    socket->write(text.toLatin1());
}

void ChatServer::sendToAll(const QString& text) {
    for (auto it = slots_.cbegin(); it != slots_.cend(); ++it)
        if (connected(it.key()))
            send(it.value(), text);
}

void ChatServer::cleanUpSlots() {
    const double now = ctx_.clock.monotonicSeconds();
    int late = 0; // told in one line, however many there are
    for (auto it = awaitingLogin_.cbegin(); it != awaitingLogin_.cend(); ++it) {
        if (now - it.value() > kLoginDeadlineSeconds && connected(it.key())) {
            slots_.value(it.key())->abort();
            ++late;
        }
    }
    if (late > 0)
        ChatDisplay::append(ctx_.chat, QStringLiteral("Chat: %1 connection(s) closed: no login within %2 s\r\n")
                                           .arg(late)
                                           .arg(kLoginDeadlineSeconds));
    for (auto it = slots_.begin(); it != slots_.end();) {
        if (it.value()->state() != QAbstractSocket::ConnectedState) {
            it.value()->deleteLater();
            forget(it.key());
            it = slots_.erase(it);
        } else {
            ++it;
        }
    }
    if (std::exchange(acceptPaused_, false))
        listener_.resumeAccepting();
}

void ChatServer::forget(int slot) {
    loggedIn_.remove(slot);
    awaitingLogin_.remove(slot);
    beforeLogin_.remove(slot);
    lineLength_.remove(slot);
}

void ChatServer::closeAll() {
    for (QTcpSocket* socket : std::as_const(slots_))
        if (socket->state() == QAbstractSocket::ConnectedState)
            socket->close();
}

// A station logs in once: its first login line goes to the log, one line, cut to a sane
// length, so that no peer can fill the disk or forge lines of its own.
void ChatServer::logLogin(int slot, const QString& chunk) {
    if (loggedIn_.contains(slot))
        return;
    loggedIn_.insert(slot);
    const QString line = chunk.section(QRegularExpression(QStringLiteral("[\\r\\n]")), 0, 0);
    ctx_.log.writeLine(line.left(kMaxLoginLine));
}
