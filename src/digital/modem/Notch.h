#pragma once

// A narrow notch (a second-order IIR section, as in the audio cookbook), to cut one carrier.
class Notch {
public:
    Notch(double sampleRate, double hz, double q = 30);
    float process(float x);
    double frequency() const { return hz_; }

private:
    double hz_;
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};
