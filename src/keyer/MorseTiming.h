#pragma once

#include <QChar>
#include <QList>

// How one character is keyed, in Morse units: a dot is one unit, a dash three, one unit
// between elements, three after the character (one plus two), and a space four more.
struct KeyingSpan {
    bool keyDown;
    int units;
    bool operator==(const KeyingSpan&) const = default;
};

namespace MorseTiming {

// The unit in seconds at a speed in words per minute (1.15 / wpm: 57.5 ms at 20 wpm).
double unitSeconds(double wordsPerMinute);

// The key-down and key-up spans of a character, in order; a character without a pattern
// is two units of silence.
QList<KeyingSpan> spansFor(QChar character);

} // namespace MorseTiming
