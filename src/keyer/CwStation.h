#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

class Clock;
class ControlStore;
class ServerLine;
class SideTone;

// The one way CW reaches the station, whoever asks for it (the keyer port, the radio port's
// KY, the cwdaemon endpoint): "WK:c;" a character and "WT:nn|26;" for a speed, in the order
// asked, with the characters queued for the local side tone. Everything runs on one thread,
// so one request's text goes out whole and two never interleave inside a word.
//
// The station protocol cannot take a character back. So, when the operator chooses to hold
// CW back, characters are handed to the station only as far ahead of their reckoned keying as
// the lead, and an abort (the logger's Esc) drops what is still held here: at most a lead's
// worth of CW reaches the air after it. Off, every character goes at once, as always.
class CwStation {
public:
    static constexpr int kLowestSpeed = 5;
    static constexpr int kHighestSpeed = 99;
    static constexpr int kDefaultSpeed = 24;
    static constexpr double kDefaultLeadSeconds = 2.0;
    // CW waiting to be keyed is bounded: a logger's runaway message (10,000 characters, 82
    // minutes) would otherwise hold the transmitter for hours, out of anyone's reach without the
    // hold. What goes past this is refused and told.
    static constexpr double kMostWaitingSeconds = 180.0;

    struct Context {
        ServerLine& server;
        ControlStore& store; // the CW speed box and "Local Side Tone"
        SideTone& sideTone;
        const Clock& clock; // when what was handed over will have been keyed
        std::function<void(const QString&)> tell = [](const QString&) {}; // for the monitor and the log
    };
    // For the keyer port's logger, as a WinKeyer tells it: a character of its text handed on,
    // and everything gone out (only while CW is held back).
    struct Listener {
        std::function<void(QChar)> echo;
        std::function<void()> idle;
    };

    explicit CwStation(Context context) : ctx_(context) {}

    // Text as a logger sends it: letters in either case; characters that have no Morse code
    // (and line ends) are left out. Returns what was taken to be keyed.
    QString sendText(const QString& text);
    // Station lines the keyer port's pass made, and the characters for the side tone;
    // `fromKeyerPort` text is echoed to the keyer port's logger as it goes. Returns how many
    // characters were taken (the rest was beyond the bound).
    int sendKeyerLines(const QStringList& lines, const QString& sideTone, bool fromKeyerPort = false);
    // A speed in words per minute; out of range, nothing changes. False when refused.
    bool setSpeed(int wordsPerMinute);
    // A speed the station was already told (the keyer port's pass sent its own line): kept
    // and shown in the box, nothing sent.
    void noteSpeed(int wordsPerMinute);
    // What the operator typed into the box (or the settings file put there): kept as it is.
    void takeTypedSpeed(int wordsPerMinute) { speed_ = wordsPerMinute; }
    int speed() const { return speed_; }

    void setHoldBack(bool on, double leadSeconds);
    bool holdsBack() const { return holdBack_; }
    void setListener(Listener listener) { listener_ = std::move(listener); }
    // The 100 ms tick: hands on what has come within the lead.
    void tick();
    int heldCount() const { return int(held_.size()); }
    // When the CW handed over so far will have gone out at the station's keyer (monotonic
    // seconds, reckoned at the speed of the moment: the station says nothing of it).
    double airEndsAt() const { return airEndsAt_; }
    // When everything asked for so far will have gone out: what was handed over, then what is
    // still held here, each character at the speed it was asked at.
    double allSentAt() const;
    // The operator's abort (cwdaemon's ESC 4, the WinKeyer's clear buffer, KY0;): what is held
    // here is dropped; what the station already has goes out.
    void abort();
    // The link to the station is gone: what is held is dropped, so that an old message does
    // not go on the air after the next connect.
    void linkGone() { abort(); }
    // The keyer port's logger has closed the port: the characters it sent that are still
    // held are dropped (no one is left to stop them); those of other doors go on.
    void keyerPortClosed();

private:
    struct Held {
        QString line;
        QChar keyed; // null for a speed line
        bool echo;   // a character of the keyer port's logger, echoed to it as it goes
        int wpm;     // the speed it was asked at
    };
    static double secondsOf(QChar keyed, int wpm);
    void tellRefused(int characters);
    void tellRefusedSoFar();
    void hand(const Held& held);
    void reckon(QChar keyed);

    Context ctx_;
    int speed_ = kDefaultSpeed; // the CW speed box shows it
    Listener listener_;
    std::deque<Held> held_;
    bool holdBack_ = false;
    double leadSeconds_ = kDefaultLeadSeconds;
    bool idleOwed_ = false; // the keyer port's logger waits to hear that all has gone out
    double airEndsAt_ = 0.0;
    // Refusals are told at most every ten seconds, summed: a logger sending letter by letter
    // must not write a line a letter into the log.
    static constexpr double kTellEverySeconds = 10.0;
    int refusedUntold_ = 0;
    double lastToldAt_ = -1e300;
};
