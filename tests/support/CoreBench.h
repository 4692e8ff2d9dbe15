#pragma once

// The whole program without its window, on fake ports and a fake clock that stands at
// 10 s after midnight, so that every pausing wait is skipped.
#include "Files.h"
#include "app/AppCore.h"
#include "common/Controls.h"
#include "keyer/ToneWaveform.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/FileDialogs.h"
#include "platform/serial/FakeBackend.h"
#include "platform/sound/FakeToneOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

struct CoreBench {
    // A real clock paces the waits as in the program; by default they are skipped.
    explicit CoreBench(BackendProvider* ports = nullptr, const Clock* realClock = nullptr,
                       const QString& commandLine = {}) {
        QDir::setCurrent(folder.path());
        writeFile(folder.filePath("cw.wav"), ToneWaveform::makeCwWav()); // the side tone's waveform
        core = std::make_unique<AppCore>(
            AppPlatform{realClock ? *realClock : clock, dialogs, fileDialogs,
                        ports ? *ports : fakePorts, tone, [this] { ++endedAtOnce; }},
            commandLine);
    }
    ~CoreBench() {
        core.reset();
        QDir::setCurrent(QDir::tempPath());
    }

    ControlStore& c() { return core->controls(); }
    QString path(const QString& name) const { return folder.filePath(name); }
    StationPicture& picture() { return core->picture(); }

    // Lets the clock run from `at` seconds after midnight, `step` a reading, so that waits last.
    void runClock(double step, double at = 50000.0) {
        clock.set(at);
        clock.setStepPerReading(step);
    }

    // Lets a connect run to its end as its timer would: a tick at every pass of the events,
    // each reading the clock. False when it had not ended after many passes.
    static bool finishConnecting(TimedConnect& attempt, int passes = 100000) {
        for (int i = 0; i < passes && attempt.isRunning(); ++i) {
            QCoreApplication::processEvents();
            attempt.tick();
        }
        return !attempt.isRunning();
    }
    bool finishConnecting() { return finishConnecting(core->stationLink().connectAttempt()); }

    // `count` seconds pass on the fake clock, with the watchdogs' tick at every one of them
    // (as the program's one-second timer gives it), letting the sockets' events through.
    void seconds(int count) {
        for (int i = 0; i < count; ++i) {
            clock.advance(1.0);
            core->watchdogs().secondTick();
            core->linkHealth().secondTick();
            QCoreApplication::processEvents();
        }
    }

    // The station server to log in to, as the operator types it into the main window.
    void pointAt(quint16 port, const QString& callsign = "OH2XX", const QString& password = "pw") {
        c().setText(Ctl::serverAddressBox, "127.0.0.1");
        c().setText(Ctl::serverPortBox, QString::number(port));
        c().setText(Ctl::loginCallsignBox, callsign);
        c().setText(Ctl::loginPasswordBox, password);
    }

    // Starts the ports with the radio on `radio` and no keyer.
    void startRadio(const QString& radio = "COM8") {
        c().selectItem(Ctl::radioPortChoice, radio);
        c().selectItem(Ctl::keyerPortChoice, "None");
        core->ports().initPorts();
    }
    FakeBackend* radio() { return fakePorts.port("COM8"); }

    // What the logger has received so far on `port` (the radio port), emptied.
    QByteArray takeWritten(FakeBackend* port = nullptr) {
        port = port ? port : radio();
        const QByteArray written = port->written;
        port->written.clear();
        return written;
    }

    // What the log file holds now (the log is reopened for appending afterwards).
    QString logText() {
        core->log().close();
        const QString text = QString::fromUtf8(readFile(folder.filePath("ZarnikControl.log")));
        core->log().open();
        return text;
    }

    QTemporaryDir folder;
    FakeClock clock{10.0};
    RecordingDialogs dialogs;
    ScriptedFileDialogs fileDialogs;
    FakeBackendProvider fakePorts;
    FakeToneOutput tone;
    int endedAtOnce = 0; // the program asked to end without its event loop
    std::unique_ptr<AppCore> core;
};
