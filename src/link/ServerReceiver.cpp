#include "ServerReceiver.h"

#include "station/ChatLines.h"
#include "station/LinkState.h"
#include "station/ServerLine.h"
#include "common/LogFile.h"
#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/MonitorBoxes.h"
#include "common/NumericText.h"
#include "platform/BusyGuard.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PausingWait.h"
#include "platform/serial/CommPort.h"

#include <QLocale>
#include <QTcpSocket>
#include <QTimer>

ServerReceiver::ServerReceiver(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {}

void ServerReceiver::onDataArrived() {
    ctx_.store.setColour(Ctl::RCVIP, Colours::kRed);
    PausingWait::yieldToEvents();
    BusyGuard guard(ctx_.link.serverRxBusy);
    if (!guard.entered())
        return; // the data waits in the socket for the pass that is running
    if (ctx_.socket.state() != QAbstractSocket::ConnectedState) {
        ctx_.linkLost();
        return;
    }
    QString chunk = QString::fromLatin1(ctx_.socket.read(kMaxChunk));
    handleChunk(chunk);
    // What came meanwhile, or did not fit into one chunk, gets its own pass.
    if (ctx_.socket.bytesAvailable() > 0)
        QTimer::singleShot(0, this, &ServerReceiver::onDataArrived);
}

void ServerReceiver::handleChunk(QString& chunk) {
    if (chunk.contains(QStringLiteral("VX1;")))
        ctx_.server.send(QStringLiteral("A0:VX0;"));
    ctx_.monitors.copyFromServer(chunk);
    logRigPower(chunk);
    followTransmitter(chunk);
    noteActivity(chunk);
    keyOnRttyLevel(chunk);
    if (chunk.contains(QStringLiteral("A0:MSG")) && !passChatLine(chunk))
        return;
    dispatch(chunk);
}

void ServerReceiver::logRigPower(const QString& chunk) {
    const QDateTime now = ctx_.clock.now();
    const QString when = QLocale::system().toString(now.time(), QLocale::ShortFormat) + u' ' +
                         QLocale::system().toString(now.date(), QLocale::ShortFormat) + u'\n';
    if (chunk.contains(QStringLiteral("PS1;"))) {
        ctx_.picture.powerOn = true;
        if (!ctx_.link.rigOnLogged) {
            ctx_.link.rigOnLogged = true;
            ctx_.link.rigOffLogged = false;
            ctx_.log.writeLine(QStringLiteral("RIG ON at ") + when);
        }
    }
    if (chunk.contains(QStringLiteral("PS0;"))) {
        ctx_.picture.powerOn = false;
        if (!ctx_.link.rigOffLogged) {
            ctx_.link.rigOffLogged = true;
            ctx_.link.rigOnLogged = false;
            ctx_.log.writeLine(QStringLiteral("RIG OFF at ") + when);
        }
    }
}

void ServerReceiver::followTransmitter(const QString& chunk) {
    const bool keyed = chunk.contains(QStringLiteral("MX1;"));
    const bool released = chunk.contains(QStringLiteral("MX0;"));
    // The logger's status record follows the station whether or not the guard is on.
    if (keyed)
        ctx_.picture.transmitting = true;
    if (released)
        ctx_.picture.transmitting = false;
    if (!ctx_.store.isTicked(Ctl::EnableGuard))
        return;
    if (keyed) {
        ctx_.link.txKeyed = true;
        ctx_.store.setVisible(Ctl::Shape2, true);
    }
    if (released) {
        ctx_.link.txKeyed = false;
        ctx_.link.guardCount = 0;
        ctx_.store.setVisible(Ctl::Shape2, false);
    }
}

void ServerReceiver::noteActivity(const QString& chunk) {
    if (!ctx_.store.isTicked(Ctl::EnableActive))
        return;
    const bool active = chunk.contains(QStringLiteral("FA")) || chunk.contains(QStringLiteral("FB")) ||
                        chunk.contains(QStringLiteral("WK")) || chunk.contains(QStringLiteral("MX"));
    ctx_.link.activitySeen = active;
    if (!active)
        return;
    ctx_.link.idleCount = 0;
    if (ctx_.store.text(Ctl::Text6).contains(QStringLiteral("Sending")))
        ctx_.store.setText(Ctl::Text6, QString());
}

void ServerReceiver::keyOnRttyLevel(const QString& chunk) {
    const qsizetype at = chunk.indexOf(QStringLiteral("RL:"));
    if (!ctx_.store.isTicked(Ctl::KeyRTTY) || at < 0)
        return;
    const double level = NumericText::numericValue(chunk.mid(at + 3, 5));
    if (level > kRttyKeyLevel && !ctx_.link.rttyKeyed) {
        ctx_.server.send(QStringLiteral("A0:MX1;"));
        ctx_.link.rttyKeyed = true;
    } else if (level < kRttyReleaseLevel && ctx_.link.rttyKeyed) {
        ctx_.server.send(QStringLiteral("A0:MX0;"));
        ctx_.link.rttyKeyed = false;
    }
}

bool ServerReceiver::passChatLine(const QString& chunk) {
    if (!ctx_.chat.showingChat())
        return false; // nobody reads it; the chunk goes no further
    // The station's line is the text between "A0:MSG" and its ";".
    const qsizetype from = chunk.indexOf(QStringLiteral("A0:MSG")) + 6;
    const qsizetype end = chunk.indexOf(u';', from);
    if (end >= 0)
        ctx_.chat.appendChat(chunk.mid(from, end - from));
    return true;
}

void ServerReceiver::dispatch(QString& chunk) {
    for (const char* keyword : {"MG", "MD", "MK", "XT", "IF", "RT", "FA", "FB", "IA"}) {
        if (chunk.toUpper().contains(QLatin1String(keyword)) && !ctx_.link.serverMsgBusy)
            GetData1(chunk);
    }
}

void ServerReceiver::GetData1(QString& chunk) {
    BusyGuard guard(ctx_.link.serverMsgBusy);
    if (!guard.entered())
        return;
    PausingWait::yieldToEvents();
    StationReportPass pass(ctx_.picture, ctx_.store, ctx_.server.isConnected());
    perform(pass.run(chunk));
}

bool ServerReceiver::perform(const ReportActions& actions) {
    for (const ReportAction& action : actions) {
        switch (action.kind) {
        case ReportAction::WriteLogger:
            writeLogger(action.text);
            break;
        case ReportAction::Send:
            ctx_.server.send(action.text);
            break;
        case ReportAction::SendLogin:
            ctx_.server.sendUnchecked(action.text);
            break;
        case ReportAction::CopySent:
            ctx_.monitors.copySent(action.text);
            break;
        case ReportAction::LoginAccepted:
            ctx_.loginAccepted();
            break;
        case ReportAction::Fail: {
            // Shown once the handlers are free again, so that a server repeating a bad
            // report keeps being heard while the box is open.
            Dialogs& dialogs = ctx_.dialogs;
            const QString text = QStringLiteral("error ") + action.text;
            QTimer::singleShot(0, this, [&dialogs, text] { dialogs.showMessage(text); });
            return false;
        }
        }
    }
    return true;
}

void ServerReceiver::writeLogger(const QString& text) {
    if (ctx_.radioPort.isOpen() && ctx_.picture.loggerOnline)
        ctx_.radioPort.write(text.toLatin1());
}
