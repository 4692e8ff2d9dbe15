#pragma once

#include <QString>
#include <QStringList>

class ControlStore;

// Names of the digital terminal's controls and menus (the window has its own control
// store). Controls of one kind are numbered as "Name(i)", like the terminal's arrays.
namespace TermCtl {

inline QString at(const QString& base, int index) {
    return base + u'(' + QString::number(index) + u')';
}

inline const QString receiveBox = QStringLiteral("RxWindow"); // (0), (1): received text
inline const QString transmitBox = QStringLiteral("TxWindow");
inline const QString functionKey = QStringLiteral("Command7"); // (0..10): function keys
inline const QString modeChoice = QStringLiteral("CBMode");    // (0), (1)
inline const QString speedChoice = QStringLiteral("CBSpeed");  // (0), (1)
inline const QString receiveCarrierBox = QStringLiteral("CBRX");
inline const QString transmitCarrierBox = QStringLiteral("CBTX");
inline const QString callsignList = QStringLiteral("List1");            // pick-up list
inline const QString clearCallsignsButton = QStringLiteral("Command1"); // "Clear"
inline const QString searchDownButton = QStringLiteral("Command4");     // "<"
inline const QString searchUpButton = QStringLiteral("Command5");       // ">"
inline const QString largeFontButton = QStringLiteral("Command6");      // "&Z"
inline const QString alwaysOnTopCheck = QStringLiteral("Front");        // "F"
inline const QString displayStartBar = QStringLiteral("HSW");
inline const QString transmitButton = QStringLiteral("BtnTX");
inline const QString transmitOffButton = QStringLiteral("BtnTXOFF");
inline const QString afcButton = QStringLiteral("BtnAFC"); // (0), (1)
inline const QString netButton = QStringLiteral("BtnNET");
inline const QString viewButton = QStringLiteral("BtnFFT");     // (0..3)
inline const QString bandPassButton = QStringLiteral("BtnBPF"); // (0..3)
inline const QString cwIdButton = QStringLiteral("BtnCW");
inline const QString dualButton = QStringLiteral("Dual");
inline const QString talkButton = QStringLiteral("TalkBTN");
inline const QString zoomButton = QStringLiteral("ZoomBTN");
inline const QString spectrumView = QStringLiteral("XMMVView");
inline const QString secondSpectrumView = QStringLiteral("XMMVView1");
inline const QString afcIndicator = QStringLiteral("AFCLvl");
inline const QString levelMeter = QStringLiteral("XMMVLvl");     // (0), (1)
inline const QString signalToNoiseLabel = QStringLiteral("LSN"); // (0), (1)
inline const QString timingLabel = QStringLiteral("LTiming");    // (0), (1)
inline const QString secondCarrierLabel = QStringLiteral("LFQ");
inline const QString languageLabel = QStringLiteral("LLang");
inline const QString soundStatus = QStringLiteral("SoundStatus");       // what the sound card does
inline const QString callsignListStatus = QStringLiteral("ListStatus"); // a callsign list not read
// menus
inline const QString exitMenu = QStringLiteral("ex");                   // "Exit"
inline const QString sendFileMenu = QStringLiteral("SFile");            // "Send File"
inline const QString defaultReceiveSoundMenu = QStringLiteral("DF");    // "Sound  RX" default
inline const QString receiveSoundMenu = QStringLiteral("S");            // S0..S9
inline const QString defaultTransmitSoundMenu = QStringLiteral("TXDF"); // "Sound TX" default
inline const QString transmitSoundMenu = QStringLiteral("TXS");         // TXS0..TXS9
inline const QString setNotchMenu = QStringLiteral("mnuSetNotch");
inline const QString deleteNotchesMenu = QStringLiteral("mnuDelAllNotches");
inline const QString transmitCarrierMenu = QStringLiteral("mnuTxCarrier");
inline const QString signalBrowserMenu = QStringLiteral("SignalBrowserMenu"); // "Signal Browser"
inline const QString helpMenu = QStringLiteral("HH"); // "Help"

constexpr int kFunctionKeys = 11;
constexpr int kSoundEntries = 10;
constexpr int kStoredSoundEntries = 4; // only S0..S3 / TXS0..TXS3 are kept in the file

// The second channel's controls, shown only in dual mode.
QStringList secondChannelControls();
QStringList speedItems(int channel);
QStringList carrierItems();

} // namespace TermCtl

void populateTerminalControls(ControlStore& store);
