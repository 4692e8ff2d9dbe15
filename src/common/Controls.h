#pragma once

#include <QString>

// The main window's controls and menus: what each is, and its object name. The object names
// are those of the form the program keeps (the settings files and the monitors' words follow
// them); the code says what a control is.
namespace Ctl {
// ports
inline const QString radioPortChoice = QStringLiteral("Soft1Com");
inline const QString keyerPortChoice = QStringLiteral("Soft2com");
inline const QString startPortsButton = QStringLiteral("Command1"); // "Port 1 and 2 Start"
inline const QString stopPortsButton = QStringLiteral("Command2");  // "Stop Ports"
inline const QString cdLight = QStringLiteral("CD");
inline const QString rdLight = QStringLiteral("RD");
inline const QString tdLight = QStringLiteral("TD");
inline const QString dsrLight = QStringLiteral("DSR");
inline const QString ctsLight = QStringLiteral("CTS");
inline const QString dtrLight = QStringLiteral("DTR");
inline const QString rtsLight = QStringLiteral("RTS");
inline const QString portOpenLight = QStringLiteral("Shape3"); // radio port open
inline const QString virtualLinesNote = QStringLiteral("Label17");
inline const QString radioPortPath = QStringLiteral("RadioPortPath"); // where the logger goes
inline const QString keyerPortPath = QStringLiteral("KeyerPortPath");
// server link
inline const QString serverAddressBox = QStringLiteral("RemoteIP");
inline const QString serverPortBox = QStringLiteral("RemotePort");
inline const QString loginCallsignBox = QStringLiteral("Callsign");
inline const QString loginPasswordBox = QStringLiteral("Password");
inline const QString loginLabel = QStringLiteral("Label7");     // "Login OK"
inline const QString loginLight = QStringLiteral("Shape1");     // logged in
inline const QString connectedLight = QStringLiteral("Shape4"); // link connected
inline const QString transmitToLabel = QStringLiteral("Label12");
inline const QString receiveFromLabel = QStringLiteral("Label16");
inline const QString receiveLight = QStringLiteral("RCVIP");
inline const QString linkStatusLabel = QStringLiteral("Label15");
inline const QString closeLinkButton = QStringLiteral("Command4"); // "Close"
// radio
inline const QString frequencyBox = QStringLiteral("StartFreq");
inline const QString modeChoice = QStringLiteral("Combo1");
inline const QString frequencyUpButton = QStringLiteral("Command3");
inline const QString frequencyDownButton = QStringLiteral("Command8");
inline const QString sendTextBox = QStringLiteral("Text4");
inline const QString sendToRadioButton = QStringLiteral("Command6");  // "Send to Radio"
inline const QString sendToServerButton = QStringLiteral("Command9"); // "Send to Corvel"
// monitors
inline const QString monitorDataCheck = QStringLiteral("Check1"); // "Monitor Data"
inline const QString fromLoggerMonitor = QStringLiteral("Text1"); // from the logger
inline const QString fromServerMonitor = QStringLiteral("Text5"); // from the server
inline const QString outgoingMonitor = QStringLiteral("Text6");   // to the logger or the server
inline const QString clearMonitorsButton = QStringLiteral("Command7"); // "Clear"
// keyer and side tone
inline const QString sideToneCheck = QStringLiteral("SideTone");
inline const QString sideTonePitchBox = QStringLiteral("Hertz");
inline const QString cwSpeedBox = QStringLiteral("CWSpeed");
inline const QString sideToneVolume = QStringLiteral("VScroll1");
inline const QString applySideToneButton = QStringLiteral("Command5"); // "Apply"
// watchdogs
inline const QString guardCheck = QStringLiteral("EnableGuard");
inline const QString guardTimeBox = QStringLiteral("GuardTime");
inline const QString inactivityCheck = QStringLiteral("EnableActive");
inline const QString inactivityTimeBox = QStringLiteral("ActiveTime");
inline const QString rttyKeyingCheck = QStringLiteral("KeyRTTY");
inline const QString keyedLight = QStringLiteral("Shape2"); // transmitter keyed
// chat
inline const QString chatServerCheck = QStringLiteral("IAMASERVER");
inline const QString chatPortBox = QStringLiteral("ChatPort");
inline const QString frequencyChatLabel = QStringLiteral("Label11");
inline const QString chatLight = QStringLiteral("Shape5"); // chat link up
// other
inline const QString startupNote = QStringLiteral("Text2"); // start-up note
// the loggers' network endpoints
inline const QString cwDaemonCheck = QStringLiteral("CwDaemonOn");
inline const QString cwDaemonAddressBox = QStringLiteral("CwDaemonAddress");
inline const QString cwDaemonState = QStringLiteral("CwDaemonState");
inline const QString rigctlCheck = QStringLiteral("RigctlOn");
inline const QString rigctlAddressBox = QStringLiteral("RigctlAddress");
inline const QString rigctlState = QStringLiteral("RigctlState");
inline const QString spotsCheck = QStringLiteral("SpotsOn");
inline const QString spotsAddressBox = QStringLiteral("SpotsAddress");
inline const QString spotsState = QStringLiteral("SpotsState");
inline const QString cwHoldBackCheck = QStringLiteral("CwHoldBack"); // hold CW back (Esc stops it)
inline const QString cwLeadBox = QStringLiteral("CwLead");           // ... this many seconds ahead
// menus
inline const QString loadMenu = QStringLiteral("Load");
inline const QString saveMenu = QStringLiteral("Save");
inline const QString exitMenu = QStringLiteral("Exit");
inline const QString connectMenu = QStringLiteral("Connect");
inline const QString digitalMenu = QStringLiteral("Dig");
inline const QString expandMenu = QStringLiteral("Expand");
inline const QString chatMenu = QStringLiteral("Chat");
inline const QString aboutMenu = QStringLiteral("Abt");
inline const QString helpMenu = QStringLiteral("hlp");
} // namespace Ctl

// Indicator fill colours, as colour numbers (red in the low byte, blue in the high one).
namespace Colours {
constexpr int kRed = 255;
constexpr int kGreen = 49152;
constexpr int kLedOff = 8421504; // grey: red, green and blue 128 each
} // namespace Colours
