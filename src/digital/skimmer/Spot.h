#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <map>

// A station heard by the skimmer, as a DX cluster spots it.
struct Spot {
    QString spotter; // the operator's call and "-#", as skimmers sign
    double rfHz = 0; // the station's frequency on the air
    QString call;
    QString mode;    // "CW", "PSK31", "RTTY"
    int snrDb = 0;
    int wpm = 0;     // CW's speed; 0 for the other modes
    bool calledCq = false;
    QDateTime utc;
};

namespace SpotLines {

// The conventional DX-cluster spot line (the columns cluster clients parse), for example
// "DX de OH2XX-#:   14025.3  DL1ABC       CW 14 dB 28 WPM CQ             1234Z".
QString line(const Spot& spot);

// Where a tone heard in the receiver's audio is on the air, by the rig's mode (1 LSB, 2 USB,
// 3 CW, 4 FM, 5 AM, 6 RTTY, 7 CW-R): USB (and FM, AM) add the tone to the dial, LSB takes it
// off; CW adds how far the tone is above the CW pitch, CW-R takes that off. In RTTY (FSK) the
// dial shows the mark, which the rig puts at 2125 Hz in the audio, lower tones being higher on
// the air: `toneHz` is then the mark tone.
double rfFrequencyHz(double dialHz, int modeDigit, double toneHz, double cwPitchHz);
constexpr double kFskMarkToneHz = 2125;

} // namespace SpotLines

// The spots handed on: one per call and band in ten minutes, again sooner when the call has
// moved more than 1 kHz; the last thirty kept for "sh/dx".
class SpotBook {
public:
    static constexpr qint64 kRepeatSeconds = 600;
    static constexpr double kMovedHz = 1000;
    static constexpr int kRecent = 30;
    static constexpr int kCallsKept = 5000; // older entries are forgotten beyond this

    // Whether the spot is new enough to hand on; if so it is kept.
    bool admit(const Spot& spot);
    const QList<Spot>& recent() const { return recent_; } // oldest first

private:
    struct Last {
        qint64 seconds;
        double rfHz;
    };
    std::map<QString, Last> last_; // by call and band
    QList<Spot> recent_;
};
