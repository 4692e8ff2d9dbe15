#pragma once

#include "Baudot.h"
#include "DspBlocks.h"
#include "FskPhaseTracker.h"
#include "Mixer.h"

#include <QString>
#include <array>
#include <complex>
#include <deque>
#include <vector>

// Receives RTTY. The mark and space tones are each mixed down and filtered over one bit (the
// matched filter of a bit); their difference, sampled at the end of a bit, says which it was.
//
// The first character is found by its start edge and timed as a whole: the start is placed
// where the seven bits of the frame (start, five data, stop) stand out most clearly. From
// then on the text is followed by a character clock rather than by start edges: each next
// frame is read where the clock puts it, whether or not noise has spoiled its start bit, and
// the clock is corrected a little after each character from where its bit changes really
// were, so its timing comes from many characters. The clock also learns whether the sender
// leaves one, one and a half or two stop bits. Only a frame whose start bit is plainly mark
// (the sender has paused) sends the receiver back to looking for a start edge.
class RttyDemodulator final : public Demodulator {
public:
    RttyDemodulator(double sampleRate, double carrierHz, double baud = 45.45, double shiftHz = 170,
                    bool reverse = false);

    QString process(std::span<const float> samples) override;
    void reset() override;

    // AFC: while text is being followed, both tones are moved after the signal (at most
    // kAfcRangeHz from where the receiver was set).
    static constexpr double kAfcRangeHz = 50;
    void setAfc(bool on) override { afc_ = on; }
    double carrier() const override { return carrier_ + afcOffset_; }
    void setCarrier(double hz) override;
    // Signal to noise in dB, in the bandwidth of one bit: the tone that was sent against the
    // one that was not, at the middle of the bits.
    double signalToNoise() const override { return snrDb_; }

    // How far, in hundredths of a millisecond, the character clock moved at the last
    // characters (+: the sender's frames come later than the clock expected).
    int timingHundredthsMs() const { return int(timingMs_ * 100); }

private:
    // A tone mixed down and summed over the last bit; the sum over its later half as well,
    // whose turn against the earlier half shows how far the tone is off frequency.
    struct ToneFilter {
        explicit ToneFilter(double sampleRate) : mixer(sampleRate, 0) {}
        Mixer mixer;
        std::deque<std::complex<double>> window;
        std::complex<double> sum{}, laterHalf{};
        double push(double x, int length);
        std::complex<double> turn() const { return laterHalf * std::conj(sum - laterHalf); }
    };
    void tune();
    void followFrequency();
    void measureNoise(double level, double total);
    void forgetOldLevels();
    double levelAt(double sample) const;
    double totalAt(double sample) const;
    std::complex<float> sumAt(const std::vector<std::complex<float>>& sums, double sample) const;
    void hunt(QString& out);
    void follow(QString& out);
    void lookForEdgeFrom(qint64 from);
    // false when there is no start bit, or no stop bit: noise.
    bool readFirstCharacter(double coarseStart, QString& out);
    // `first`: the first character after a pause, whose tones' phases are not known yet.
    void decode(double start, QString& out, bool first = false);
    void learnMarkBefore(double start);
    bool startsAfresh(double start) const;
    double timingError(double start) const;

    double rate_;
    double baud_;
    double shift_;
    bool reverse_;
    double carrier_;
    double afcOffset_ = 0;
    bool afc_ = true;
    std::complex<double> frequencyTurn_{}; // gathered over the current bit
    double bitEnergy_ = 0;                 // ... and the tones' energy over it
    double bit_; // samples per bit
    int bitSamples_;
    ToneFilter mark_, space_;
    std::vector<double> levels_; // mark minus space, per sample, from `first_` on
    std::vector<double> totals_; // mark plus space
    std::vector<std::complex<float>> markSums_, spaceSums_; // each tone's filter sum
    qint64 first_ = 0;           // the sample number of levels_[0]
    qint64 now_ = 0;             // samples taken in
    qint64 huntFrom_ = 0;        // no new start before this sample
    qint64 pendingEdge_ = -1;    // a start edge waiting for its whole frame to arrive
    double expected_ = -1;       // where the next character starts if the text runs on
    bool wasMark_ = true;
    double amplitude_ = 0;       // the usual size of a bit decision
    std::array<double, 3> stopScore_{}; // how well frames one, one and a half, two stop bits fit
    double timingMs_ = 0;
    double signal_ = 0, noise_ = 0, snrDb_ = 0;
    int signalBits_ = 0, noiseBits_ = 0; // bits measured so far, for the first averages
    FskPhaseTracker phases_;
    double phasesUntil_ = -1;    // the sample up to which phases_ has followed the signal
    Baudot::Decoder baudot_;
};
