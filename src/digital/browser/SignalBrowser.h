#pragma once

#include "BandDecimator.h"
#include "SignalFinder.h"
#include "digital/dsp/DspBlocks.h"
#include "digital/modem/ModeList.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

// Every signal of the chosen mode across the band, each decoded by a receiver of its own: the
// terminal's second pair of ears, and a CW skimmer. It listens for the terminal's own mode or
// for CW. It works on the audio brought down to 8 kHz; one spectrum finds the signals, a signal
// found gets a receiver (up to 32), and one not heard for half a minute leaves, its receiver
// made new for the next. Time is counted in samples heard, so the browser needs no clock.
class BandPass;

class SignalBrowser final : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxSignals = 32;
    // Where the window keeps its choices, and the one the terminal reads when the browser
    // skims in the background: "listenFor" is "cw" or "terminal".
    static inline const QString kSettingsFile = QStringLiteral("SignalBrowser.ini");
    static constexpr double kSilentSeconds = 30;
    static constexpr int kTextLength = 80;      // about a line
    static constexpr double kFindAboveDb = -14; // S/N in 2500 Hz for a signal to be taken

    struct Row {
        int id; // stays with the signal while it is in the list
        double hz;
        double snrDb;
        QString text;     // the newest, about a line
        QString callsign; // the newest known callsign heard on it, or empty
        qint64 received = 0; // characters shown since the row began: the text's last ones are new
        int wpm = 0;         // CW: the sender's speed; 0 for the other modes or before it is known
    };

    explicit SignalBrowser(double sampleRate = 48000, QObject* parent = nullptr);
    ~SignalBrowser() override;

    // The terminal's mode and speed; every receiver starts again when it is listened for.
    void setMode(const ModeList::Mode& mode, double baud);
    // CW instead of the terminal's mode; every receiver starts again.
    void setListensForCw(bool on);
    bool listensForCw() const { return cw_; }
    // Tells whether a word is a known callsign (MASTER.SCP); none: no callsigns are marked.
    void setCallsignLookup(std::function<std::optional<QString>(const QString&)> lookup);

    // The operator's own call, which is never spotted.
    void setOwnCall(const QString& call);
    // How the spots name the mode: "PSK31", "QPSK31", "PSK63", "RTTY" ...
    QString spotMode() const;

    // Sound as the card delivers it.
    void receive(std::span<const float> samples);

    // The signals, lowest frequency first.
    const std::vector<Row>& rows() const { return rows_; }

  signals:
    void rowsChanged();
    // A callsign no row showed before: worth telling a listener about.
    void newCallsign(const QString& callsign, double hz);
    // A station's call, picked out of its text as a skimmer does, to be spotted: the tone it
    // is heard on, its S/N, and whether it was calling CQ.
    // (CW: also the sender's speed; 0 for the other modes.)
    void spotted(const QString& call, double hz, double snrDb, bool calledCq, int wpm);

  private:
    struct Channel;
    void updateSignals();
    Channel* channelNear(double hz);
    void take(const SignalFinder::Found& found);
    void decode(std::span<const float> samples);
    bool feed(Channel& channel, std::span<const float> samples);
    void takeOutStrongStations(std::span<const float> samples);
    std::span<const float> withOwnStation(const Channel& channel);
    bool keepsCopying(Channel& channel);
    void chooseStage(Channel& channel);
    bool copyAndJudge(Channel& channel, std::span<const float> band);
    bool worthTakingOut(const Channel& channel) const;
    void takeOutOfTheRecentBand(const Channel& channel);
    void keepRecent(std::vector<float>& recent, std::span<const float> samples) const;
    void lookForCallsign(Channel& channel);
    void rebuildRows();
    std::unique_ptr<BandPass> filterFor(double hz) const;
    std::unique_ptr<Demodulator> receiverFor(double hz) const;
    void startAgain();
    static int wpmOf(const Channel& channel);
    static double wordEndSeconds(const Channel& channel);
    static double snrOf(const Channel& channel);
    double seconds() const { return double(heard_) / decimator_.outputRate(); }

    BandDecimator decimator_;
    SignalFinder finder_;
    ModeList::Mode mode_;
    double baud_;
    SignalFinder::Shape shape_;
    bool cw_ = false;
    std::vector<std::unique_ptr<Channel>> channels_; // in use, or free to be used again
    std::function<std::optional<QString>(const QString&)> lookup_;
    std::vector<float> decimated_;
    std::vector<float> filtered_; // one receiver's share of a block
    std::vector<float> heldBack_; // CW: the band, as long as the copies of strong stations are late
    std::vector<float> firstCleaned_;         // CW: the block, the first stage's copies taken out
    std::vector<float> heldBackFirstCleaned_; // and that, held back for the second stage
    std::vector<float> recentFirstCleaned_;   // and its last seconds, for a copy that starts
    std::vector<float> cleaned_;  // CW: the block, both stages' copies taken out
    std::vector<float> noCopy_;   // silence, for a channel whose copy is not taken out
    std::vector<float> own_;      // CW: and one station's own put back
    std::vector<float> recent_;   // the last seconds of sound, for a receiver that starts
    std::vector<float> recentBand_; // CW: and of the band as it came, for a copy that starts
    std::vector<Row> rows_;
    QString ownCall_;
    qint64 heard_ = 0; // decimated samples so far
    int nextId_ = 1;
};
