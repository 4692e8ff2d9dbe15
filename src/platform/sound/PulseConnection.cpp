#include "PulseConnection.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

struct Lock {
    explicit Lock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~Lock() { pa_threaded_mainloop_unlock(loop_); }
    pa_threaded_mainloop* loop_;
};

QString fromServer(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

struct Listing {
    std::vector<PulseConnection::Device> devices;
};

void addSource(pa_context*, const pa_source_info* info, int eol, void* data) {
    if (eol || !info)
        return;
    static_cast<Listing*>(data)->devices.push_back(
        {fromServer(info->name), fromServer(info->description), info->monitor_of_sink != PA_INVALID_INDEX});
}

void addSink(pa_context*, const pa_sink_info* info, int eol, void* data) {
    if (eol || !info)
        return;
    static_cast<Listing*>(data)->devices.push_back({fromServer(info->name), fromServer(info->description), false});
}

void takeServerInfo(pa_context*, const pa_server_info* info, void* data) {
    if (!info)
        return;
    auto* defaults = static_cast<PulseConnection::Defaults*>(data);
    defaults->sink = fromServer(info->default_sink_name);
    defaults->source = fromServer(info->default_source_name);
}

QString describe(const std::vector<PulseConnection::Device>& devices, const QString& name) {
    for (const auto& device : devices)
        if (device.name == name)
            return device.description;
    return {};
}

} // namespace

PulseConnection::PulseConnection() = default;

PulseConnection::~PulseConnection() { close(); }

bool PulseConnection::open(QString* why) {
    close();
    loop_ = pa_threaded_mainloop_new();
    if (!loop_ || pa_threaded_mainloop_start(loop_) < 0) {
        if (why)
            *why = QStringLiteral("the sound server's thread could not start");
        return false;
    }
    Lock lock(loop_);
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "ZarnikControl");
    if (!context_ || pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        if (why)
            *why = QStringLiteral("no sound server (PulseAudio or PipeWire) answers: %1").arg(lastError());
        return false;
    }
    waitLocked([this] { return !PA_CONTEXT_IS_GOOD(pa_context_get_state(context_)) ||
                               pa_context_get_state(context_) == PA_CONTEXT_READY; });
    ready_ = pa_context_get_state(context_) == PA_CONTEXT_READY;
    if (!ready_ && why)
        *why = QStringLiteral("no sound server (PulseAudio or PipeWire) answers: %1").arg(lastError());
    return ready_;
}

void PulseConnection::close() {
    if (!loop_)
        return;
    {
        Lock lock(loop_);
        if (context_) {
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
    }
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
    loop_ = nullptr;
    ready_ = false;
}

QString PulseConnection::lastError() const {
    return context_ ? fromServer(pa_strerror(pa_context_errno(context_))) : QStringLiteral("not connected");
}

bool PulseConnection::waitLocked(const std::function<bool()>& done, int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        pa_threaded_mainloop_unlock(loop_);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        pa_threaded_mainloop_lock(loop_);
    }
    return true;
}

bool PulseConnection::finish(pa_operation* operation) {
    if (!operation)
        return false;
    const bool done = waitLocked([operation] { return pa_operation_get_state(operation) != PA_OPERATION_RUNNING; });
    if (!done)
        pa_operation_cancel(operation);
    pa_operation_unref(operation);
    return done;
}

std::vector<PulseConnection::Device> PulseConnection::inputs() {
    Listing listing;
    if (!ready_)
        return {};
    Lock lock(loop_);
    finish(pa_context_get_source_info_list(context_, addSource, &listing));
    std::stable_partition(listing.devices.begin(), listing.devices.end(),
                          [](const Device& device) { return !device.monitor; });
    return listing.devices;
}

std::vector<PulseConnection::Device> PulseConnection::outputs() {
    Listing listing;
    if (!ready_)
        return {};
    Lock lock(loop_);
    finish(pa_context_get_sink_info_list(context_, addSink, &listing));
    return listing.devices;
}

QString PulseConnection::defaultInputName() { return describe(inputs(), serverDefaults().source); }

QString PulseConnection::defaultOutputName() { return describe(outputs(), serverDefaults().sink); }

PulseConnection::Defaults PulseConnection::serverDefaults() {
    Defaults defaults;
    if (ready_) {
        Lock lock(loop_);
        finish(pa_context_get_server_info(context_, takeServerInfo, &defaults));
    }
    return defaults;
}

namespace SoundDevices {

namespace {
QStringList descriptions(const std::vector<PulseConnection::Device>& devices) {
    QStringList names;
    for (const auto& device : devices)
        names << device.description;
    return names;
}
} // namespace

QStringList inputNames() {
    PulseConnection server;
    return server.open(nullptr) ? descriptions(server.inputs()) : QStringList();
}

QStringList outputNames() {
    PulseConnection server;
    return server.open(nullptr) ? descriptions(server.outputs()) : QStringList();
}

QString defaultInputName() {
    PulseConnection server;
    return server.open(nullptr) ? server.defaultInputName() : QString();
}

QString defaultOutputName() {
    PulseConnection server;
    return server.open(nullptr) ? server.defaultOutputName() : QString();
}

} // namespace SoundDevices
