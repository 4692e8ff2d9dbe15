#pragma once

#include <QByteArray>
#include <QString>

// The main window's settings file: no keys, one value per line in a fixed order, lines
// ending CR LF. Text lines hold a control's text unchanged; integer lines hold a number
// written with a blank before a value that is not negative.
struct MainSettings {
    QString radioPort;      // 1  radio port name
    QString frequencyKhz;   // 2  VFO A in kHz
    QString serverAddress;  // 3
    QString serverPort;     // 4
    QString loginCallsign;  // 5
    QString loginPassword;  // 6
    int modeIndex = 0;      // 7  mode list index, 0 LSB .. 6 CWR
    int keyerPortIndex = 0; // 8  keyer port list index, 0 = "None"
    int sideToneOn = 0;     // 9
    QString sideTonePitch;  // 10
    QString cwSpeed;        // 11
    int sideToneVolume = 0; // 12
    QString guardTime;      // 13
    int guardOn = 0;        // 14
    QString inactivityTime; // 15
    int inactivityOn = 0;   // 16
    int rttyKeyingOn = 0;   // 17
    int chatServerOn = 0;   // 18
    QString chatPort;       // 19

    bool operator==(const MainSettings&) const = default;
};

namespace SettingsLines {

constexpr int kAllLines = 19;   // what the shut-down writer writes
constexpr int kSavedLines = 12; // what "Save" writes and "Load" reads
// A settings line longer than this is not the program's; the rest of it is ignored.
constexpr int kMaxLineLength = 1000;

// Reads up to `maxLines` lines into `settings`, in order, stopping quietly at the end of
// the content; the values of lines not reached stay as they are. Accepts CR LF, CR or LF
// line ends. Returns the number of lines read.
int read(const QByteArray& content, MainSettings& settings, int maxLines = kAllLines);

// The first `lineCount` lines, each ending CR LF.
QByteArray write(const MainSettings& settings, int lineCount = kAllLines);

} // namespace SettingsLines
