#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>

// What the modem offers the sound side: samples heard, and samples to play (mono, -1..1).
class DuplexClient {
public:
    virtual ~DuplexClient() = default;
    virtual void captured(const float* samples, size_t count) = 0;
    virtual void playback(float* out, size_t count) = 0;
    // The sound device or server went away; the sound side has stopped.
    virtual void soundFailed(const QString& why) { (void)why; }
};

// A sound input and output pair for the modem: the sound card, or WAV files in their place.
class SoundDuplex {
public:
    static constexpr int kSampleRate = 48000;

    virtual ~SoundDuplex() = default;
    // Device numbers in the order of the device lists; -1 is the default device.
    virtual bool start(DuplexClient& client, int inputDevice, int outputDevice, QString* why) = 0;
    virtual void stop() = 0;
};

// No sound card: every start fails and says so (a run without sound, tests of windows).
class NoSoundDuplex final : public SoundDuplex {
public:
    bool start(DuplexClient&, int, int, QString* why) override {
        if (why)
            *why = QStringLiteral("no sound card in this run");
        return false;
    }
    void stop() override {}
};
