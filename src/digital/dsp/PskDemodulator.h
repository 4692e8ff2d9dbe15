#pragma once

#include "DspBlocks.h"
#include "Mixer.h"
#include "QpskCode.h"
#include "RunningMean.h"
#include "SignalPresence.h"
#include "Varicode.h"

#include <QByteArray>
#include <array>
#include <complex>
#include <deque>

// Receives PSK with varicode: mixes the signal down at the carrier, filters it (two running
// sums, a trapezoid), and finds the symbol timing from where the filtered signal is strongest.
// BPSK judges each symbol's sign against a reference of the last symbols; QPSK hands the
// phase turns to the Viterbi decoder of its code. The AFC measures the carrier error sixteen
// times a symbol on the signal raised to the power that wipes out the modulation (squared for
// BPSK, to the fourth for QPSK). BPSK pulls in on a wider filter, so that it is done within
// the idle preamble; once pulled in, QPSK follows on the symbol turns instead, which carry no
// bias from the data. The AFC acts, and characters are printed, only while a signal is
// heard: in noise alone the AFC would wander off and lose the start of the next transmission.
class PskDemodulator final : public Demodulator {
public:
    static constexpr int kTimingBins = 16;
    // The receive filter: running sums over 0.8 and 0.5 symbols (chosen by measurement against
    // noise: longer ones gather the neighbouring symbols, shorter ones more noise).
    static constexpr double kFirstSymbols = 0.8;
    static constexpr double kSecondSymbols = 0.5;
    // After this long without a signal, the next one is a new one.
    static constexpr int kGoneSymbols = 48;
    static constexpr int kNoiseInTheDecoder = 16; // symbols of silence that spoil QPSK's next bits
    // A signal heard for less than this (a transmission's preamble is 32 symbols) was noise.
    static constexpr int kShortestSignalSymbols = 32;

    PskDemodulator(double sampleRate, double carrierHz, double baud, bool qpsk = false);

    // The characters (Latin-1) the samples complete.
    QString process(std::span<const float> samples) override;
    void reset() override;

    void setAfc(bool on) override { afc_ = on; }
    double carrier() const override { return carrier_; }
    void setCarrier(double hz) override;
    // From the spread of the decisions.
    double signalToNoise() const override { return snrDb_; }
    // The latest symbol decisions (phase turn from the symbol before), for the sync scope.
    const std::deque<std::complex<double>>& recentTurns() const { return recentTurns_; }
    // How far the sender's symbol clock runs from ours, in parts per million (+: faster).
    double clockOffsetPpm() const { return clockPpm_; }
    // Whether a signal is heard now, rather than noise alone.
    bool hearsSignal() const { return presence_.present(); }
    double presenceRatio() const { return presence_.ratio(); }

private:
    void decide(std::complex<double> value, QByteArray& out);
    int bpskBit(std::complex<double> value);
    void logPresence();
    bool printsNow(int bit);
    void moveCarrier(double hz);
    void notePresence();
    void followCarrier();
    double carrierError() const; // Hz
    void measureClock();
    double timingPhase() const;
    std::complex<double> filter(std::complex<double> mixed);

    double rate_;
    double carrier_;
    double tunedCarrier_; // where the operator put it; the AFC moves carrier_ from there
    double baud_;
    bool qpsk_;
    bool afc_ = true;
    Mixer mixer_;
    Trapezoid receive_; // the receive filter
    RunningMean wide_; // a wider filter for the AFC while it pulls in
    SignalPresence presence_;
    int symbolsGone_ = kGoneSymbols; // without a signal
    int symbolsHeard_ = 0;            // of the signal heard last
    // QPSK's printing, a decoder's depth behind: whether a signal was heard at each of the
    // last symbols (newest lowest), and since when.
    std::uint64_t presenceLog_ = 0;
    std::uint64_t strongLog_ = 0; // each symbol: did it stand out of the noise on its own
    int silentBits_ = kNoiseInTheDecoder;
    long bitsOfSignal_ = 0;
    int zeroRun_ = 0;
    bool heardItsStart_ = false;
    double carrierBeforeSignal_; // where a burst of noise would be undone to
    double symbolPhase_ = 0; // 0..1 through the symbol
    std::array<double, kTimingBins> binEnergy_{};
    int bestBin_ = 0;
    int lastBin_ = -1;
    std::complex<double> previous_{};
    std::complex<double> reference_{}; // BPSK's, from the last symbols
    int lastSign_ = 1;
    double margin_ = 0; // how far the last symbol stood from the decision line
    std::complex<double> turning_{}, previousPower_{}, symbolTurning_{};
    int symbolsSeen_ = 0; // with the AFC acting on a signal
    long symbolCount_ = 0;
    double lastPhase_ = -1; // the strongest sampling phase, in symbols, at the last measurement
    double clockPpm_ = 0;
    std::deque<std::complex<double>> recentTurns_;
    double signal_ = 0, noise_ = 1e-9, snrDb_ = 0;
    Varicode::Decoder varicode_;
    QpskCode::Viterbi viterbi_;
};
