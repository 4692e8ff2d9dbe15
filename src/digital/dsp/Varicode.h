#pragma once

#include <QByteArray>
#include <QString>

// PSK31's varicode: every character a run of bits with no two zeros together, characters
// separated by "00". The common letters are the shortest.
namespace Varicode {

// The code of a character (0..127) as '0'/'1' text; empty for others.
QByteArray encode(unsigned char character);

// Bits in, characters out.
class Decoder {
public:
    // Takes one bit; returns the character it completes, or -1.
    int push(bool bit);
    void reset() { bits_ = 0; zeros_ = 0; }

private:
    quint32 bits_ = 0; // the bits of the character so far, first bit highest
    int length_ = 0;
    int zeros_ = 0;
};

} // namespace Varicode
