#include "CwDaemonEndpoint.h"

#include "platform/Clock.h"

#include <QNetworkDatagram>

#include <algorithm>
#include <utility>

namespace {
constexpr size_t kMaxRepliesOwed = 64;
}

CwDaemonEndpoint::CwDaemonEndpoint(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {
    connect(&socket_, &QUdpSocket::readyRead, this, &CwDaemonEndpoint::onReadyRead);
}

bool CwDaemonEndpoint::listen(const QHostAddress& address, quint16 port, QString* why) {
    close();
    if (socket_.bind(address, port))
        return true;
    if (why)
        *why = socket_.error() == QAbstractSocket::AddressInUseError
                   ? QStringLiteral("UDP %1 is in use by another program").arg(port)
                   : QStringLiteral("UDP %1 on %2: %3").arg(port).arg(address.toString(), socket_.errorString());
    return false;
}

void CwDaemonEndpoint::close() {
    socket_.close();
    replies_.clear();
    replyNext_.clear();
}

// Only the socket's own ready-read reads. Qt switches its read notifier off after a
// ready-read that read nothing and on again only with a read, so a second reader (a timer
// draining the rest) could leave a ready-read with nothing to read and the door deaf for good.
// What is left after a pass keeps the socket readable, and the notifier brings the next pass
// once the other events have had their turn.
void CwDaemonEndpoint::onReadyRead() {
    for (int i = 0; i < kDatagramsPerPass && socket_.hasPendingDatagrams(); ++i) {
        const QNetworkDatagram datagram = socket_.receiveDatagram(kMaxDatagram);
        ++requestsTaken_;
        handle(CwDaemonRequest::parse(datagram.data()), datagram.senderAddress(),
               quint16(datagram.senderPort()));
    }
}

void CwDaemonEndpoint::handle(const CwDaemonRequest& request, const QHostAddress& from, quint16 port) {
    using Kind = CwDaemonRequest::Kind;
    switch (request.kind) {
    case Kind::Text: keyText(request, from, port); break;
    case Kind::Speed: ctx_.setSpeed(request.value); break;
    case Kind::Abort: abort(); break;
    case Kind::Ptt: ctx_.key(request.value == 1); break;
    case Kind::Tune: tune(request.value); break;
    case Kind::ReplyNext:
        if (replyNext_.size() < kMaxRepliesOwed)
            replyNext_.push_back({0.0, "h" + request.text.toLatin1(), from, port});
        break;
    case Kind::Ignored:
    case Kind::Bad: break;
    }
}

void CwDaemonEndpoint::keyText(const CwDaemonRequest& request, const QHostAddress& from, quint16 port) {
    QString piece;
    for (QChar c : request.text) {
        if (c != u'+' && c != u'-') {
            piece += c;
            continue;
        }
        ctx_.sendText(std::exchange(piece, QString()));
        ctx_.setSpeed(ctx_.speed() + (c == u'+' ? kSpeedStep : -kSpeedStep));
    }
    ctx_.sendText(piece);
    const double due = ctx_.allSentAt();
    for (Reply& owed : replyNext_)
        owed.due = due;
    if (replies_.size() < kMaxRepliesOwed)
        replies_.insert(replies_.end(), replyNext_.begin(), replyNext_.end());
    replyNext_.clear();
    if (request.replyWanted && replies_.size() < kMaxRepliesOwed)
        replies_.push_back({due, request.text.toLatin1(), from, port});
}

void CwDaemonEndpoint::abort() {
    ctx_.abort();
    // Whoever waits for an answer hears that the text was broken off, once.
    QList<QPair<QHostAddress, quint16>> told;
    for (const std::vector<Reply>* owed : {&replies_, &replyNext_})
        for (const Reply& reply : *owed)
            if (!told.contains({reply.to, reply.port})) {
                told.append({reply.to, reply.port});
                sendReply("break", reply.to, reply.port);
            }
    replies_.clear();
    replyNext_.clear();
    if (tuneEndsAt_ >= 0)
        tune(0);
}

void CwDaemonEndpoint::sendReply(const QByteArray& text, const QHostAddress& to, quint16 port) {
    socket_.writeDatagram(text + "\r\n", to, port); // one CR LF, as cwdaemon ends them
}

void CwDaemonEndpoint::tune(int seconds) {
    tuneEndsAt_ = seconds > 0 ? ctx_.clock.monotonicSeconds() + seconds : -1.0;
    ctx_.key(seconds > 0);
}

void CwDaemonEndpoint::tick() {
    const double now = ctx_.clock.monotonicSeconds();
    if (tuneEndsAt_ >= 0 && now >= tuneEndsAt_)
        tune(0);
    const auto due = std::stable_partition(replies_.begin(), replies_.end(),
                                           [now](const Reply& reply) { return reply.due <= now; });
    for (auto it = replies_.begin(); it != due; ++it)
        sendReply(it->text, it->to, it->port);
    replies_.erase(replies_.begin(), due);
}
