#include "SideToneRenderer.h"

#include "common/WavIo.h"
#include "MorseTiming.h"
#include "ToneWaveform.h"

#include <cmath>

namespace {

// 0 before the edge, 1 after it, a raised cosine across it, 0.5 exactly on it.
float edgeStep(double offset, double edge) {
    if (offset <= -edge / 2)
        return 0.0f;
    if (offset >= edge / 2)
        return 1.0f;
    return static_cast<float>(0.5 * (1.0 - std::cos(M_PI * (offset + edge / 2) / edge)));
}

} // namespace

SideToneRenderer::SideToneRenderer(QVector<float> waveform, int sampleRate)
    : waveform_(std::move(waveform)), sampleRate_(sampleRate) {
    if (waveform_.isEmpty())
        waveform_ = {0.0f};
    setPitch(800);
}

void SideToneRenderer::setPitch(double hertz) {
    step_ = std::max(0.0, hertz) * ToneWaveform::kSamplesPerPeriod / sampleRate_;
}

void SideToneRenderer::setVolume(int hundredthsOfDecibel) {
    gain_ = static_cast<float>(std::pow(10.0, std::min(0, hundredthsOfDecibel) / 2000.0));
}

void SideToneRenderer::appendCharacter(QChar character, double wordsPerMinute) {
    const double unit = MorseTiming::unitSeconds(std::max(1.0, wordsPerMinute)) * sampleRate_;
    const double edge = std::min(kEdgeSeconds * sampleRate_, 0.8 * unit);
    // A fresh start leaves room for the first edge to rise before its ideal moment.
    const double start = std::max<double>(scheduleEnd_, position_ + edge);
    double units = 0;
    for (const KeyingSpan& span : MorseTiming::spansFor(character)) {
        const auto from = std::llround(start + units * unit);
        units += span.units;
        if (span.keyDown)
            keyDowns_.push_back({from, std::llround(start + units * unit), edge, gain_});
    }
    scheduleEnd_ = std::llround(start + units * unit);
}

double SideToneRenderer::queuedSeconds() const {
    return std::max<qint64>(0, scheduleEnd_ - position_) / double(sampleRate_);
}

float SideToneRenderer::envelopeAt(qint64 sample) {
    while (!keyDowns_.empty() && sample > keyDowns_.front().end + keyDowns_.front().edge)
        keyDowns_.pop_front();
    float level = 0.0f;
    for (size_t i = 0; i < keyDowns_.size() && i < 2; ++i) {
        const KeyDown& k = keyDowns_[i];
        level += k.gain * (edgeStep(double(sample - k.start), k.edge) -
                           edgeStep(double(sample - k.end), k.edge));
    }
    return level;
}

float SideToneRenderer::nextWaveformSample() {
    const int size = static_cast<int>(waveform_.size());
    const int index = static_cast<int>(phase_);
    const float fraction = static_cast<float>(phase_ - index);
    const float value = waveform_[index] + fraction * (waveform_[(index + 1) % size] - waveform_[index]);
    phase_ = std::fmod(phase_ + step_, size);
    return value;
}

void SideToneRenderer::render(qint16* out, int frames) {
    for (int n = 0; n < frames; ++n, ++position_) {
        const float envelope = envelopeAt(position_);
        const float tone = nextWaveformSample();
        out[n] = WavIo::pcm16(tone * envelope);
    }
}
