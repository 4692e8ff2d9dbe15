#pragma once

#include <QString>

// The station server's words for keying, status and power, spelled here and nowhere else:
// every part of the program that keys the transmitter or asks the station says it this way.
namespace StationLines {

inline QString keyDown() { return QStringLiteral("A0:MX1;"); }
inline QString keyUp() { return QStringLiteral("A0:MX0;"); }
inline QString keying(bool down) { return down ? keyDown() : keyUp(); }
// Asks for a full status report (the IF report); also the link's "are you there".
inline QString statusRequest() { return QStringLiteral("A0:IF;"); }
inline QString powerOff() { return QStringLiteral("A0:PS0;"); }
inline QString voxOff() { return QStringLiteral("A0:VX0;"); }

// A frequency set ("FA" / "A0:FA" + 8 digits) carries at most this many hertz: higher ones
// cannot be told to the station at all, and are refused rather than cut.
inline constexpr qint64 kHighestSetHz = 99'999'999;

// The markers of the reports the station sends that the report pass reads.
inline constexpr const char* kReportKeywords[] = {"MG", "MD", "MK", "XT", "IF", "RT", "FA", "FB", "IA"};

} // namespace StationLines
