#pragma once

#include <QSet>
#include <QString>

// The callsigns the pick-up list recognises: MASTER.SCP, the plain list contest loggers
// share (one callsign a line, "#" starts a comment line), read once when the terminal opens.
class CallsignList {
  public:
    inline static const QString kFileName = QStringLiteral("MASTER.SCP");
    // A real list has some tens of thousands; more than this is not a callsign list.
    static constexpr int kMaxCallsigns = 2'000'000;

    // Reads the list; false (and an empty list) when the file is missing or unreadable.
    bool load(const QString& path);
    void addForTest(const QString& callsign) { calls_.insert(callsign.toUpper()); }
    bool isEmpty() const { return calls_.isEmpty(); }
    int size() const { return int(calls_.size()); }
    bool contains(const QString& callsign) const { return calls_.contains(callsign); }

    // The terminal's lookup: when a known callsign stands among the blank-separated words of
    // the candidate, the candidate becomes that callsign and the answer is "Yes"; otherwise
    // the candidate is left alone and the answer is empty.
    QString FindIt(QString& candidate) const;

  private:
    QSet<QString> calls_;
};
