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
// A bit may come with how sure it was (BPSK's distance from the decision line, the QPSK
// decoder's lead over the path that decided otherwise). A word that is no character is then
// mended as the likeliest single error would have spoiled it, into one character or two (a
// separator spoiled had joined them): in differential BPSK a wrong symbol flips the two bits
// it stands between, so the pair is flipped where its symbol was the least sure; QPSK's
// decoder mostly errs by one bit. Without margins an unknown word is dropped.
class Decoder {
public:
    enum class Errors { SymbolPairs, SingleBits };
    explicit Decoder(Errors errors = Errors::SymbolPairs) : errors_(errors) {}
    static constexpr double kHard = -1; // a bit without a margin
    // Takes one bit; returns the characters it completes (none, one, or two when a word is
    // mended into two).
    QByteArray push(bool bit, double margin = kHard);
    void reset() { length_ = 0; zeros_ = 0; overflowed_ = false; }

private:
    static constexpr int kLongest = 24; // two of the longest words joined; longer ones are noise
    QByteArray mend(const QByteArray& word) const;
    char bits_[kLongest] = {};       // the word so far, '0'/'1'
    double margins_[kLongest] = {};  // how sure each bit's symbol was
    Errors errors_;
    int length_ = 0;
    int zeros_ = 0;
    bool overflowed_ = false; // the word ran past kLongest bits
    double pendingZeroMargin_ = kHard;
};

} // namespace Varicode
