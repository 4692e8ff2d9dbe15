#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class RigctlRig;

// One client of the Hamlib network protocol (what rigctld serves and Hamlib's model 2, "NET
// rigctl", speaks): lines of commands, short ("f", "F 14025000", several in a line as "fmv")
// or long ("\get_freq"), each answered in the plain form, or in the extended form when it
// begins with "+" (or ";", "|", "," to separate the answer's parts on one line). Errors are
// "RPRT -n" as rigctld gives them. Bytes in, answers out; no socket inside.
class RigctlSession {
public:
    // A line longer than this is refused whole (RPRT -1); one that does not end ends the session.
    static constexpr qsizetype kMaxLine = 4096;
    struct Command; // one of the protocol's commands (the table is beside the code)

    explicit RigctlSession(RigctlRig& rig) : rig_(rig) {}

    // What the client sent; returns the answers to the complete lines in it.
    QByteArray feed(const QByteArray& bytes);
    // The client asked to close (q), or sent a line too long to be a command.
    bool wantsClose() const { return close_; }
    // This client's T 1 holds the transmitter (no T 0 since).
    bool holdsTransmitter() const { return keyed_; }

    // What "\dump_state" tells a client of the rig's abilities.
    QByteArray dumpState() const;
    static QByteArray dumpCaps();

private:
    struct Answer {
        int code = 0;       // RPRT code
        QStringList values; // "Label: value" pairs as label + '\n' + value
        bool isSet = false; // a set: "RPRT n" in the plain form
    };
    QByteArray runLine(const QString& line);
    QByteArray answerOne(const Command& command, const QStringList& words, QChar separator);
    Answer run(QLatin1String name, const QStringList& words);
    Answer read(QLatin1String name, const QStringList& words) const;
    Answer set(QLatin1String name, const QStringList& words);
    Answer setFrequency(const QString& text);
    Answer sendMorse(const QString& text);
    Answer setPtt(bool on);
    Answer setLevel(const QString& level, const QString& value);
    Answer get(std::initializer_list<std::pair<const char*, QString>> values) const;
    static Answer failed(int code);
    static Answer done();

    RigctlRig& rig_;
    QByteArray pending_;
    bool close_ = false;
    bool keyed_ = false;
};
