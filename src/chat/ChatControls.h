#pragma once

#include <QString>

// Names of the chat window's controls (the window has its own control store).
namespace ChatCtl {
inline const QString Text1 = QStringLiteral("Text1");       // the display
inline const QString Text2 = QStringLiteral("Text2");       // the entry box
inline const QString Command2 = QStringLiteral("Command2"); // "Send"
inline const QString Command3 = QStringLiteral("Command3"); // "Clear" the display
inline const QString Command4 = QStringLiteral("Command4"); // "Clear" the entry box
inline const QString ClearAS = QStringLiteral("ClearAS");   // "Clear after send"
inline const QString EnterKey = QStringLiteral("EnterKey"); // "Send on Enter Key"
inline const QString Command5 = QStringLiteral("Command5"); // "Log"
inline const QString Command6 = QStringLiteral("Command6"); // "Del Log"
inline const QString Command1 = QStringLiteral("Command1"); // "Close"
} // namespace ChatCtl
