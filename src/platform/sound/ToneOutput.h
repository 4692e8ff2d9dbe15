#pragma once

#include <QString>

// Something that makes audio samples on demand (mono, signed 16-bit).
class SampleSource {
public:
    virtual ~SampleSource() = default;
    virtual void render(qint16* out, int frames) = 0;
};

// Where the side tone goes: the sound card, or a WAV file.
class ToneOutput {
public:
    static constexpr int kSampleRate = 48000;

    virtual ~ToneOutput() = default;
    // Starts pulling samples from `source`; false with `why` when it cannot.
    virtual bool start(SampleSource& source, QString* why) = 0;
    virtual void stop() = 0;
    virtual bool isRunning() const = 0;
};
