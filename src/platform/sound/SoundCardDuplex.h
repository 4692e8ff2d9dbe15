#pragma once

#include "SoundDuplex.h"

#include <QObject>
#include <memory>

class QAudioSink;
class QAudioSource;
class QIODevice;

// The modem on the sound card: capture pushed to the client as it comes, playback pulled
// from it as the card needs it, both at 48 kHz mono 16-bit with small buffers.
class SoundCardDuplex final : public QObject, public SoundDuplex {
    Q_OBJECT
public:
    static constexpr int kCaptureBufferMs = 40;
    // Qt hands PulseAudio the sound in 20 ms pieces and only once a whole piece fits: with
    // much less than three of them buffered, playback never gets past its pre-buffering.
    static constexpr int kPlaybackBufferMs = 100;

    SoundCardDuplex();
    ~SoundCardDuplex() override;
    bool start(DuplexClient& client, int inputDevice, int outputDevice, QString* why) override;
    void stop() override;

private:
    void onCaptured();

    DuplexClient* client_ = nullptr;
    std::unique_ptr<QAudioSource> source_;
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* capture_ = nullptr;
    std::unique_ptr<QIODevice> playback_;
};
