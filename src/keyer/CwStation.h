#pragma once

#include <QString>
#include <QStringList>

class Clock;
class ControlStore;
class ServerLine;
class SideTone;

// The one way CW reaches the station, whoever asks for it (the keyer port, the radio port's
// KY, the cwdaemon endpoint): "WK:c;" a character and "WT:nn|26;" for a speed, in the order
// asked, with the characters queued for the local side tone. Everything runs on one thread,
// so one request's text goes out whole and two never interleave inside a word.
class CwStation {
public:
    static constexpr int kLowestSpeed = 5;
    static constexpr int kHighestSpeed = 99;

    struct Context {
        ServerLine& server;
        ControlStore& store; // the CW speed box and "Local Side Tone"
        SideTone& sideTone;
        const Clock& clock; // when what was handed over will have been keyed
    };

    explicit CwStation(Context context) : ctx_(context) {}

    // Text as a logger sends it: letters in either case; characters that have no Morse code
    // (and line ends) are left out. Returns what was keyed.
    QString sendText(const QString& text);
    // Station lines the keyer port's pass made, and the characters for the side tone.
    void sendKeyerLines(const QStringList& lines, const QString& sideTone);
    // A speed in words per minute; out of range, nothing changes. False when refused.
    bool setSpeed(int wordsPerMinute);
    int speed() const;
    // When the CW handed over so far will have gone out at the station's keyer (monotonic
    // seconds, reckoned at the speed of the moment: the station says nothing of it).
    double airEndsAt() const { return airEndsAt_; }
    // The operator's abort (cwdaemon's ESC 4): nothing is held here, so it ends the reckoning;
    // what the station's keyer already has goes out (the station protocol cannot take it back).
    void abort();

private:
    void reckon(const QString& keyed);

    Context ctx_;
    double airEndsAt_ = 0.0;
};
