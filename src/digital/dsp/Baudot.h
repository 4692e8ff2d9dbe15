#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// ITA2 (Baudot) for RTTY: five-bit codes in a letters and a figures shift. The receiver
// returns to letters after a space ("unshift on space"), so the sender shifts to figures
// again after one when a figure follows.
namespace Baudot {

constexpr quint8 kLetters = 0x1F;
constexpr quint8 kFigures = 0x1B;

class Encoder {
public:
    // The codes for the text, with the shifts it needs (unknown characters are left out).
    QList<quint8> encode(const QString& text);
    void reset() { figures_ = false; known_ = false; }

private:
    bool figures_ = false;
    bool known_ = false; // the receiver's shift is known (a shift code has been sent)
};

class Decoder {
public:
    // The character of a code (empty for the shifts and the null).
    QString push(quint8 code);
    void reset() { figures_ = false; }

private:
    bool figures_ = false;
};

} // namespace Baudot
