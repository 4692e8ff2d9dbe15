#pragma once

#include "common/BridgeAction.h"

class StationPicture;
struct FrequencySet;

// The heart of one logger command pass: what the logger's buffered commands ask for,
// answered from the station picture. It takes the buffer and gives the replies, server
// lines and monitor copies in order; it changes the picture where the logger sets it.
//
// The buffer is not cut into commands: each handler looks for its command anywhere in it,
// removes what it answered, and the loop runs while answerable queries remain. What is left
// at the end (unknown commands, partial ones) is dropped by the caller.
class CatCommandPass {
public:
    static constexpr int kMaxBuffered = 40;

    // `frequencyField` is taken once, at the start of the pass, so that every reply of the
    // pass carries the same frequency. `cwSpeed` is the keyer's, for KS.
    CatCommandPass(StationPicture& picture, QString frequencyField, bool serverConnected, int cwSpeed);

    // Before the command loop: the poll and length rules, the queries answered once per
    // pass and the key-up before a frequency change.
    BridgeActions beforeLoop(QString& buffer);
    // The command loop and the frequency set. Stops at a Fail action, with the buffer as it
    // stood, so the next pass sees it again.
    BridgeActions commandLoop(QString& buffer);
    // A "KY text" whose ";" has not come yet: kept for the next pass, not dropped.
    const QString& unfinished() const { return unfinished_; }

    // The sets a network client makes (the Hamlib endpoint), typed: the same actions and
    // picture changes as the logger's own "FA…;", "MD…;", "TX;" and "RX;" in a pass.
    BridgeActions setFrequency(qint64 hz);
    BridgeActions setMode(int modeDigit);
    BridgeActions key(bool down);

private:
    void takeKeyer(QString& buffer);
    void answerStatus(QString& buffer);
    void answerAtRest(const QString& buffer);
    void keyDown();
    void answerClarifier(QString& buffer, int flag, const QString& mnemonic);
    void answerFrequency(QString& buffer, const QString& query, char vfo);
    bool handleMode(QString& buffer);
    void echo(QString& buffer, const QString& query);
    void toggleClarifier(int& flag, const QString& mnemonic);
    void answerPower(QString& buffer);
    void setFrequency(QString& buffer);
    void keyUpBeforeTheFrequencyMoves(bool aSet, bool refused);
    void applyFrequencySet(const FrequencySet& set);
    bool applyModeSet(QChar digit);
    QString fieldAt(const QString& buffer, qsizetype queryAt) const;
    bool transmittingAt(const QString& buffer, qsizetype queryAt) const;
    void emitAction(BridgeAction::Kind kind, const QString& text = {}) { actions_.append({kind, text}); }

    StationPicture& picture_;
    bool connected_;
    int cwSpeed_;
    QString field_;
    QString unfinished_;
    BridgeActions actions_;
};
