#pragma once

#include "SoundDuplex.h"
#include "platform/Clock.h"

#include <QTimer>
#include <vector>

// For tests: a sound card that, on every pass of the event loop, plays and hears as much audio
// as the (fake) clock has moved on since the last pass, feeding the client what the test put
// in `input` and keeping what it played. Time is the test's to drive.
class FakeSoundDuplex final : public SoundDuplex {
  public:
    static constexpr size_t kMaxBlock = 48000; // a second at most in one pass

    explicit FakeSoundDuplex(const Clock& clock) : clock_(clock) {
        timer_.setInterval(0);
        QObject::connect(&timer_, &QTimer::timeout, [this] { pass(); });
    }
    bool start(DuplexClient& client, int in, int out, QString* why) override {
        ++starts;
        inputDevice = in;
        outputDevice = out;
        if (failStart) {
            *why = QStringLiteral("no such device");
            return false;
        }
        client_ = &client;
        startSeconds_ = clock_.monotonicSeconds();
        frames_ = 0;
        timer_.start();
        return true;
    }
    void stop() override {
        timer_.stop();
        client_ = nullptr;
    }
    // The device goes away, as a sound server that was killed.
    void fail(const QString& why) {
        DuplexClient* client = client_;
        stop();
        if (client)
            client->soundFailed(why);
    }
    bool running() const { return client_ != nullptr; }
    void pass() {
        if (!client_)
            return;
        const auto due = qint64((clock_.monotonicSeconds() - startSeconds_) * kSampleRate) - frames_;
        const size_t block = size_t(qBound<qint64>(0, due, qint64(kMaxBlock)));
        if (block == 0)
            return;
        frames_ += qint64(block);
        std::vector<float> out(block, 0.0f), in(block, 0.0f);
        client_->playback(out.data(), out.size());
        for (size_t n = 0; n < block && read_ < input.size(); ++n)
            in[n] = input[read_++];
        client_->captured(in.data(), in.size());
        played.insert(played.end(), out.begin(), out.end());
    }

    std::vector<float> input;  // heard by the modem, then silence
    std::vector<float> played; // what the modem sent
    int starts = 0, inputDevice = -2, outputDevice = -2;
    bool failStart = false;

  private:
    const Clock& clock_;
    QTimer timer_;
    DuplexClient* client_ = nullptr;
    double startSeconds_ = 0;
    qint64 frames_ = 0;
    size_t read_ = 0;
};
