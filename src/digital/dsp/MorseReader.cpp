#include "MorseReader.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <cmath>

namespace {
constexpr double kShortestDashShare = 2.0; // a dash is at least this many dots
constexpr double kShortestLearnedShare = 0.5; // of a dot
constexpr double kLongestLearnedShare = 1.6;  // of a dash: two run together are longer
constexpr double kMostChange = 0.08;          // of the dot, per element learned
constexpr double kFirstChange = 0.3;          // ... while a new sender's speed is learned
constexpr int kUnknownToRelearn = 3;
constexpr unsigned kLatelyMask = 0xFF;        // the last eight elements learnable
constexpr int kTooLongToRelearn = 3;
constexpr double kUnitGain = 0.1;
constexpr double kOwnGapShare = 2.0;          // of the longest gap inside the character
constexpr double kOwnDashShare = 2.0 / 3;     // of its longest element: two dots of a dash

const QHash<QString, QChar>& table() {
    static const QHash<QString, QChar> byElements = [] {
        const char* const codes[][2] = {
            {".-", "A"},     {"-...", "B"},   {"-.-.", "C"},   {"-..", "D"},    {".", "E"},
            {"..-.", "F"},   {"--.", "G"},    {"....", "H"},   {"..", "I"},     {".---", "J"},
            {"-.-", "K"},    {".-..", "L"},   {"--", "M"},     {"-.", "N"},     {"---", "O"},
            {".--.", "P"},   {"--.-", "Q"},   {".-.", "R"},    {"...", "S"},    {"-", "T"},
            {"..-", "U"},    {"...-", "V"},   {".--", "W"},    {"-..-", "X"},   {"-.--", "Y"},
            {"--..", "Z"},   {"-----", "0"},  {".----", "1"},  {"..---", "2"},  {"...--", "3"},
            {"....-", "4"},  {".....", "5"},  {"-....", "6"},  {"--...", "7"},  {"---..", "8"},
            {"----.", "9"},  {"-..-.", "/"},  {"..--..", "?"}, {".-.-.-", "."}, {"--..--", ","},
            {"-...-", "="},  {".-.-.", "+"},  {"-....-", "-"}, {".----.", "'"}, {"-.--.", "("},
            {"-.--.-", ")"}, {"---...", ":"}, {".--.-.", "@"}, {".-..-.", "\""}};
        QHash<QString, QChar> map;
        for (const auto& code : codes)
            map.insert(QString::fromLatin1(code[0]), QChar::fromLatin1(code[1][0]));
        return map;
    }();
    return byElements;
}
} // namespace

QChar MorseReader::character(const QString& elements) {
    return table().value(elements, QChar());
}

void MorseReader::keyDown(double ms, bool learn) {
    // A dot and the gap after it inside a character are two units however the key's edges
    // are judged (a threshold that lengthens the one shortens the other): the speed shown.
    if (learn && previousWasDot_ && gapMs_ > 0 && gapMs_ < characterGapMs()) {
        const double unit = (previousMs_ + gapMs_) / 2;
        unitMs_ = unitMs_ > 0 ? unitMs_ + kUnitGain * (unit - unitMs_) : unit;
    }
    if (elementCount_ > 0)
        longestInnerGapMs_ = std::max(longestInnerGapMs_, gapMs_);
    previousMs_ = ms;
    previousWasDot_ = ms < std::sqrt(dotMs_ * dashMs_);
    gapMs_ = 0;
    // Much shorter than a dot is a burst of noise; much longer than a dash, a carrier or noise
    // that held the key down: neither teaches the sender's speed.
    const bool settled = recentCount_ >= kRecent; // before, a new sender's speed is learned freely
    const bool tooLong = settled && ms >= kLongestLearnedShare * dashMs_;
    if (learn && ms > kShortestLearnedShare * dotMs_) {
        // Dashes keep coming too long to learn from: the speed learned is too fast (learned
        // from bursts of noise while a signal faded), and would stay so. It is learned again.
        tooLongLately_ = (tooLongLately_ << 1 | unsigned(tooLong)) & kLatelyMask;
        if (std::popcount(tooLongLately_) >= kTooLongToRelearn) {
            recentCount_ = 0;
            tooLongLately_ = 0;
        }
        if (!tooLong || recentCount_ == 0) {
            recent_[size_t(recentCount_++ % recent_.size())] = ms;
            relearn();
        }
    }
    // Told dot from dash when the character ends, by what has been learned by then: the first
    // character is read by its own elements.
    if (elementCount_ < int(elements_.size()))
        elements_[size_t(elementCount_)] = ms;
    ++elementCount_; // longer than any character: it is read as none
}

// The last elements fall into two groups, dots and dashes: the split that parts their
// logarithms best (Otsu's rule). When all are alike ("EEE", "TTT", "5") the lengths learned
// before stay.
void MorseReader::relearn() {
    const size_t n = std::min<size_t>(size_t(recentCount_), recent_.size());
    std::array<double, kRecent> sorted{};
    for (size_t i = 0; i < n; ++i)
        sorted[i] = std::log(recent_[i]);
    std::sort(sorted.begin(), sorted.begin() + long(n));
    double best = -1, dotLog = 0, dashLog = 0, total = 0;
    for (size_t i = 0; i < n; ++i)
        total += sorted[i];
    double below = 0;
    for (size_t i = 1; i < n; ++i) {
        below += sorted[i - 1];
        const double lower = below / double(i), upper = (total - below) / double(n - i);
        const double parting = double(i) * double(n - i) * (upper - lower) * (upper - lower);
        if (parting > best) {
            best = parting;
            dotLog = lower;
            dashLog = upper;
        }
    }
    if (n < 4 || best < 0 || dashLog - dotLog < std::log(kShortestDashShare * 0.9))
        return;
    // A step at a time: a burst of noise or two elements run together move it little, a
    // sender who changes speed moves it within a few characters.
    const double step = recentCount_ > kRecent ? kMostChange : kFirstChange;
    const double dot = std::clamp(std::exp(dotLog), dotMs_ * (1 - step), dotMs_ * (1 + step));
    const double dash = std::clamp(std::exp(dashLog), dashMs_ * (1 - step), dashMs_ * (1 + step));
    dotMs_ = std::clamp(dot, kFastestDotMs, kSlowestDotMs);
    dashMs_ = std::clamp(dash, kShortestDashShare * 0.9 * dotMs_, 5 * dotMs_);
}

QString MorseReader::keyUp(double ms) {
    gapMs_ = ms;
    // A gap inside a character is as long as a dot: when the speed is not learned yet, the
    // gaps already inside this character, or its longest element taken for a dash, tell it
    // from the gap after the character.
    double longest = 0;
    for (int i = 0; i < elementCount_ && i < int(elements_.size()); ++i)
        longest = std::max(longest, elements_[size_t(i)]);
    const double ownGap = recentCount_ < kRecent / 2
        ? std::max(kOwnGapShare * longestInnerGapMs_, kOwnDashShare * longest) : 0.0;
    if (elementCount_ > 0 && ms >= std::max(characterGapMs(), ownGap)) {
        QString elements;
        // Nearer the dot or the dash, the two measured as ratios: a dash is a multiple of a dot.
        for (int i = 0; i < elementCount_ && i < int(elements_.size()); ++i)
            elements += elements_[size_t(i)] > std::sqrt(dotMs_ * dashMs_) ? u'-' : u'.';
        const QChar c = elementCount_ <= int(elements_.size()) ? character(elements) : QChar();
        elementCount_ = 0;
        longestInnerGapMs_ = 0;
        // Characters that are none, one after another: the speed learned is wrong (learned
        // from noise, or from the first elements of a sender whose first character was
        // spoiled). It is learned again from the next elements.
        unknownInARow_ = c.isNull() ? unknownInARow_ + 1 : 0;
        if (unknownInARow_ >= kUnknownToRelearn) {
            recentCount_ = 0;
            unknownInARow_ = 0;
        }
        wordEnded_ = false;
        if (!c.isNull()) {
            heardCharacter_ = true;
            return QString(c);
        }
        return {};
    }
    if (!wordEnded_ && elementCount_ == 0 && ms >= wordGapMs()) {
        wordEnded_ = true;
        return QStringLiteral(" ");
    }
    return {};
}

int MorseReader::wpm() const {
    if (!heardCharacter_)
        return 0;
    return int(std::lround(1200.0 / (unitMs_ > 0 ? unitMs_ : dotMs_)));
}
