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

inline const QString RxWindow = QStringLiteral("RxWindow"); // (0), (1): received text
inline const QString TxWindow = QStringLiteral("TxWindow");
inline const QString Command7 = QStringLiteral("Command7"); // (0..10): function keys
inline const QString CBMode = QStringLiteral("CBMode");     // (0), (1)
inline const QString CBSpeed = QStringLiteral("CBSpeed");   // (0), (1)
inline const QString CBRX = QStringLiteral("CBRX");
inline const QString CBTX = QStringLiteral("CBTX");
inline const QString List1 = QStringLiteral("List1");       // pick-up list
inline const QString Command1 = QStringLiteral("Command1"); // "Clear"
inline const QString Command4 = QStringLiteral("Command4"); // "<"
inline const QString Command5 = QStringLiteral("Command5"); // ">"
inline const QString Command6 = QStringLiteral("Command6"); // "&Z"
inline const QString Front = QStringLiteral("Front");       // "F"
inline const QString HSW = QStringLiteral("HSW");
inline const QString BtnTX = QStringLiteral("BtnTX");
inline const QString BtnTXOFF = QStringLiteral("BtnTXOFF");
inline const QString BtnAFC = QStringLiteral("BtnAFC"); // (0), (1)
inline const QString BtnNET = QStringLiteral("BtnNET");
inline const QString BtnFFT = QStringLiteral("BtnFFT"); // (0..3)
inline const QString BtnBPF = QStringLiteral("BtnBPF"); // (0..3)
inline const QString BtnCW = QStringLiteral("BtnCW");
inline const QString Dual = QStringLiteral("Dual");
inline const QString TalkBTN = QStringLiteral("TalkBTN");
inline const QString ZoomBTN = QStringLiteral("ZoomBTN");
inline const QString XMMVView = QStringLiteral("XMMVView");
inline const QString XMMVView1 = QStringLiteral("XMMVView1");
inline const QString AFCLvl = QStringLiteral("AFCLvl");
inline const QString XMMVLvl = QStringLiteral("XMMVLvl"); // (0), (1)
inline const QString LSN = QStringLiteral("LSN");         // (0), (1)
inline const QString LTiming = QStringLiteral("LTiming"); // (0), (1)
inline const QString LFQ = QStringLiteral("LFQ");
inline const QString LLang = QStringLiteral("LLang");
inline const QString SoundStatus = QStringLiteral("SoundStatus"); // what the sound card does
inline const QString ListStatus = QStringLiteral("ListStatus");   // a callsign list not read
// menus
inline const QString ex = QStringLiteral("ex");       // "Exit"
inline const QString SFile = QStringLiteral("SFile"); // "Send File"
inline const QString DF = QStringLiteral("DF");       // "Sound  RX" default
inline const QString S = QStringLiteral("S");         // S0..S9
inline const QString TXDF = QStringLiteral("TXDF");   // "Sound TX" default
inline const QString TXS = QStringLiteral("TXS");     // TXS0..TXS9
inline const QString mnuSetNotch = QStringLiteral("mnuSetNotch");
inline const QString mnuDelAllNotches = QStringLiteral("mnuDelAllNotches");
inline const QString mnuTxCarrier = QStringLiteral("mnuTxCarrier");
inline const QString HH = QStringLiteral("HH"); // "Help"

constexpr int kFunctionKeys = 11;
constexpr int kSoundEntries = 10;
constexpr int kStoredSoundEntries = 4; // only S0..S3 / TXS0..TXS3 are kept in the file

// The second channel's controls, shown only in dual mode.
QStringList secondChannelControls();
QStringList speedItems(int channel);
QStringList carrierItems();

} // namespace TermCtl

void populateTerminalControls(ControlStore& store);
