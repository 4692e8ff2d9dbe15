#include "CallsignPicker.h"

#include "common/MorseTable.h"

#include <QRegularExpression>

#include <algorithm>

#include <utility>

namespace {
// The call proper (prefix, digit, suffix), with a "prefix/" in front or a portable sign after.
const QRegularExpression kCallsign(QStringLiteral(
    "^(?:[A-Z0-9]{1,4}/)?(?:[A-Z]{1,2}|[0-9][A-Z]{1,2}|[A-Z][0-9][A-Z]?)[0-9][A-Z]{1,4}"
    "(?:/(?:P|M|MM|AM|QRP|[0-9]))?$"));

// The call without "prefix/" and without what follows a "/": who it is.
QString baseCall(const QString& call) {
    QStringList parts = call.split(u'/');
    QString longest;
    for (const QString& part : parts)
        if (part.size() > longest.size())
            longest = part;
    return longest;
}
// A word's keying with its character gaps left out. A gap heard where there was none, or lost
// where there was one, changes the letters but not this: "TEA", "X" and "TU" are all "-..-".
QString keyingOf(const QString& word) {
    QString keying;
    for (const QChar c : word) {
        const QString pattern = MorseTable::patternFor(c);
        if (pattern.isEmpty() || pattern == u" ")
            return QStringLiteral("?");
        keying += pattern;
    }
    return keying;
}

// How long a word is keyed, in dots: a dash three, a gap inside a character one, between
// characters three.
int dotsKeyed(const QString& word) {
    int dots = 0;
    for (const QChar c : word) {
        const QString pattern = MorseTable::patternFor(c);
        if (dots > 0)
            dots += 3;
        for (const QChar element : pattern)
            dots += element == u'-' ? 4 : 2;
        dots -= pattern.isEmpty() ? 0 : 1;
    }
    return dots;
}

// Whether the two differ in one character: one changed, left out or put in.
bool oneCharacterApart(const QString& a, const QString& b) {
    const QString& longer = a.size() >= b.size() ? a : b;
    const QString& shorter = a.size() >= b.size() ? b : a;
    if (longer.size() - shorter.size() > 1 || a == b)
        return false;
    qsizetype front = 0;
    while (front < shorter.size() && shorter[front] == longer[front])
        ++front;
    const qsizetype skip = longer.size() > shorter.size() ? 1 : 0; // the one put in
    return QStringView(longer).mid(front + 1) == QStringView(shorter).mid(front + 1 - skip);
}

bool soundsLike(const QString& word, QStringView keyword) {
    return !word.isEmpty() && keyingOf(word) == keyingOf(keyword.toString());
}

// "TU", also with a blip or two of noise heard just before it ("ITU", "AU"): a station pauses
// before its TU, and in a weak one's pause the noise shows.
bool soundsLikeTu(const QString& word) {
    const QString keying = keyingOf(word), tu = keyingOf(QStringLiteral("TU"));
    return keying.endsWith(tu) && keying.size() - tu.size() <= 2;
}

// "TEST", or its end when the station was first heard within it ("ST", "EST", "IT"): the
// end's keying of three elements or more, in two characters or more.
bool soundsLikeTestsEnd(const QString& word) {
    const QString keying = keyingOf(word);
    return word.size() >= 2 && keying.size() >= 3 && keyingOf(QStringLiteral("TEST")).endsWith(keying);
}
} // namespace

CallsignPicker::CallsignPicker(std::function<bool(const QString&)> known, QString ownCall)
    : known_(std::move(known)) {
    setOwnCall(ownCall);
}

void CallsignPicker::setOwnCall(const QString& call) { ownCall_ = baseCall(call.trimmed().toUpper()); }

QList<CallsignPicker::Call> CallsignPicker::endOfText() {
    QList<Call> spots;
    if (!partial_.isEmpty())
        takeWord(std::exchange(partial_, QString()), spots);
    return spots;
}

QList<CallsignPicker::Call> CallsignPicker::takeRepeated(const QString& together, const QString& earlier,
                                                         const QString& heard) {
    QList<Call> spots;
    // The renditions were decoded one by one too: read together (or the earlier ones alone)
    // they are not a decoding of their own, and count only when the known list backs them.
    QString call = together.toUpper();
    if (!mayBeSpotted(call) || !known_(call))
        call = earlier.toUpper();
    if (!mayBeSpotted(call) || !known_(call))
        call = earlier.toUpper() == heard.toUpper() ? heard.toUpper() : QString();
    if (!mayBeSpotted(call))
        return spots;
    spotted_[call] = true;
    spots.append({call, wordsSinceCq_ <= kCqReach + 1});
    return spots;
}

bool CallsignPicker::mayBeSpotted(const QString& call) const {
    const auto decoded = decoded_.find(call);
    const int times = 1 + (decoded == decoded_.end() ? 0 : decoded->second); // read together: one more
    return looksLikeCallsign(call) && !isOwn(call) && !spotted_.count(call) && !misreadsSpottedCall(call, times);
}

// Where calls are picked a station sends only its own: a call one character away from one it
// was spotted with, and decoded fewer times than that one, is that call misread ("LU5AB" in
// the last "TU LU5ABC" after two "LU5ABC"), even when the known list holds both. (A call
// spotted on one decoding may itself be the misread one: its true call is not held back.)
bool CallsignPicker::misreadsSpottedCall(const QString& call, int times) const {
    return std::any_of(spotted_.begin(), spotted_.end(), [&](const auto& spotted) {
        const auto decoded = decoded_.find(spotted.first);
        return oneCharacterApart(spotted.first, call) && decoded != decoded_.end() && decoded->second > times;
    });
}

void CallsignPicker::reset() {
    partial_.clear();
    words_.clear();
    wordsSinceCq_ = kCqReach + 1;
    wordNumber_ = 0;
    lastPicked_ = -1;
    decoded_.clear();
    spotted_.clear();
}

bool CallsignPicker::looksLikeCallsign(QStringView word) {
    return word.size() <= kLongestWord && kCallsign.match(word).hasMatch();
}

QList<CallsignPicker::Call> CallsignPicker::take(QStringView text) {
    QList<Call> spots;
    for (const QChar c : text) {
        if (c.isSpace()) {
            if (!partial_.isEmpty())
                takeWord(std::exchange(partial_, QString()), spots);
            continue;
        }
        if (partial_.size() < kLongestWord + 1) // a longer run stays too long to be a word
            partial_ += c.toUpper();
    }
    return spots;
}

// Whether the newest word stands where a station puts its call: after DE or TU, within reach
// of a CQ, right after a TEST that opens a CQ ("TEST DL1ABC", or "CQ TEST" with the CQ lost
// in the noise, or the TEST's start), or again right after itself. ("<call> TEST" is caught
// when TEST comes; the word after such a closing TEST is a caller's call, not the station's.)
// The key words are known by their keying, so that one gap misheard does not lose them.
bool CallsignPicker::isCallHere(const QString& word) const {
    const QString before = words_.size() >= 2 ? words_[words_.size() - 2] : QString();
    const QString twoBefore = words_.size() >= 3 ? words_[words_.size() - 3] : QString();
    const bool openingTest = soundsLikeTestsEnd(before) && !looksLikeCallsign(twoBefore);
    return soundsLike(before, u"DE") || soundsLikeTu(before) || wordsSinceCq_ <= kCqReach ||
           openingTest || before == word;
}

bool CallsignPicker::isOwn(const QString& word) const {
    return !ownCall_.isEmpty() && baseCall(word) == ownCall_;
}

void CallsignPicker::takeWord(const QString& word, QList<Call>& spots) {
    if (word.size() > kLongestWord)
        return;
    ++wordNumber_;
    words_.append(word);
    if (words_.size() > kWordsKept)
        words_.removeFirst();
    const QString before = words_.size() >= 2 ? words_[words_.size() - 2] : QString();
    wordsSinceCq_ = soundsLike(word, u"CQ") ? 0 : wordsSinceCq_ + 1;

    if (soundsLike(word, u"TEST") && looksLikeCallsign(before)) // "DL1ABC TEST": calling in a contest
        pick(before, wordNumber_ - 1, true, spots);
    else if (soundsLike(word, u"TEST"))
        pickBeforeGarbledRepeat(spots);
    else if (looksLikeCallsign(word) && isCallHere(word)) {
        const bool calledCq =
            wordsSinceCq_ <= kCqReach || soundsLikeTu(before) || soundsLikeTestsEnd(before);
        if (before == word) // sent twice: two decodings, the first without a context of its own
            pick(before, wordNumber_ - 1, calledCq, spots);
        pick(word, wordNumber_, calledCq, spots);
    }
}

// "CQ TEST DL1ABC DL1ABC TEST" with the second rendition lost in a fade or a neighbour's
// keying ("DL1ABC D E3E AB TEST"): a known call, then a few words keyed no longer than a call
// again (no key word among them; the garble may look like a call), then the TEST just taken.
// One decoding in its place; it spots the call as the known list backs it.
void CallsignPicker::pickBeforeGarbledRepeat(QList<Call>& spots) {
    int between = 0, dots = 0;
    for (qsizetype at = words_.size() - 2; at >= 0; --at) {
        const QString& word = words_[at];
        if (between > 0 && looksLikeCallsign(word) && known_(word)) {
            if (dots <= kGarbledShare * dotsKeyed(word))
                pick(word, wordNumber_ - (words_.size() - 1 - at), true, spots);
            return;
        }
        // A key word, or a report or number ("5NN", "599", "14"): then the call was someone
        // else's, sent in an exchange.
        const bool keyWord = soundsLike(word, u"CQ") || soundsLike(word, u"TEST") || soundsLike(word, u"DE") ||
                             soundsLikeTu(word) || word.startsWith(u'5') ||
                             std::all_of(word.begin(), word.end(), [](QChar c) { return c.isDigit(); });
        if (keyWord || ++between > kGarbledWords)
            return;
        dots += dotsKeyed(word) + (between > 1 ? 3 : 0);
    }
}

// One decoding of `call` (the word numbered `at`): counted once however many rules point at it.
void CallsignPicker::pick(const QString& call, qint64 at, bool calledCq, QList<Call>& spots) {
    if (at == lastPicked_ || isOwn(call))
        return;
    lastPicked_ = at;
    if (decoded_.size() >= kCallsKept) { // a long noisy run: start the count afresh
        decoded_.clear();
        spotted_.clear();
    }
    const int times = ++decoded_[call]; // counted on once spotted: it outweighs its misreadings
    if (spotted_.count(call) == 0 && (times >= 2 || known_(call)) && !misreadsSpottedCall(call, times)) {
        spotted_[call] = true;
        spots.append({call, calledCq});
    }
}
