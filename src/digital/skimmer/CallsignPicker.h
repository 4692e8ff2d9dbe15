#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <map>

// Picks the callsigns out of one station's decoded text, as a CW skimmer does, for spotting.
// A word counts as the station's call where operators put one: after "DE", after "CQ" (within
// the few words a CQ takes: "CQ CQ TEST DL1ABC"), right after a "TEST" that opens a CQ, before
// "TEST" (a known call also with its repeat garbled between: "DL1ABC D E3E AB TEST"), after
// "TU", or sent twice in a row; those key words are also known when a gap was
// misheard in them ("TEA" for "TU"), and a TU with a blip of noise before it ("ITU"). It must
// have the form of an amateur callsign. Decoding busts calls, so a call is handed on only when
// it was decoded twice from the station, or once and it is in the known list (MASTER.SCP); the
// operator's own call never is. Each call is handed on once, and none one character away from
// a call the station was already spotted with on more decodings (that is its call misread).
class CallsignPicker {
public:
    struct Call {
        QString call;
        bool calledCq = false; // heard calling CQ (else it signed with DE, TU, TEST ...)
        bool operator==(const Call&) const = default;
    };
    // `known` tells whether a call is in the known list.
    CallsignPicker(std::function<bool(const QString&)> known, QString ownCall);

    // Takes the station's text as it is decoded, in pieces of any size; returns the calls that
    // are to be spotted now.
    QList<Call> take(QStringView text);
    void reset();
    void setOwnCall(const QString& call);
    // A word the station sent more than once: read from all its renditions together, from the
    // earlier ones alone, and as this one was heard. A call sent again is in its place by that
    // alone. Read together, or from the earlier renditions alone, it is spotted when it is in
    // the known list; the earlier renditions and this one, each with noise of its own, are two
    // decodings when they agree.
    QList<Call> takeRepeated(const QString& together, const QString& earlier, const QString& heard);
    // The station has stopped: the word it ended on is whole.
    QList<Call> endOfText();

    // Prefix (one to three characters, at least one a letter), a digit, a suffix of one to four
    // letters; with a "prefix/" in front or "/P", "/M", "/MM", "/AM", "/QRP" or a digit after.
    static bool looksLikeCallsign(QStringView word);

    static constexpr int kLongestWord = 16; // longer runs of characters are no words
    static constexpr int kWordsKept = 6;    // the words a call's context is looked for in
    static constexpr int kCqReach = 4;      // words after a CQ that may hold its call
    static constexpr int kCallsKept = 256;  // different calls counted at once

private:
    void takeWord(const QString& word, QList<Call>& spots);
    void pickBeforeGarbledRepeat(QList<Call>& spots);
    // A call's garbled repeat before TEST: at most this many words, keyed at most this much
    // longer than the call (noise and a neighbour's elements add to it; what is lost shortens it).
    static constexpr int kGarbledWords = 4;
    static constexpr double kGarbledShare = 1.5;
    void pick(const QString& call, qint64 at, bool calledCq, QList<Call>& spots);
    bool isCallHere(const QString& word) const;
    bool isOwn(const QString& word) const;
    bool mayBeSpotted(const QString& call) const;
    bool misreadsSpottedCall(const QString& call, int times) const;

    std::function<bool(const QString&)> known_;
    QString ownCall_;
    QString partial_;   // a word not yet ended
    QStringList words_; // the last words, oldest first
    int wordsSinceCq_ = kCqReach + 1;
    qint64 wordNumber_ = 0;
    qint64 lastPicked_ = -1;
    std::map<QString, int> decoded_; // how often each call was picked
    std::map<QString, bool> spotted_; // handed on already
};
