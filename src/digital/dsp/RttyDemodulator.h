#pragma once

#include "Baudot.h"

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
class RttyDemodulator {
public:
    RttyDemodulator(double sampleRate, double carrierHz, double baud = 45.45, double shiftHz = 170,
                    bool reverse = false);

    QString process(const float* samples, size_t count);

    // How far, in hundredths of a millisecond, the character clock moved at the last
    // characters (+: the sender's frames come later than the clock expected).
    int timingHundredthsMs() const { return int(timingMs_ * 100); }

private:
    struct ToneFilter {
        double phase = 0;
        double step = 0;
        std::deque<std::complex<double>> window;
        std::complex<double> sum{};
        double push(double x, int length);
    };
    double levelAt(double sample) const;
    void hunt(QString& out);
    void follow(QString& out);
    void lookForEdgeFrom(qint64 from);
    // false when there is no start bit, or no stop bit: noise.
    bool readFirstCharacter(double coarseStart, QString& out);
    void decode(double start, QString& out);
    double timingError(double start) const;

    double rate_;
    double bit_; // samples per bit
    int bitSamples_;
    ToneFilter mark_, space_;
    std::vector<double> levels_; // mark minus space, per sample, from `first_` on
    qint64 first_ = 0;           // the sample number of levels_[0]
    qint64 now_ = 0;             // samples taken in
    qint64 huntFrom_ = 0;        // no new start before this sample
    qint64 pendingEdge_ = -1;    // a start edge waiting for its whole frame to arrive
    double expected_ = -1;       // where the next character starts if the text runs on
    bool wasMark_ = true;
    double amplitude_ = 0;       // the usual size of a bit decision
    std::array<double, 3> stopScore_{}; // how well frames one, one and a half, two stop bits fit
    double timingMs_ = 0;
    Baudot::Decoder baudot_;
};
