#pragma once

#include <QString>
#include <QStringList>
#include <deque>

// The echoes of the logger's frequency sets, each held for its pause and handed out in the
// order of the sets: a set that comes during another's pause must not overtake it (WSJT-X sets
// the frequency twice as it starts and reads the echoes in turn).
class EchoQueue {
public:
    // Holds an echo until `due` (monotonic seconds); the ticket tells when it has gone out.
    quint64 hold(const QString& echo, double due);
    // The echoes at the front whose time has come, in order.
    QStringList takeDue(double now);
    // The pause of `ticket` is over: it goes, with every echo held before it.
    QStringList takeUpTo(quint64 ticket);
    bool isOut(quint64 ticket) const { return ticket < out_; }
    // The logger they were owed to has gone: none of them is handed to the next one.
    void dropAll() {
        held_.clear();
        out_ = next_;
    }

private:
    struct Held {
        double due;
        QString text;
    };
    QStringList takeFront(qsizetype count);

    std::deque<Held> held_;
    quint64 next_ = 0; // the ticket of the next echo held
    quint64 out_ = 0;  // every ticket below this has gone out
};
