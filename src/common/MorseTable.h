#pragma once

#include <QString>

// The Morse code: the patterns the side tone sounds, and the keying the skimmer compares words
// by. Dots and dashes, or " " for a word gap.
namespace MorseTable {

// The pattern of an upper-case character; empty for a character that has none.
QString patternFor(QChar character);

} // namespace MorseTable
