#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct pa_context;
struct pa_operation;
struct pa_threaded_mainloop;

// One connection to the sound server (PulseAudio, or PipeWire's PulseAudio service) on a
// thread of its own. Each is made afresh, so a sound server that was restarted is found again.
// Every wait for the server is bounded: a server that hangs costs seconds, never the window.
class PulseConnection {
public:
    static constexpr int kWaitMs = 3000;

    struct Device {
        QString name;        // the server's name for it, to open it by
        QString description; // what the operator reads ("Monitor of Built-in Audio")
        bool monitor = false;
    };

    struct Defaults { // the server's names of its default devices
        QString sink, source;
    };

    PulseConnection();
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // False (and `why` in words) when no sound server answers.
    bool open(QString* why);
    bool isOpen() const { return ready_; }

    // Inputs: the capture devices, then the monitors of the outputs (what this computer plays).
    std::vector<Device> inputs();
    std::vector<Device> outputs();
    QString defaultInputName();  // descriptions
    QString defaultOutputName();

    pa_threaded_mainloop* loop() const { return loop_; }
    pa_context* context() const { return context_; }
    QString lastError() const;

    // Called with the loop locked: waits (unlocking meanwhile) until `done` or the deadline.
    bool waitLocked(const std::function<bool()>& done, int ms = kWaitMs);
    // Waits for an operation to finish and releases it.
    bool finish(pa_operation* operation);

private:
    void close();
    Defaults serverDefaults();

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    bool ready_ = false;
};

// The sound devices of this computer, in the order the menus show them, read afresh each time.
namespace SoundDevices {
QStringList inputNames();
QStringList outputNames();
// The devices the system itself would use (what PulseAudio or PipeWire calls the default).
QString defaultInputName();
QString defaultOutputName();
} // namespace SoundDevices
