#pragma once

#include <QSet>
#include <QString>
#include <optional>

#include <atomic>

// The callsigns the pick-up list recognises: MASTER.SCP, the plain list contest loggers
// share (one callsign a line, "#" starts a comment line). The file comes from outside, so it is
// read within bounds: a real list is under a megabyte with some tens of thousands of calls.
class CallsignList {
  public:
    inline static const QString kFileName = QStringLiteral("MASTER.SCP");
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    static constexpr int kMaxCallsigns = 500'000;
    static constexpr int kMaxCallsignLength = 20;

    // What reading a file gave: the calls, and what the operator should be told (empty when
    // all went well or there is no file).
    struct Reading {
        QSet<QString> calls;
        QString problem;
    };
    // Reads the list (on any thread); a `cancel` set meanwhile ends it early.
    static Reading read(const QString& path, const std::atomic_bool& cancel);

    void adopt(QSet<QString> calls) { calls_ = std::move(calls); }
    void addForTest(const QString& callsign) { calls_.insert(callsign.toUpper()); }
    bool isEmpty() const { return calls_.isEmpty(); }
    int size() const { return int(calls_.size()); }
    bool contains(const QString& callsign) const { return calls_.contains(callsign); }

    // The first known callsign among the blank-separated words of `text`, if there is one.
    std::optional<QString> callsignIn(const QString& text) const;

  private:
    QSet<QString> calls_;
};
