#pragma once

#include <cstddef>
#include <vector>

// A band-pass around a carrier: a Kaiser-window low-pass (liquid-dsp) moved up to the carrier.
class BandPass {
public:
    BandPass(double sampleRate, double centreHz, double widthHz);
    ~BandPass();
    BandPass(const BandPass&) = delete;
    BandPass& operator=(const BandPass&) = delete;

    void process(float* samples, size_t count);

private:
    void* filter_ = nullptr;
};
