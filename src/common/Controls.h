#pragma once

#include <QString>

// Names of the main window's controls and menus, shared by the logic and the window.
namespace Ctl {
// ports
inline const QString Soft1Com = QStringLiteral("Soft1Com");
inline const QString Soft2com = QStringLiteral("Soft2com");
inline const QString Command1 = QStringLiteral("Command1"); // "Port 1 and 2 Start"
inline const QString Command2 = QStringLiteral("Command2"); // "Stop Ports"
inline const QString CD = QStringLiteral("CD");
inline const QString RD = QStringLiteral("RD");
inline const QString TD = QStringLiteral("TD");
inline const QString DSR = QStringLiteral("DSR");
inline const QString CTS = QStringLiteral("CTS");
inline const QString DTR = QStringLiteral("DTR");
inline const QString RTS = QStringLiteral("RTS");
inline const QString Shape3 = QStringLiteral("Shape3"); // radio port open
inline const QString Label17 = QStringLiteral("Label17");
inline const QString RadioPortPath = QStringLiteral("RadioPortPath"); // where the logger goes
inline const QString KeyerPortPath = QStringLiteral("KeyerPortPath");
// server link
inline const QString RemoteIP = QStringLiteral("RemoteIP");
inline const QString RemotePort = QStringLiteral("RemotePort");
inline const QString Callsign = QStringLiteral("Callsign");
inline const QString Password = QStringLiteral("Password");
inline const QString Label7 = QStringLiteral("Label7"); // "Login OK"
inline const QString Shape1 = QStringLiteral("Shape1"); // logged in
inline const QString Shape4 = QStringLiteral("Shape4"); // link connected
inline const QString Label12 = QStringLiteral("Label12");
inline const QString Label16 = QStringLiteral("Label16");
inline const QString RCVIP = QStringLiteral("RCVIP");
inline const QString Label15 = QStringLiteral("Label15");
inline const QString Command4 = QStringLiteral("Command4"); // "Close"
// radio
inline const QString StartFreq = QStringLiteral("StartFreq");
inline const QString Combo1 = QStringLiteral("Combo1");
inline const QString Command3 = QStringLiteral("Command3");
inline const QString Command8 = QStringLiteral("Command8");
inline const QString Text4 = QStringLiteral("Text4");
inline const QString Command6 = QStringLiteral("Command6"); // "Send to Radio"
inline const QString Command9 = QStringLiteral("Command9"); // "Send to Corvel"
// monitors
inline const QString Check1 = QStringLiteral("Check1"); // "Monitor Data"
inline const QString Text1 = QStringLiteral("Text1");   // from the logger
inline const QString Text5 = QStringLiteral("Text5");   // from the server
inline const QString Text6 = QStringLiteral("Text6");   // to the logger or the server
inline const QString Command7 = QStringLiteral("Command7"); // "Clear"
// keyer and side tone
inline const QString SideTone = QStringLiteral("SideTone");
inline const QString Hertz = QStringLiteral("Hertz");
inline const QString CWSpeed = QStringLiteral("CWSpeed");
inline const QString VScroll1 = QStringLiteral("VScroll1");
inline const QString Command5 = QStringLiteral("Command5"); // "Apply"
// watchdogs
inline const QString EnableGuard = QStringLiteral("EnableGuard");
inline const QString GuardTime = QStringLiteral("GuardTime");
inline const QString EnableActive = QStringLiteral("EnableActive");
inline const QString ActiveTime = QStringLiteral("ActiveTime");
inline const QString KeyRTTY = QStringLiteral("KeyRTTY");
inline const QString Shape2 = QStringLiteral("Shape2"); // transmitter keyed
// chat
inline const QString IAMASERVER = QStringLiteral("IAMASERVER");
inline const QString ChatPort = QStringLiteral("ChatPort");
inline const QString Label11 = QStringLiteral("Label11");
inline const QString Shape5 = QStringLiteral("Shape5"); // chat link up
// other
inline const QString Text2 = QStringLiteral("Text2"); // start-up note
// the loggers' network endpoints
inline const QString CwDaemonOn = QStringLiteral("CwDaemonOn");
inline const QString CwDaemonAddress = QStringLiteral("CwDaemonAddress");
inline const QString CwDaemonState = QStringLiteral("CwDaemonState");
inline const QString RigctlOn = QStringLiteral("RigctlOn");
inline const QString RigctlAddress = QStringLiteral("RigctlAddress");
inline const QString RigctlState = QStringLiteral("RigctlState");
inline const QString CwHoldBack = QStringLiteral("CwHoldBack"); // hold CW back (Esc stops it)
inline const QString CwLead = QStringLiteral("CwLead");         // ... this many seconds ahead
// menus
inline const QString MenuLoad = QStringLiteral("Load");
inline const QString MenuSave = QStringLiteral("Save");
inline const QString MenuExit = QStringLiteral("Exit");
inline const QString Connect = QStringLiteral("Connect");
inline const QString Dig = QStringLiteral("Dig");
inline const QString Expand = QStringLiteral("Expand");
inline const QString Chat = QStringLiteral("Chat");
inline const QString Abt = QStringLiteral("Abt");
inline const QString hlp = QStringLiteral("hlp");
} // namespace Ctl

// Indicator fill colours, as colour numbers (red in the low byte, blue in the high one).
namespace Colours {
constexpr int kRed = 255;
constexpr int kGreen = 49152;
constexpr int kLedOff = 8421504; // grey: red, green and blue 128 each
} // namespace Colours
