#include "ChatClient.h"

#include "ChatDisplay.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/StationAddress.h"
#include "platform/BusyGuard.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/net/TimedConnect.h"

#include <QLocale>
#include <QTimer>

ChatClient::ChatClient(Context context, QObject* parent) : QObject(parent), ctx_(std::move(context)) {
    connect(&socket_, &QTcpSocket::readyRead, this, &ChatClient::onData);
    connect(&socket_, &QTcpSocket::disconnected, this, &ChatClient::onClosed);
}

void ChatClient::connectToServer() {
    if (isConnecting())
        return; // one attempt at a time: the one on its way goes on
    connect_.start(!ctx_.store.isVisible(Ctl::chatLight), ctx_.address.host,
                   ctx_.address.chatPort.value_or(0),
                   [this](const TimedConnect::Outcome& outcome) { connectFinished(outcome); });
}

void ChatClient::connectFinished(const TimedConnect::Outcome& outcome) {
    if (!outcome.connected) {
        ctx_.store.setVisible(Ctl::chatLight, false);
        if (outcome.wrongState)
            ctx_.dialogs.showMessage(QStringLiteral(
                "Unable to connect to maps. Make sure the remote app is started. If it is started "
                "try clicking the Clear button on the remote world map."));
        else
            ctx_.dialogs.showMessage(outcome.errorText + QStringLiteral(" Could not connect to chat"));
        return;
    }
    ctx_.store.setVisible(Ctl::chatLight, true);
    if (!ctx_.store.isTicked(Ctl::chatServerCheck)) {
        const QDateTime now = ctx_.clock.now();
        socket_.write((QStringLiteral("Login:") + ctx_.login.callsign + u' ' +
                       QLocale::system().toString(now.time(), QLocale::ShortFormat) + u' ' +
                       QLocale::system().toString(now.date(), QLocale::ShortFormat))
                          .toLatin1());
    }
}

void ChatClient::send(const QString& text) {
    if (isConnected())
        socket_.write(text.toLatin1());
}

void ChatClient::onData() {
    BusyGuard guard(chatClientBusy_);
    if (!guard.entered())
        return;
    if (!isConnected()) {
        ctx_.store.setVisible(Ctl::chatLight, false);
        ctx_.dialogs.showMessage(QStringLiteral("Lost Chat Connection"));
        return;
    }
    ChatDisplay::append(ctx_.chat, QString::fromLatin1(socket_.read(kMaxChunk)));
    if (socket_.bytesAvailable() > 0)
        QTimer::singleShot(0, this, &ChatClient::onData);
}

void ChatClient::onClosed() {
    socket_.abort();
    ctx_.store.setVisible(Ctl::chatLight, false); // the chat light shows the link as it is
}
