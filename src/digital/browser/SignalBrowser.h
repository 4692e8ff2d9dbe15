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
// terminal's second pair of ears. It works on the audio brought down to 8 kHz; one spectrum
// finds the signals, a signal found gets a receiver (up to 24), and one not heard for half a
// minute leaves, its receiver made new for the next. Time is counted in samples heard, so the
// browser needs no clock.
class BandPass;

class SignalBrowser final : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxSignals = 24;
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
    };

    explicit SignalBrowser(double sampleRate = 48000, QObject* parent = nullptr);
    ~SignalBrowser() override;

    // The mode and speed listened for; every receiver starts again.
    void setMode(const ModeList::Mode& mode, double baud);
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
    void spotted(const QString& call, double hz, double snrDb, bool calledCq);

  private:
    struct Channel;
    void updateSignals();
    Channel* channelNear(double hz);
    void take(const SignalFinder::Found& found);
    void decode(std::span<const float> samples);
    void lookForCallsign(Channel& channel);
    void rebuildRows();
    std::unique_ptr<BandPass> filterFor(double hz) const;
    double seconds() const { return double(heard_) / decimator_.outputRate(); }

    BandDecimator decimator_;
    SignalFinder finder_;
    ModeList::Mode mode_;
    double baud_;
    SignalFinder::Shape shape_;
    std::vector<std::unique_ptr<Channel>> channels_; // in use, or free to be used again
    std::function<std::optional<QString>(const QString&)> lookup_;
    std::vector<float> decimated_;
    std::vector<float> filtered_; // one receiver's share of a block
    std::vector<Row> rows_;
    QString ownCall_;
    qint64 heard_ = 0; // decimated samples so far
    int nextId_ = 1;
};
