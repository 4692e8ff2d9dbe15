#pragma once

#include <QByteArray>
#include <QString>

// PSK31's varicode: every character a run of bits with no two zeros together, characters
// separated by "00". The common letters are the shortest.
namespace Varicode {

// The code of a character (0..127) as '0'/'1' text; empty for others.
QByteArray encode(unsigned char character);

// Bits in, characters out.
//
// A bit may come with how sure its symbol was (BPSK's distance from the decision line). A
// word that is no character is then mended as the likeliest single symbol error would have
// spoiled it: in differential PSK a wrong symbol flips the two bits it stands between, so a
// pair of bits is flipped where its symbol was the least sure, into one character or two (a
// separator turned into "11" had joined them). Without margins an unknown word is dropped.
class Decoder {
public:
    static constexpr double kHard = -1; // a bit without a margin
    // Takes one bit; returns the characters it completes (none, one, or two when a word is
    // mended into two).
    QByteArray push(bool bit, double margin = kHard);
    void reset() { length_ = 0; zeros_ = 0; }

private:
    static constexpr int kLongest = 24; // two of the longest words joined; longer ones are noise
    QByteArray mend(const QByteArray& word) const;
    char bits_[kLongest] = {};       // the word so far, '0'/'1'
    double margins_[kLongest] = {};  // how sure each bit's symbol was
    int length_ = 0;
    int zeros_ = 0;
    double pendingZeroMargin_ = kHard;
};

} // namespace Varicode
