#pragma once

#include "common/Login.h"

#include "common/BridgeAction.h"

#include <QList>
#include <QString>

class ControlStore;
class StationPicture;

// The station's reports in one chunk from the server, turned into the station picture, the
// records the logger follows, the status echo and the login answers.
//
// The chunk is searched, not parsed: each report is looked for by its marker, and only its
// first occurrence counts. A status report ends the pass and leaves the chunk as it is;
// any other pass empties it.
class StationReportPass {
public:
    static constexpr int kMaxTail = 1024; // what is kept of a report's tail

    StationReportPass(StationPicture& picture, ControlStore& store, const Login& login, bool connected);

    // True when the pass ran to its end (the chunk is then empty).
    BridgeActions run(QString& chunk);

    // "A0:IF" + frequency + offset + RIT + XIT + mode digit + "00000;"
    QString statusEcho(int modeDigit) const;

private:
    void showStatusFrequency(const QString& chunk, const QString& marker, bool clearThird);
    bool statusBranch(QString& chunk, bool& done);
    bool modeReport(QString& chunk);
    void altModeReport(const QString& chunk);
    void clarifierReport(const QString& chunk, const QString& marker, int& flag);
    void textReport(const QString& chunk);
    void vfoReport(const QString& chunk, const QString& marker);
    void loginAnswers(const QString& chunk);
    QString statusRecordFor(int modeDigit) const;
    void sendEcho(int modeDigit);
    bool setMode(int digit);
    void act(BridgeAction::Kind kind, const QString& text = {}) { actions_.append({kind, text}); }

    StationPicture& picture_;
    ControlStore& store_;
    const Login& login_;
    bool connected_;
    QString field_;
    BridgeActions actions_;
};
