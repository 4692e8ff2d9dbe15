#pragma once

#include <QString>
#include <algorithm>
#include <array>

// Reads Morse from the lengths of its key-down and key-up runs, as an ear does: the dot and
// the dash are whatever two lengths the sender uses (a machine's 1:3, a hand's 1:2.5 to 1:4, a
// bug's long dashes), learned from the last elements and followed as the sender speeds up or
// slows down; a gap longer than between elements ends a character, a longer one a word.
class MorseReader {
public:
    static constexpr double kFastestDotMs = 1200.0 / 60; // 60 wpm
    static constexpr double kSlowestDotMs = 1200.0 / 8;  // 8 wpm

    MorseReader() = default;
    // A sender whose dot and dash are known already (to read a word again).
    MorseReader(double dotMs, double dashMs) : dotMs_(dotMs), dashMs_(dashMs), recentCount_(kRecent) {}

    // A key-down of this many milliseconds has ended; `learn`: the sender's speed may be
    // learned from it (not from noise).
    void keyDown(double ms, bool learn = true);
    // The key has been up this long so far: returns what it completes ("" , a character,
    // or a space after a word).
    QString keyUp(double ms);
    // The key-up has ended after this many milliseconds (its last `keyUp` may have come late).
    void keyUpEnded(double ms) { gapMs_ = ms; }
    void reset() { *this = MorseReader(); }

    double dotMs() const { return dotMs_; }
    double dashMs() const { return dashMs_; }
    int wpm() const; // 0 until a character has been read
    // How long a key-up may last before the character ends (two dots), and before the word
    // does (five), whatever a sender's dashes are. A receiver's filter lengthens each key-down
    // and shortens each key-up by as much: counted in the key-downs' dot alone, a fast hand's
    // gaps between characters fell short and ran its characters together ("JH1AB" read
    // "JAB" at +10 dB). So a dot counts halfway towards the unit, a dot and the gap after it
    // halved, once that is heard.
    double characterGapMs() const { return gapUnitMs() + dotMs_; }
    double wordGapMs() const { return 2.5 * (gapUnitMs() + dotMs_); }
    double gapUnitMs() const { return unitMs_ > 0 ? std::clamp(unitMs_, 0.5 * dotMs_, dotMs_) : dotMs_; }

    static QChar character(const QString& elements); // "-.-." -> 'C'; null when none

private:
    static constexpr int kRecent = 12; // elements the dot and dash are learned from
    void relearn();

    // Until a sender is heard: fast, so that the filters, sized by the dot, part fast elements;
    // a slower sender is still read, and the filters then widen for it.
    double dotMs_ = 35, dashMs_ = 105;
    std::array<double, 7> elements_{}; // the key-downs of the character being sent, ms
    int elementCount_ = 0;
    bool wordEnded_ = true;
    bool heardCharacter_ = false;
    std::array<double, kRecent> recent_{};
    long recentCount_ = 0;
    int unknownInARow_ = 0;
    unsigned tooLongLately_ = 0; // of the last elements, those too long to learn from
    double previousMs_ = 0, gapMs_ = 0; // the last key-down, and the key-up since
    bool previousWasDot_ = false;
    double unitMs_ = 0; // a dot's length, from dots and the gaps after them
    double longestInnerGapMs_ = 0; // between the elements of the character being sent
};
