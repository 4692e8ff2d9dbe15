#pragma once

// A digital terminal with everything around it faked at the platform boundary: a clock that
// moves a little on every reading, recorded dialogs, serial ports in memory, a settings
// folder of its own, and a sound card paced by the fake clock.
#include "station/StationLines.h"
#include "Files.h"
#include "digital/terminal/Terminal.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/serial/FakeBackend.h"
#include "platform/sound/FakeSoundDuplex.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>
#include <vector>

// What a second modem hears of the audio the terminal played.
inline QString heardFrom(const std::vector<float>& audio) {
    Modem listener;
    QString heard;
    QObject::connect(&listener, &Modem::characterReceived, [&](int channel, QChar c) {
        if (channel == 0)
            heard += c;
    });
    listener.receive(audio.data(), audio.size());
    std::vector<float> silence(48000, 0.0f); // let the receiver finish
    listener.receive(silence.data(), silence.size());
    return heard;
}

// Lets the terminal's timed work run to its end, as its timers would: the fake sound card
// plays on every pass of the events, and each pass is also a tick of the endings, the file
// pacing and the carrier search. False when it had not ended after many passes.
inline bool finishTimedWork(Terminal& t, int passes = 200000) {
    auto busy = [&t] {
        return t.transmit().isBusy() || t.fileSender().isSending() || t.search().isRunning();
    };
    for (int i = 0; i < passes && busy(); ++i) {
        QCoreApplication::processEvents();
        t.transmit().tick();
        t.fileSender().tick();
        t.search().step();
    }
    return !busy();
}

struct TerminalRig {
    TerminalRig() {
        clock.setStepPerReading(0.002);
        make();
    }
    void make() {
        terminal = std::make_unique<Terminal>(TerminalPlatform{
            .clock = clock,
            .dialogs = dialogs,
            .ports = ports,
            .sound = sound,
            .inputDevices = {"Card A", "Card B"},
            .outputDevices = {"Card A", "Card B", "Card C"},
            .defaultInput = "Built-in Audio",
            .defaultOutput = "Built-in Audio",
            .keyTransmitter = [this](bool on) { sent << StationLines::keying(on); },
            .folder = folder.path()});
    }
    bool finish() { return finishTimedWork(*terminal); }
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
    FakeBackendProvider ports;
    FakeSoundDuplex sound{clock};
    QTemporaryDir folder;
    QStringList sent; // lines to the station server
    std::unique_ptr<Terminal> terminal;
};
