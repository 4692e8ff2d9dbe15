#pragma once

#include <QString>

// The station server's words, spelled here and nowhere else: every part of the program that
// keys the transmitter, sends CW, sets the rig, logs in or asks the station says it this way.
namespace StationLines {

// A rig command for the station's radio ("FA00014025000;" -> "A0:FA00014025000;").
inline QString toRadio(const QString& command) { return QStringLiteral("A0:") + command; }

inline QString keyDown() { return QStringLiteral("A0:MX1;"); }
inline QString keyUp() { return QStringLiteral("A0:MX0;"); }
inline QString keying(bool down) { return down ? keyDown() : keyUp(); }
// Asks for a full status report (the IF report); also the link's "are you there".
inline QString statusRequest() { return QStringLiteral("A0:IF;"); }
// The station's own status record told back to it: "A0:IF" + the 11-digit frequency, the
// clarifier offset, RIT, XIT, the mode digit and "00000;".
inline QString statusEcho(const QString& frequencyField, const QString& clarifierOffset, int rit, int xit,
                          int modeDigit) {
    return toRadio(QStringLiteral("IF") + frequencyField + clarifierOffset + QString::number(rit) +
                   QString::number(xit) + QString::number(modeDigit) + QStringLiteral("00000;"));
}
inline QString powerOff() { return QStringLiteral("A0:PS0;"); }
inline QString voxOff() { return QStringLiteral("A0:VX0;"); }
// The logger's frequency set as it goes on to the station: "FA" + 8 digits of hertz + ";", as
// the logger wrote it but without the "A0:" of the program's own sets.
inline QString loggerFrequencySet(qint64 hz) {
    return QStringLiteral("FA%1;").arg(hz, 8, 10, QLatin1Char('0'));
}
// A frequency set from its 11 digits of hertz, of which the station takes the last 8.
inline QString frequencySet(const QString& elevenDigits) {
    return toRadio(QStringLiteral("FA") + elevenDigits.mid(3) + u';');
}
// The mode by its digit in the rig's list (1 LSB ... 9 FSK-R).
inline QString modeSet(int digit) { return toRadio(QStringLiteral("MD0%1;").arg(digit)); }
// RIT or XIT ("RT" / "XT") on or off.
inline QString clarifierSet(const QString& mnemonic, int on) {
    return toRadio(QStringLiteral("%1%2;").arg(mnemonic).arg(on));
}

// CW: a character for the station's keyer, and the keyer's speed (as the box shows it).
inline QString cwCharacter(QChar c) { return QStringLiteral("WK:") + c + u';'; }
inline bool isCwCharacter(const QString& line) {
    return line.size() == 5 && line.startsWith(QStringLiteral("WK:"));
}
inline QString cwSpeed(const QString& speedText) { return QStringLiteral("WT:") + speedText + QStringLiteral("|26;"); }

// The answers to the station's login questions.
inline QString callsignAnswer(const QString& call) { return QStringLiteral("MG:Callsign ") + call + u';'; }
inline QString passwordAnswer(const QString& password) { return QStringLiteral("MG:Password ") + password + u';'; }
// The login questions and the station's word that the login was accepted, as they appear in
// its chunks (the callsign question in any case), and our acknowledgement of it.
inline bool asksForCallsign(const QString& chunk) { return chunk.toUpper().contains(QStringLiteral("CALL")); }
inline bool asksForPassword(const QString& chunk) { return chunk.contains(QStringLiteral("Pass")); }
inline bool saysLoginAccepted(const QString& chunk) { return chunk.contains(QStringLiteral("Login OK")); }
inline QString loginAcknowledgement() { return QStringLiteral("R"); }
// Asks for the station's log (the chat hands its tail out).
inline QString logRequest() { return QStringLiteral("A0:LOG;"); }
// What a chat line from the station starts with; it ends at the next ";".
inline QString chatMarker() { return QStringLiteral("A0:MSG"); }

// A frequency set ("FA" / "A0:FA" + 8 digits) carries at most this many hertz: higher ones
// cannot be told to the station at all, and are refused rather than cut.
inline constexpr qint64 kHighestSetHz = 99'999'999;

// What the station's chunks report of the rig: its power, its transmitter, the RTTY level
// ("RL:" + a number), and the words that show someone is working it (a frequency, a CW
// character, the keying).
inline constexpr const char* kRigPoweredOn = "PS1;";
inline constexpr const char* kRigPoweredOff = "PS0;";
inline constexpr const char* kTransmitterKeyed = "MX1;";
inline constexpr const char* kTransmitterReleased = "MX0;";
inline constexpr const char* kRttyLevel = "RL:";
inline constexpr const char* kVoxOn = "VX1;"; // answered with voxOff()
inline constexpr const char* kActivityWords[] = {"FA", "FB", "WK", "MX"};

// The markers of the reports the station sends, as the report pass reads them: its messages
// ("MG"), the status record, the other status record the status line shows ("AF"), the mode,
// the other mode report ("MK", which puts the rig in LSB), RIT and XIT, a text ("IA"), and the
// two VFOs.
namespace Report {
inline const QString kMessage = QStringLiteral("MG");
inline const QString kStatus = QStringLiteral("IF");
inline const QString kOtherStatus = QStringLiteral("AF");
inline const QString kMode = QStringLiteral("MD");
inline const QString kOtherMode = QStringLiteral("MK");
inline const QString kRit = QStringLiteral("RT");
inline const QString kXit = QStringLiteral("XT");
inline const QString kText = QStringLiteral("IA");
inline const QString kVfoA = QStringLiteral("FA");
inline const QString kVfoB = QStringLiteral("FB");
} // namespace Report

// The markers of the reports the station sends that the report pass reads.
inline const QString kReportKeywords[] = {Report::kMessage, Report::kMode,   Report::kOtherMode,
                                         Report::kXit,     Report::kStatus, Report::kRit,
                                         Report::kVfoA,    Report::kVfoB,   Report::kText};

} // namespace StationLines
