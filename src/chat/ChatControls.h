#pragma once

#include <QString>

// Names of the chat window's controls (the window has its own control store).
namespace ChatCtl {
inline const QString displayBox = QStringLiteral("Text1");            // the display
inline const QString entryBox = QStringLiteral("Text2");              // the entry box
inline const QString sendButton = QStringLiteral("Command2");         // "Send"
inline const QString clearDisplayButton = QStringLiteral("Command3"); // "Clear" the display
inline const QString clearEntryButton = QStringLiteral("Command4");   // "Clear" the entry box
inline const QString clearAfterSendCheck = QStringLiteral("ClearAS"); // "Clear after send"
inline const QString sendOnEnterCheck = QStringLiteral("EnterKey");   // "Send on Enter Key"
inline const QString logButton = QStringLiteral("Command5");          // "Log"
inline const QString deleteLogButton = QStringLiteral("Command6");    // "Del Log"
inline const QString closeButton = QStringLiteral("Command1");        // "Close"
} // namespace ChatCtl
