#pragma once

#include "Baudot.h"

#include <QString>
#include <complex>
#include <deque>
#include <vector>

// Receives RTTY. The mark and space tones are each mixed down and filtered over one bit (the
// matched filter of a bit); their difference, sampled at the end of a bit, says which it was.
// A character is found by its start edge, then timed as a whole: the start is placed where
// the seven bits of the frame (start, five data, stop) stand out most clearly, which uses the
// energy of every bit rather than the one noisy edge. The stop bit must be mark. While text
// runs on, the next character is expected 7.5 bits after the one before and read there, with
// only a small timing search, so noise between characters cannot start a false one.
class RttyDemodulator {
public:
    RttyDemodulator(double sampleRate, double carrierHz, double baud = 45.45, double shiftHz = 170,
                    bool reverse = false);

    QString process(const float* samples, size_t count);

private:
    struct ToneFilter {
        double phase = 0;
        double step = 0;
        std::deque<std::complex<double>> window;
        std::complex<double> sum{};
        double push(double x, int length);
    };
    double levelAt(qint64 sample) const;
    void hunt(QString& out);
    // false when there is no start bit, or (when `checkStop`) no stop bit.
    bool readCharacter(double coarseStart, double searchBits, bool checkStop, QString& out);

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
    Baudot::Decoder baudot_;
};
