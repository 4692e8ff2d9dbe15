#pragma once

#include "platform/sound/ToneOutput.h"

#include <QChar>
#include <QVector>
#include <deque>

// Sounds Morse characters into a stream of samples: the tone waveform looped at the pitch,
// keyed on and off on the exact sample, with raised-cosine edges centred on each ideal edge
// (so an element measured at half amplitude is exactly as long as it should be) and no key
// clicks. A plain object: it renders when asked and holds no thread, timer or device.
class SideToneRenderer final : public SampleSource {
public:
    static constexpr double kEdgeSeconds = 0.005; // the length of one raised-cosine edge

    explicit SideToneRenderer(QVector<float> waveform, int sampleRate = ToneOutput::kSampleRate);

    // The pitch heard, in Hz: the waveform is played at Hertz x 70.5 samples a second.
    void setPitch(double hertz);
    // The level of the next key-downs, in hundredths of a decibel (0 full, -3000 30 dB down).
    void setVolume(int hundredthsOfDecibel);
    // Queues one character at the speed; it follows the characters before it without a gap
    // beyond its own timing.
    void appendCharacter(QChar character, double wordsPerMinute);

    // Sound still to be rendered for the queued characters, in seconds.
    double queuedSeconds() const;
    bool isSounding() const { return position_ < scheduleEnd_; }
    qint64 position() const { return position_; }
    int sampleRate() const { return sampleRate_; }

    void render(qint16* out, int frames) override;

private:
    struct KeyDown {
        qint64 start;
        qint64 end;
        double edge; // samples
        float gain;
    };
    float envelopeAt(qint64 sample);
    float nextWaveformSample();

    QVector<float> waveform_;
    int sampleRate_;
    double step_ = 1.0;
    double phase_ = 0;
    float gain_ = 1.0f;
    std::deque<KeyDown> keyDowns_;
    qint64 position_ = 0;
    qint64 scheduleEnd_ = 0;
};
