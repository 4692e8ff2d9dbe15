#pragma once

#include "Mixer.h"

#include <complex>
#include <span>
#include <vector>

// Rebuilds one CW station's signal from the band, a few milliseconds late, so that the
// receivers of its neighbours can take it out of what they hear. A strong station's keying
// spreads its power some way either side of its tone; beside it a station 15 dB weaker and
// 85 Hz off is buried in those sidebands, however well its receiver's filter stops the steady
// carrier. The copy is the carrier as it is heard while the key is down (its level and phase
// followed over the key-downs around each moment), keyed where the station's key went down
// and up: those moments are read through a filter that stops a neighbour 60 Hz off, and each
// edge is given the soft shape a transmitter's keying has.
class KeyedCarrierCopy {
public:
    KeyedCarrierCopy(double sampleRate, double toneHz);

    // Starts again on a new tone: nothing of the last station is kept.
    void setCarrier(double hz);
    // How late the copy is, in samples: the band must be held back as long.
    static int delaySamples(double sampleRate);
    // Once the station's keyed level and turning are learned: the copy is worth taking out.
    bool learned() const;
    // How much less of the station is heard on its tone with the copy taken out, lately.
    double takenOutDb() const;
    // The copy of `delaySamples()` ago for each sample of the band, in `rebuilt`.
    void process(std::span<const float> band, std::vector<float>& rebuilt);

private:
    void start();
    void endBlock();
    void decideKey(long at);
    void followCarrier(long at);
    void rebuildBlock(long at);
    void measureDepth(long at);
    std::complex<double> carrierAround(long at) const;
    double crossedHalfWay(long at, double half) const;
    double crossingNear(long at, double half, bool rising) const;
    double keyed(double sample, long at) const;

    struct Block {
        std::complex<double> sum{}; // the band mixed down, over the block
        std::complex<double> filtered{}; // the key filter's sum about it
        double level = 0;           // and its magnitude
        bool down = false;          // the key, in the block's middle
        double edgeAt = 0;          // where the key last went down or up, in samples
        std::complex<double> carrier{}; // as heard with the key down, a sample's worth
        std::complex<double> rebuilt{}; // the copy mixed down, over the block
    };
    Block& block(long at) { return blocks_[size_t(at % long(blocks_.size()))]; }
    const Block& block(long at) const { return blocks_[size_t(at % long(blocks_.size()))]; }
    double middleOf(long at) const { return (double(at) + 0.5) * blockSamples_; }

    int blockSamples_;
    Mixer mixer_;
    std::vector<Block> blocks_;
    std::vector<std::complex<double>> oscillator_; // e^-j(phase), for each sample lately
    std::vector<float> out_;                       // the rebuilt samples, by when they were heard
    std::complex<double> summing_{};
    long samples_ = 0;
    long blockCount_ = 0;
    double keyedLevel_ = 0;           // the filter's magnitude with the key down
    double peakLevel_ = 0;            // its loudest lately
    std::complex<double> turn_{1, 0}; // of the carrier from block to block, as heard
    std::complex<double> turnSum_{};
    double bandEnergy_ = 0, leftEnergy_ = 0; // on the tone, where the key is down about
};
