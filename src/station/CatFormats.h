#pragma once

#include <QString>

// The records the program sends to the logger as a Kenwood-style transceiver.
namespace CatFormats {

inline const QString kIdentity = QStringLiteral("ID009;");
inline const QString kFilter = QStringLiteral("FL000000;");

// The frequency box's kHz text as 11 digits in Hz ("14025.00" gives 00014025000,
// "14000.5" gives 00014000500). What is no number counts as 0; values are held to what
// 11 digits can say.
QString frequencyField(const QString& startFreqText);
// A frequency in Hz as those 11 digits.
QString fieldOfHz(qint64 hz);

// The 38-character answer to "IF;":
// IF, frequency (11), five blanks, clarifier offset (5), RIT, XIT, "000", transmit/receive,
// mode digit, "0000000", ";".
QString statusRecord(const QString& frequencyField, const QString& clarifierOffset, int ritOn,
                     int xitOn, int modeDigit, bool transmitting);

// "FA" or "FB" with the frequency and ";". VFO B always reports VFO A.
QString frequencyAnswer(char vfo, const QString& frequencyField);

// The answer to the mode query "MD;": "MD" + mode digit + ";".
QString modeAnswer(int modeDigit);

// The answer to the filter width query "FW;": a fixed width for the mode, as four digits in Hz
// (LSB/USB 2400, CW/CWR/RTTY 500, AM 6000; FM 0000, the normal filter). The station reports no
// filter; Hamlib's TS-480 asks for one to tell the passband with every mode read.
QString filterWidthAnswer(int modeDigit);

// The answer to the power query "PS;".
QString powerAnswer(bool on);

} // namespace CatFormats
