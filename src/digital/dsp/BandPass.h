#pragma once

#include <cstddef>
#include <vector>

// A band-pass around a carrier: a Kaiser-window low-pass (liquid-dsp) moved up to the carrier.
// Its edges fall over about a fifth of the width, or over `edgeHz` when that is given.
class BandPass {
public:
  BandPass(double sampleRate, double centreHz, double widthHz, double edgeHz = 0);
  ~BandPass();
  BandPass(const BandPass&) = delete;
  BandPass& operator=(const BandPass&) = delete;

  void process(float* samples, size_t count);

private:
    void* filter_ = nullptr;
};
