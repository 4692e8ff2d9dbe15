#include "ChatPanel.h"
#include "station/StationLines.h"

#include "ChatClient.h"
#include "ChatControls.h"
#include "ChatDisplay.h"
#include "ChatLog.h"
#include "ChatServer.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/LogFile.h"
#include "common/NumericText.h"
#include "settings/SettingsFile.h"

#include <QFile>

ChatPanel::ChatPanel(Context context, QObject* parent) : QObject(parent), ctx_(std::move(context)) {}

void ChatPanel::load() {
    if (loaded_)
        return;
    loaded_ = true;
    if (const auto content = SettingsFile::read(kSettingsFile)) {
        const QList<QByteArray> lines = content->split('\n');
        const QStringList names{ChatCtl::clearAfterSendCheck, ChatCtl::sendOnEnterCheck};
        for (int i = 0; i < 2 && i < lines.size(); ++i) {
            const int value = NumericText::integerValue(QString::fromLatin1(lines[i]));
            if (value == 0 || value == 1)
                ctx_.chat.setValue(names[i], value);
        }
    }
    const bool chatServer = ctx_.store.isTicked(Ctl::chatServerCheck);
    ctx_.chat.setVisible(ChatCtl::deleteLogButton, chatServer);
    // A client station connects to the chat; with no chat port there is nothing to reach.
    if (!chatServer && !ctx_.store.isVisible(Ctl::chatLight) &&
        ctx_.address.chatPort)
        ctx_.client.connectToServer();
}

void ChatPanel::unload() {
    if (!loaded_)
        return;
    const QByteArray lines =
        NumericText::integerLine(ctx_.chat.value(ChatCtl::clearAfterSendCheck)).toLatin1() +
        "\r\n" + NumericText::integerLine(ctx_.chat.value(ChatCtl::sendOnEnterCheck)).toLatin1() +
        "\r\n";
    SettingsFile::FileError error; // a file that cannot be written keeps what it held
    if (!SettingsFile::writePrivately(kSettingsFile, lines, &error))
        qWarning("%s not written: %s", qPrintable(kSettingsFile),
                 qPrintable(SettingsFile::unexpectedErrorText(error)));
    loaded_ = false;
    if (shown_) {
        shown_ = false;
        emit shownChanged(false);
    }
}

void ChatPanel::show() {
    load();
    if (!shown_) {
        shown_ = true;
        emit shownChanged(true);
    }
}

void ChatPanel::send() {
    const QString text = ctx_.chat.text(ChatCtl::entryBox);
    if (ctx_.store.isTicked(Ctl::chatServerCheck))
        ctx_.server.sendToAll(text);
    else if (ctx_.client.isConnected())
        ctx_.client.send(ctx_.login.callsign + u':' + text +
                         QStringLiteral("\r\n"));
    if (ctx_.chat.isTicked(ChatCtl::clearAfterSendCheck))
        ctx_.chat.setText(ChatCtl::entryBox, QString());
}

bool ChatPanel::enterPressed() {
    if (!ctx_.chat.isTicked(ChatCtl::sendOnEnterCheck))
        return false;
    send();
    return true;
}

void ChatPanel::showLog() {
    if (ctx_.store.isTicked(Ctl::chatServerCheck)) {
        if (QFile::exists(ctx_.log.path()))
            ChatDisplay::set(ctx_.chat, ChatLog::tail(ctx_.log));
    } else if (ctx_.client.isConnected()) {
        ctx_.client.send(StationLines::logRequest());
    }
}

void ChatPanel::deleteLog() {
    if (ctx_.store.isTicked(Ctl::chatServerCheck) && QFile::exists(ctx_.log.path()))
        ChatDisplay::set(ctx_.chat, ChatLog::tailAndDelete(ctx_.log));
}

bool ChatPanel::showingChat() {
    load();
    return shown_;
}

void ChatPanel::appendChat(const QString& text) { ChatDisplay::append(ctx_.chat, text); }
