#pragma once

#include <complex>
#include <vector>

// The spectrum of what the modem hears, for the displays: a Hann-windowed FFT (liquid-dsp) of
// the latest samples, in dB, computed every `hop` samples.
class Spectrum {
public:
    Spectrum(double sampleRate, int size = 4096, int hop = 4800);
    ~Spectrum();
    Spectrum(const Spectrum&) = delete;
    Spectrum& operator=(const Spectrum&) = delete;

    // Takes samples; true when a new spectrum is ready.
    bool push(const float* samples, size_t count);
    // Power in dB of each bin from 0 Hz to half the sample rate.
    const std::vector<float>& decibels() const { return decibels_; }
    double binHz() const { return rate_ / size_; }
    // How far the strongest bin within `halfWidthHz` of `hz` stands above the noise floor
    // (the median bin of the audio band), in dB: an S/N that follows the carrier at once.
    double signalToNoiseAt(double hz, double halfWidthHz) const;
    // The peak level of the latest samples, 0..1 (for the level meter).
    float level() const { return level_; }

private:
    void compute();

    double rate_;
    int size_;
    int hop_;
    std::vector<float> window_;
    std::vector<float> history_;
    size_t next_ = 0;
    size_t sinceLast_ = 0;
    std::vector<std::complex<float>> in_, out_;
    void* plan_ = nullptr;
    std::vector<float> decibels_;
    float level_ = 0;
};
