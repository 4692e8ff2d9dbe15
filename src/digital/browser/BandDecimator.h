#pragma once

#include <span>
#include <vector>

// The sound card's 48 kHz brought down to 8 kHz for the signal browser: a low-pass filter
// below 4 kHz, then one sample in six. The audio band (200-3000 Hz) passes whole; two dozen
// receivers then cost a sixth of what they would at the card's rate.
class BandDecimator {
  public:
    static constexpr int kFactor = 6;

    explicit BandDecimator(double inputRate = 48000);
    ~BandDecimator();
    BandDecimator(const BandDecimator&) = delete;
    BandDecimator& operator=(const BandDecimator&) = delete;

    double outputRate() const { return inputRate_ / kFactor; }
    // Appends what `samples` complete to `out` (a block of any size; the rest waits).
    void process(std::span<const float> samples, std::vector<float>& out);

  private:
    double inputRate_;
    void* filter_ = nullptr; // liquid's decimator
    float pending_[kFactor] = {};
    int pendingCount_ = 0;
};
