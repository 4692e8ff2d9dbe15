#pragma once

struct iirfilt_rrrf_s;

// A narrow notch to cut one carrier: a second-order IIR section (designed as in the audio
// cookbook) run by liquid-dsp's IIR filter.
class Notch {
public:
    Notch(double sampleRate, double hz, double q = 30);
    ~Notch();
    Notch(Notch&& other) noexcept;
    Notch& operator=(Notch&& other) noexcept;

    float process(float x);
    double frequency() const { return hz_; }

private:
    double hz_;
    iirfilt_rrrf_s* filter_;
};
