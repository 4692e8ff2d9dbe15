#pragma once

// A digital terminal with everything around it faked at the platform boundary: a clock that
// moves a little on every reading, recorded dialogs, serial ports in memory, a settings
// folder of its own, and a "sound card" that, on every pass of the event loop, plays and
// hears as much audio as the fake clock has moved on since the last pass, feeding the modem
// what the test puts in its input.
#include "digital/terminal/Terminal.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PausingWait.h"
#include "platform/serial/FakeBackend.h"
#include "platform/sound/SoundDuplex.h"

#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <vector>

class PullingDuplex final : public SoundDuplex {
  public:
    static constexpr double kRate = 48000;
    static constexpr size_t kMaxBlock = 48000; // a second at most in one pass

    explicit PullingDuplex(const Clock& clock) : clock_(clock) {
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
    void pass() {
        if (!client_)
            return;
        const auto due = qint64((clock_.monotonicSeconds() - startSeconds_) * kRate) - frames_;
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

// What a second modem hears of the audio the terminal played.
inline QString heardFrom(const std::vector<float>& audio) {
    Modem listener;
    QString heard;
    QObject::connect(&listener, &Modem::CharReceived, [&](int channel, QChar c) {
        if (channel == 0)
            heard += c;
    });
    listener.receive(audio.data(), audio.size());
    std::vector<float> silence(48000, 0.0f); // let the receiver finish
    listener.receive(silence.data(), silence.size());
    return heard;
}

struct TerminalRig {
    TerminalRig() {
        clock.setStepPerReading(0.002);
        make();
    }
    void make() {
        terminal = std::make_unique<Terminal>(TerminalPlatform{
            clock, dialogs, wait, ports, sound, {"Card A", "Card B"}, {"Card A", "Card B", "Card C"},
            "Built-in Audio", "Built-in Audio", [this](const QString& line) { sent << line; },
            folder.path()});
    }
    // Opens the terminal as the window does: load, then the first activation.
    Terminal& open() {
        terminal->load();
        terminal->activated();
        return *terminal;
    }
    ControlStore& store() { return terminal->controls(); }
    QString path(const QString& name) const { return folder.filePath(name); }

    FakeClock clock{43200.0};
    RecordingDialogs dialogs;
    PausingWait wait{clock};
    FakeBackendProvider ports;
    PullingDuplex sound{clock};
    QTemporaryDir folder;
    QStringList sent; // lines to the station server
    std::unique_ptr<Terminal> terminal;
};
