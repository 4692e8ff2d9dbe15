#pragma once

#include <QString>

class Clock;

// What this program owes the station's transmitter. It trusts what the station has been
// heard to get, not what it wrote: a key-up written into a link that has quietly died
// releases nothing.
//
// - keyed: this program sent the key-down and no key-up since;
// - key-up unheard: a key-up followed a hold of ours, and nothing has been read from the
//   station since that was not already waiting when it was written;
// - key-up owed: the link went while either held, or the last run ended (crashed) while it
//   held; the key-up is then the first thing sent after the next login.
//
// While any of them holds, a mark file stands in the working folder, so that a program that
// is killed while keyed knows at its next start that it owes the key-up. A key-up is never
// owed otherwise: another operator may be transmitting through the same station.
class TransmitterHold {
public:
    static inline const QString kMarkFileName = QStringLiteral("ZarnikControl.keyed");

    TransmitterHold(const Clock& clock, QString markPath);

    // At start-up: true when the last run left its mark (it ended while it held the
    // transmitter); the key-up is then owed.
    bool takeOverLeftMark();

    // A line has gone to the station; `alreadyWaiting` bytes the station sent before it had
    // not been read yet (they are no answer to it).
    void noteLineSent(const QString& line, qint64 alreadyWaiting);
    // Bytes read from the station, in the order they came.
    void noteBytesRead(qint64 bytes);
    // The link is gone: a hold becomes a key-up owed. True when one is owed.
    bool noteLinkGone();
    // The owed key-up has been written after a login (it still waits to be heard).
    void noteOwedKeyUpSent();

    bool keyed() const { return keyed_; }
    bool keyUpUnheard() const { return unheard_; }
    bool holds() const { return keyed_ || unheard_; }
    bool keyUpOwed() const { return owed_; }
    // When the key-up that waits to be heard was written (monotonic seconds).
    double keyUpWrittenAt() const { return keyUpWrittenAt_; }
    // Why the mark cannot be kept (empty when it can): a crash would then lose the debt.
    const QString& markProblem() const { return markProblem_; }

private:
    void updateMark();

    const Clock& clock_;
    QString markPath_;
    bool keyed_ = false;
    bool unheard_ = false;
    bool owed_ = false;
    qint64 bytesBeforeAnswer_ = 0; // what was waiting from the station when the key-up went
    double keyUpWrittenAt_ = 0.0;
    bool markStands_ = false;
    QString markProblem_;
};
