#include "ServerReceiver.h"

#include "ChunkRules.h"
#include "station/ChatLines.h"
#include "station/LinkState.h"
#include "station/ServerLine.h"
#include "station/StationLines.h"
#include "common/LogFile.h"
#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/MonitorBoxes.h"
#include "platform/BusyGuard.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QLocale>
#include <QTcpSocket>
#include <QTimer>

ServerReceiver::ServerReceiver(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {}

void ServerReceiver::onDataArrived() {
    ctx_.store.setColour(Ctl::receiveLight, Colours::kRed);
    BusyGuard guard(ctx_.link.serverRxBusy);
    if (!guard.entered())
        return; // the data waits in the socket for the pass that is running
    if (ctx_.socket.state() != QAbstractSocket::ConnectedState) {
        ctx_.linkLost();
        return;
    }
    const QByteArray bytes = ctx_.socket.read(kMaxChunk);
    ctx_.bytesRead(bytes.size());
    QString chunk = QString::fromLatin1(bytes);
    handleChunk(chunk);
    // What came meanwhile, or did not fit into one chunk, gets its own pass.
    if (ctx_.socket.bytesAvailable() > 0)
        QTimer::singleShot(0, this, &ServerReceiver::onDataArrived);
}

void ServerReceiver::handleChunk(QString& chunk) {
    ChunkRules::Inputs inputs;
    inputs.guardOn = ctx_.store.isTicked(Ctl::guardCheck);
    inputs.activityWatchOn = ctx_.store.isTicked(Ctl::inactivityCheck);
    inputs.rttyKeyingOn = ctx_.store.isTicked(Ctl::rttyKeyingCheck);
    inputs.chatShowing = chunk.contains(StationLines::chatMarker()) && ctx_.chat.showingChat();
    const ChunkRules::Outcome outcome = ChunkRules::apply(chunk, ctx_.picture, ctx_.link, inputs);
    perform(outcome.actions);
    if (outcome.readReports)
        dispatch(chunk);
}

void ServerReceiver::dispatch(QString& chunk) {
    for (const QString& keyword : StationLines::kReportKeywords) {
        if (chunk.toUpper().contains(keyword) && !ctx_.link.serverMsgBusy)
            receiveChunk(chunk);
    }
}

void ServerReceiver::receiveChunk(QString& chunk) {
    BusyGuard guard(ctx_.link.serverMsgBusy);
    if (!guard.entered())
        return;
    StationReportPass pass(ctx_.picture, ctx_.store, ctx_.login, ctx_.server.isConnected());
    perform(pass.run(chunk));
}

void ServerReceiver::sendToServer(const QString& line) { ctx_.server.send(line); }

void ServerReceiver::sendLogin(const QString& line) { ctx_.server.sendUnchecked(line); }

void ServerReceiver::copyFromServer(const QString& chunk) { ctx_.monitors.copyFromServer(chunk); }

void ServerReceiver::copySent(const QString& text) { ctx_.monitors.copySent(text); }

void ServerReceiver::clearGuardNotice() { ctx_.store.setText(Ctl::outgoingMonitor, QString()); }

void ServerReceiver::showGuardLight(bool on) { ctx_.store.setVisible(Ctl::keyedLight, on); }

void ServerReceiver::logWithTime(const QString& text) { ctx_.log.writeLine(text + timeAndDate()); }

void ServerReceiver::appendChat(const QString& line) { ctx_.chat.appendChat(line); }

void ServerReceiver::fail(const QString& message) {
    // Shown once the handlers are free again, so that a server repeating a bad report keeps
    // being heard while the box is open.
    Dialogs& dialogs = ctx_.dialogs;
    QTimer::singleShot(0, this, [&dialogs, message] { dialogs.showMessage(message); });
}

// As the log has always shown it: the time, the date and the line's own line feed.
QString ServerReceiver::timeAndDate() const {
    const QDateTime now = ctx_.clock.now();
    return QLocale::system().toString(now.time(), QLocale::ShortFormat) + u' ' +
           QLocale::system().toString(now.date(), QLocale::ShortFormat) + u'\n';
}

void ServerReceiver::writeLogger(const QString& text) {
    ctx_.writeLogger(text);
}
