#pragma once

#include "ToneOutput.h"

#include <memory>

class QAudioSink;
class QIODevice;

// The side tone on the default sound output, through Qt Multimedia, pulling samples from
// the source as the sound card needs them.
class AudioSinkToneOutput final : public ToneOutput {
public:
    // How much sound is buffered ahead of the speaker.
    static constexpr int kBufferMs = 60;

    AudioSinkToneOutput();
    ~AudioSinkToneOutput() override;

    bool start(SampleSource& source, QString* why) override;
    void stop() override;
    bool isRunning() const override;

private:
    std::unique_ptr<QIODevice> device_;
    std::unique_ptr<QAudioSink> sink_;
};
