#pragma once

#include <QString>

// The Morse patterns the side tone sounds: dots and dashes, or " " for a word gap.
namespace MorseTable {

// The pattern of an upper-case character; empty for a character that has none.
QString patternFor(QChar character);

} // namespace MorseTable
