#include "common/BridgeAction.h"

#include <QtGlobal>

const char* BridgeAction::kindName(Kind kind) {
    static const char* const names[] = {
        "ReplyToLogger",  "RefuseSet",       "PauseAfterFrequencySet", "WriteLogger",
        "SendToServer",   "SendLogin",       "LoginAccepted",          "CopyFromLogger",
        "CopyFromServer", "CopySent",        "ClearFromLogger",        "ClearGuardNotice",
        "KeyCw",          "SetCwSpeed",      "AbortCw",                "ShowGuardLight",
        "LogWithTime",    "AppendChat",      "Fail"};
    static_assert(sizeof(names) / sizeof(names[0]) == BridgeAction::Fail + 1);
    return names[kind];
}

void ActionTarget::forgotten(BridgeAction::Kind kind) {
    qWarning("BridgeAction %s %s: dropped", BridgeAction::kindName(kind), kForgottenWarning);
}

bool performActions(const BridgeActions& actions, ActionTarget& target) {
    for (const BridgeAction& action : actions) {
        const QString& text = action.text;
        switch (action.kind) {
        case BridgeAction::ReplyToLogger: target.replyToLogger(text); break;
        case BridgeAction::RefuseSet: target.refuseSet(text); break;
        case BridgeAction::PauseAfterFrequencySet: target.pauseAfterFrequencySet(); break;
        case BridgeAction::WriteLogger: target.writeLogger(text); break;
        case BridgeAction::SendToServer: target.sendToServer(text); break;
        case BridgeAction::SendLogin: target.sendLogin(text); break;
        case BridgeAction::LoginAccepted: target.loginAccepted(); break;
        case BridgeAction::CopyFromLogger: target.copyFromLogger(text); break;
        case BridgeAction::CopyFromServer: target.copyFromServer(text); break;
        case BridgeAction::CopySent: target.copySent(text); break;
        case BridgeAction::ClearFromLogger: target.clearFromLogger(); break;
        case BridgeAction::ClearGuardNotice: target.clearGuardNotice(); break;
        case BridgeAction::KeyCw: target.keyCw(text); break;
        case BridgeAction::SetCwSpeed: target.setCwSpeed(action.number); break;
        case BridgeAction::AbortCw: target.abortCw(); break;
        case BridgeAction::ShowGuardLight: target.showGuardLight(action.number != 0); break;
        case BridgeAction::LogWithTime: target.logWithTime(text); break;
        case BridgeAction::AppendChat: target.appendChat(text); break;
        case BridgeAction::Fail:
            target.fail(QStringLiteral("error ") + text);
            return false;
        }
    }
    return true;
}
