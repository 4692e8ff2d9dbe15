#include "SoundCardDuplex.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>
#include <vector>

namespace {

QAudioFormat modemFormat() {
    QAudioFormat format;
    format.setSampleRate(SoundDuplex::kSampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

QAudioDevice pick(const QList<QAudioDevice>& devices, const QAudioDevice& fallback, int index) {
    return index >= 0 && index < devices.size() ? devices[index] : fallback;
}

// Hands the card the client's samples as it asks for them.
class PlaybackDevice final : public QIODevice {
public:
    explicit PlaybackDevice(DuplexClient& client) : client_(client) { open(QIODevice::ReadOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 1 << 16; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const auto frames = size_t(maxSize / 2);
        std::vector<float> samples(frames);
        client_.playback(samples.data(), frames);
        auto* out = reinterpret_cast<qint16*>(data);
        for (size_t n = 0; n < frames; ++n)
            out[n] = qint16(std::clamp(samples[n], -1.0f, 1.0f) * 32767);
        return qint64(frames * 2);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    DuplexClient& client_;
};

} // namespace

QStringList SoundDevices::inputNames() {
    QStringList names;
    for (const QAudioDevice& device : QMediaDevices::audioInputs())
        names << device.description();
    return names;
}

QStringList SoundDevices::outputNames() {
    QStringList names;
    for (const QAudioDevice& device : QMediaDevices::audioOutputs())
        names << device.description();
    return names;
}

QString SoundDevices::defaultInputName() { return QMediaDevices::defaultAudioInput().description(); }

QString SoundDevices::defaultOutputName() { return QMediaDevices::defaultAudioOutput().description(); }

SoundCardDuplex::SoundCardDuplex() = default;

SoundCardDuplex::~SoundCardDuplex() { stop(); }

bool SoundCardDuplex::start(DuplexClient& client, int inputDevice, int outputDevice, QString* why) {
    stop();
    const QAudioDevice input = pick(QMediaDevices::audioInputs(), QMediaDevices::defaultAudioInput(), inputDevice);
    const QAudioDevice output = pick(QMediaDevices::audioOutputs(), QMediaDevices::defaultAudioOutput(), outputDevice);
    if (input.isNull() || output.isNull()) {
        if (why)
            *why = QStringLiteral("No sound card was found for the modem");
        return false;
    }
    client_ = &client;
    source_ = std::make_unique<QAudioSource>(input, modemFormat());
    source_->setBufferSize(kSampleRate * 2 * kCaptureBufferMs / 1000);
    capture_ = source_->start();
    if (capture_)
        connect(capture_, &QIODevice::readyRead, this, &SoundCardDuplex::onCaptured);
    playback_ = std::make_unique<PlaybackDevice>(client);
    sink_ = std::make_unique<QAudioSink>(output, modemFormat());
    sink_->setBufferSize(kSampleRate * 2 * kPlaybackBufferMs / 1000);
    sink_->start(playback_.get());
    return true;
}

void SoundCardDuplex::onCaptured() {
    const QByteArray bytes = capture_->readAll();
    const auto frames = size_t(bytes.size() / 2);
    std::vector<float> samples(frames);
    const auto* in = reinterpret_cast<const qint16*>(bytes.constData());
    for (size_t n = 0; n < frames; ++n)
        samples[n] = in[n] / 32768.0f;
    if (client_)
        client_->captured(samples.data(), frames);
}

void SoundCardDuplex::stop() {
    if (source_)
        source_->stop();
    if (sink_)
        sink_->stop();
    source_.reset();
    sink_.reset();
    playback_.reset();
    capture_ = nullptr;
    client_ = nullptr;
}
