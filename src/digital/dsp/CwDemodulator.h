#pragma once

#include "DspBlocks.h"
#include "KeyingDecoder.h"
#include "Mixer.h"
#include "MorseReader.h"
#include "RepeatedWords.h"

#include <QString>
#include <QStringList>
#include <array>
#include <complex>
#include <utility>
#include <vector>

// Receives one CW signal on its tone. The tone is mixed down and summed over 2 ms blocks; the
// blocks pass two running sums in a row, together about as long as a dot at 34 wpm. Six more
// filters of the same shape listen beside the tone, three on either side: the quietest of
// them is the noise (in a crowded band one falls between two neighbours), and a static
// crash, which is loud across the band, shows in all of them and is not taken for keying. How
// far the tone stands above or below the middle between its keyed level and the noise is the
// evidence of each block; the key-downs and key-ups are the runs a Morse sender at the learned
// speed most likely made of it (a quarter of a second later). Characters are printed only
// while a signal is heard (its keyed level well above the noise), so noise alone prints
// nothing and a station's text ends when it stops.
class CwDemodulator final : public Demodulator {
public:
    CwDemodulator(double sampleRate, double toneHz);

    QString process(std::span<const float> samples) override;
    void reset() override;
    void setAfc(bool) override {} // the signal finder tunes it
    double carrier() const override { return tone_; }
    void setCarrier(double hz) override;
    // Of the keyed carrier, in 2500 Hz; once the station has stopped, as it was last heard.
    double signalToNoise() const override;

    int wpm() const { return reader_.wpm(); }
    // A word read again from its renditions (see RepeatedWords), and as this one was heard.
    struct RepeatedWord {
        RepeatedWords::Reading read;
        QString heard;
    };
    // Such words since last asked.
    std::vector<RepeatedWord> takeRepeatedWords() { return std::exchange(repeatedWords_, {}); }
    bool hearsSignal() const { return present_; }

private:
    // A tone's filter: block sums in, the output of two running sums over blocks.
    static constexpr int kLongestSum = 64; // blocks: a dot at 8 wpm
    struct Filter {
        Filter(double rate, double hz) : mixer(rate, hz) {}
        Mixer mixer;
        std::complex<double> block{}; // the block being summed
        std::array<std::complex<double>, kLongestSum> blocks{}, firsts{};
        int at = 0;
        // The block just summed in; the power out of both running sums.
        double push(int first, int second);
    };
    void retune();
    static constexpr int kSides = 6; // noise filters: three below the tone, three above
    void follow(double tone, const std::array<double, kSides>& sides);
    void decideKey(double tone, double keyed, bool crash);
    void followWord(const QString& text);
    void wordEnded();
    double keyDownEvidence(double tone, double keyed) const;

    double rate_;
    double tone_;
    int blockSamples_;
    int inBlock_ = 0;
    int firstBlocks_ = 0, secondBlocks_ = 0, fadeWaitBlocks_ = 0;
    double tunedDotMs_ = 35; // the dot the filters were last sized for (the reader's first)
    std::vector<Filter> filters_; // the tone, then below and above it by turns
    std::array<double, kSides> sideNoise_{};
    double keyedPower_ = 0;  // the tone's power while the key is down
    double noisePower_ = 0;  // in the same bandwidth
    double peakPower_ = 0;   // the loudest lately, falling slowly
    double downPower_ = 0;   // summed over the key-down going on
    int downBlocks_ = 0;
    int fadedBlocks_ = 0;    // the tone out of the noise but under the threshold, so long
    int blocksHeard_ = 0;
    bool present_ = false;
    double heardSnrDb_ = -99; // while the station was last heard
    bool down_ = false;      // the key as the decoder decided it, a quarter of a second ago
    int run_ = 0;            // blocks the key has been so
    KeyingDecoder decoder_;
    struct Heard {
        double tone = 0;
        bool crash = false;
    };
    std::vector<Heard> heard_ = std::vector<Heard>(KeyingDecoder::kLagBlocks + 1); // for the decoder's lag
    long blocks_ = 0;
    MorseReader reader_;
    RepeatedWords repeats_;
    bool inWord_ = false;
    long wordFirst_ = 0, lastKeyUp_ = 0; // blocks: the word's first key-down, its last key-up
    QString wordHeard_; // the word going on, as printed
    std::vector<RepeatedWord> repeatedWords_;
};
