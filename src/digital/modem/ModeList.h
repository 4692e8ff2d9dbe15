#pragma once

#include <QString>
#include <QStringList>

// The modem's modes. Stored terminal settings select standard BPSK as entry 4, so it stays
// there; every entry is a mode the modem really sends and receives.
namespace ModeList {

enum class Kind { Rtty, Bpsk, Qpsk };
inline bool isPsk(Kind kind) { return kind != Kind::Rtty; }

struct Mode {
    QString name;
    Kind kind;
    double shiftHz;   // RTTY
    bool markLower;   // RTTY with the mark on the lower tone
    double defaultBaud;
    QString language; // what the terminal shows for it
};

const QList<Mode>& modes();
int indexOf(const QString& name); // -1 when unknown
inline constexpr int kBpskIndex = 4;

} // namespace ModeList
