#pragma once

#include "PulseConnection.h"
#include "SoundDuplex.h"

#include <QObject>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>

struct pa_stream;

// The modem on the sound card, through the sound server's own client library: 48 kHz mono,
// capture handed to the client on the window's thread as it comes, playback computed there a
// little ahead of the card. Monitors of the outputs can be recorded from (what a VoIP or web
// receiver plays on this computer). A sound server or device that goes away is told to the
// client at once (DuplexClient::soundFailed); each start connects afresh.
class PulseDuplex final : public QObject, public SoundDuplex {
    Q_OBJECT
public:
    static constexpr int kFragmentMs = 20;
    static constexpr int kPlaybackAheadMs = 60;  // computed here, not yet handed over
    static constexpr int kPlaybackBufferMs = 100; // the server's own buffer
    static constexpr int kMaxCaptureQueuedMs = 1000; // past this, the oldest capture goes

    PulseDuplex();
    ~PulseDuplex() override;
    bool start(DuplexClient& client, int inputDevice, int outputDevice, QString* why) override;
    void stop() override;

    // On the server's thread.
    void takeCaptured(pa_stream* stream);
    void feedPlayback(pa_stream* stream, size_t bytes);
    void noteTrouble();

private:
    bool openStreams(const QString& source, const QString& sink, QString* why);
    void deliverCaptured();
    void refillPlayback();
    void reportFailure();

    std::unique_ptr<PulseConnection> server_;
    pa_stream* record_ = nullptr;
    pa_stream* play_ = nullptr;
    DuplexClient* client_ = nullptr;
    std::atomic_bool stopping_{false};
    std::atomic_bool deliveryPosted_{false};
    std::atomic_bool refillPosted_{false};
    std::atomic_bool failurePosted_{false};
    std::mutex queues_; // guards the two queues between the threads
    std::deque<float> captured_;
    std::deque<float> toPlay_;
};
