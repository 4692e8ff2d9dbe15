#include "Varicode.h"

#include <optional>

#include <QHash>

namespace Varicode {
namespace {

const char* const kCodes[128] = {
    "1010101011", "1011011011", "1011101101", "1101110111", "1011101011", "1101011111",
    "1011101111", "1011111101", "1011111111", "11101111",   "11101",      "1101101111",
    "1011011101", "11111",      "1101110101", "1110101011", "1011110111", "1011110101",
    "1110101101", "1110101111", "1101011011", "1101101011", "1101101101", "1101010111",
    "1101111011", "1101111101", "1110110111", "1101010101", "1101011101", "1110111011",
    "1011111011", "1101111111", "1",          "111111111",  "101011111",  "111110101",
    "111011011",  "1011010101", "1010111011", "101111111",  "11111011",   "11110111",
    "101101111",  "111011111",  "1110101",    "110101",     "1010111",    "110101111",
    "10110111",   "10111101",   "11101101",   "11111111",   "101110111",  "101011011",
    "101101011",  "110101101",  "110101011",  "110110111",  "11110101",   "110111101",
    "111101101",  "1010101",    "111010111",  "1010101111", "1010111101", "1111101",
    "11101011",   "10101101",   "10110101",   "1110111",    "11011011",   "11111101",
    "101010101",  "1111111",    "111111101",  "101111101",  "11010111",   "10111011",
    "11011101",   "10101011",   "11010101",   "111011101",  "10101111",   "1101111",
    "1101101",    "101010111",  "110110101",  "101011101",  "101110101",  "101111011",
    "1010101101", "111110111",  "111101111",  "111111011",  "1010111111", "101101101",
    "1011011111", "1011",       "1011111",    "101111",     "101101",     "11",
    "111101",     "1011011",    "101011",     "1101",       "111101011",  "10111111",
    "11011",      "111011",     "1111",       "111",        "111111",     "110111111",
    "10101",      "10111",      "101",        "110111",     "1111011",    "1101011",
    "11011111",   "1011101",    "111010101",  "1010110111", "110111011",  "1010110101",
    "1011010111", "1110110101",
};

const QHash<QByteArray, char>& table() {
    static const QHash<QByteArray, char> byBits = [] {
        QHash<QByteArray, char> map;
        for (int c = 0; c < 128; ++c)
            map.insert(QByteArray(kCodes[c]), char(c));
        return map;
    }();
    return byBits;
}

// The characters of a run of bits, when each of its words (split at two zeros or more) is one.
std::optional<QByteArray> charactersOf(const QByteArray& bits) {
    QByteArray out;
    qsizetype at = 0;
    while (at < bits.size()) {
        while (at < bits.size() && bits[at] == '0')
            ++at;
        if (at == bits.size())
            break;
        qsizetype end = bits.indexOf("00", at);
        if (end < 0)
            end = bits.endsWith('0') ? bits.size() - 1 : bits.size();
        const auto found = table().constFind(bits.mid(at, end - at));
        if (found == table().cend())
            return std::nullopt;
        out.append(found.value());
        at = end;
    }
    return out;
}

} // namespace

QByteArray encode(unsigned char character) {
    return character < 128 ? QByteArray(kCodes[character]) : QByteArray();
}

QByteArray Decoder::push(bool bit, double margin) {
    if (bit) {
        if (zeros_ == 1 && length_ < kLongest) { // a single zero inside the word
            bits_[length_] = '0';
            margins_[length_++] = pendingZeroMargin_;
        }
        zeros_ = 0;
        if (length_ < kLongest) {
            bits_[length_] = '1';
            margins_[length_++] = margin;
        } else {
            overflowed_ = true;
        }
        return {};
    }
    if (++zeros_ == 1)
        pendingZeroMargin_ = margin;
    if (zeros_ != 2 || length_ == 0)
        return {};
    // Two zeros: the word is complete.
    const QByteArray word(bits_, length_);
    const bool tooLong = overflowed_;
    length_ = 0;
    overflowed_ = false;
    if (tooLong) // a steady carrier, or noise: nothing to mend
        return {};
    if (const auto found = table().constFind(word); found != table().cend())
        return QByteArray(1, found.value());
    return mend(word);
}

QByteArray Decoder::mend(const QByteArray& word) const {
    // Bit k and, for a symbol pair, bit k + 1 flip together, at the cost of bit k's margin.
    // The flip must leave the word's ends as they are (they border on its separators).
    const int width = errors_ == Errors::SymbolPairs ? 2 : 1;
    QByteArray best;
    double bestCost = 0;
    for (int k = 0; k + width <= word.size(); ++k) {
        if (margins_[k] < 0 || (!best.isEmpty() && margins_[k] >= bestCost))
            continue;
        QByteArray flipped = word;
        for (int i = k; i < k + width; ++i)
            flipped[i] = flipped[i] == '1' ? '0' : '1';
        if (flipped.startsWith('0') || flipped.endsWith('0'))
            continue;
        if (const auto characters = charactersOf(flipped); characters && !characters->isEmpty()
                && characters->size() <= 2) {
            best = *characters;
            bestCost = margins_[k];
        }
    }
    return best;
}

} // namespace Varicode
