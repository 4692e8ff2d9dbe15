#pragma once

#include "Baudot.h"

#include <QString>
#include <complex>
#include <deque>

// Receives RTTY: the mark and space tones are each mixed down and filtered over one bit; their
// difference is the keying, read like a serial line: a start edge, then the bits in the
// middle of their time, checked by the stop bit.
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
    void onLevel(double level, QString& out);

    double rate_, baud_;
    bool reverse_;
    int bitSamples_;
    ToneFilter mark_, space_;
    // The serial reader.
    bool inCharacter_ = false;
    double sinceStart_ = 0; // samples since the start edge
    int bitsTaken_ = 0;
    quint8 code_ = 0;
    bool lastMark_ = true;
    Baudot::Decoder baudot_;
};
