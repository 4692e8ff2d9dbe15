#include "AudioSinkToneOutput.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>

namespace {

// Hands the sound card whatever it asks for, fresh from the source.
class SourceDevice final : public QIODevice {
public:
    explicit SourceDevice(SampleSource& source) : source_(source) { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 1 << 16; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const int frames = static_cast<int>(maxSize / 2);
        source_.render(reinterpret_cast<qint16*>(data), frames);
        return frames * 2;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    SampleSource& source_;
};

} // namespace

AudioSinkToneOutput::AudioSinkToneOutput() = default;

AudioSinkToneOutput::~AudioSinkToneOutput() { stop(); }

bool AudioSinkToneOutput::start(SampleSource& source, QString* why) {
    stop();
    const QAudioDevice speaker = QMediaDevices::defaultAudioOutput();
    if (speaker.isNull()) {
        if (why)
            *why = QStringLiteral("No sound output device was found");
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!speaker.isFormatSupported(format)) {
        if (why)
            *why = QStringLiteral("The sound output %1 cannot play 48 kHz 16-bit mono")
                       .arg(speaker.description());
        return false;
    }
    device_ = std::make_unique<SourceDevice>(source);
    sink_ = std::make_unique<QAudioSink>(speaker, format);
    sink_->setBufferSize(kSampleRate * 2 * kBufferMs / 1000);
    sink_->start(device_.get());
    if (sink_->error() != QAudio::NoError) {
        if (why)
            *why = QStringLiteral("The sound output %1 could not be started").arg(speaker.description());
        stop();
        return false;
    }
    return true;
}

void AudioSinkToneOutput::stop() {
    if (sink_)
        sink_->stop();
    sink_.reset();
    device_.reset();
}

bool AudioSinkToneOutput::isRunning() const { return sink_ != nullptr; }
