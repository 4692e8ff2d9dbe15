#include "PulseDuplex.h"

#include <pulse/pulseaudio.h>

#include <QMetaObject>
#include <vector>

namespace {

constexpr pa_sample_spec kSpec{PA_SAMPLE_FLOAT32LE, SoundDuplex::kSampleRate, 1};

uint32_t bytesFor(int ms) { return uint32_t(SoundDuplex::kSampleRate * ms / 1000 * sizeof(float)); }

struct Lock {
    explicit Lock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~Lock() { pa_threaded_mainloop_unlock(loop_); }
    pa_threaded_mainloop* loop_;
};

void onRead(pa_stream* stream, size_t, void* duplex) { static_cast<PulseDuplex*>(duplex)->takeCaptured(stream); }

void onWrite(pa_stream* stream, size_t bytes, void* duplex) {
    static_cast<PulseDuplex*>(duplex)->feedPlayback(stream, bytes);
}

void onStreamState(pa_stream* stream, void* duplex) {
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
        static_cast<PulseDuplex*>(duplex)->noteTrouble();
}

void onContextState(pa_context* context, void* duplex) {
    const pa_context_state_t state = pa_context_get_state(context);
    if (state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED)
        static_cast<PulseDuplex*>(duplex)->noteTrouble();
}

QString deviceName(const std::vector<PulseConnection::Device>& devices, int index) {
    return index >= 0 && size_t(index) < devices.size() ? devices[size_t(index)].name : QString();
}

bool streamReady(pa_stream* stream) { return pa_stream_get_state(stream) == PA_STREAM_READY; }

bool streamSettled(pa_stream* stream) {
    return pa_stream_get_state(stream) != PA_STREAM_CREATING && pa_stream_get_state(stream) != PA_STREAM_UNCONNECTED;
}

} // namespace

PulseDuplex::PulseDuplex() = default;

PulseDuplex::~PulseDuplex() { stop(); }

bool PulseDuplex::start(DuplexClient& client, int inputDevice, int outputDevice, QString* why) {
    stop();
    server_ = std::make_unique<PulseConnection>();
    QString reason;
    bool ok = server_->open(&reason);
    if (ok) {
        const QString source = deviceName(server_->inputs(), inputDevice);
        const QString sink = deviceName(server_->outputs(), outputDevice);
        ok = openStreams(source, sink, &reason);
    }
    if (!ok) {
        stop();
        if (why)
            *why = reason;
        return false;
    }
    client_ = &client;
    refillPlayback();
    return true;
}

bool PulseDuplex::openStreams(const QString& source, const QString& sink, QString* why) {
    Lock lock(server_->loop());
    pa_context* context = server_->context();
    stopping_ = false;
    failurePosted_ = false;
    pa_context_set_state_callback(context, onContextState, this);
    record_ = pa_stream_new(context, "Modem receive", &kSpec, nullptr);
    play_ = pa_stream_new(context, "Modem transmit", &kSpec, nullptr);
    if (!record_ || !play_) {
        *why = server_->lastError();
        return false;
    }
    for (pa_stream* stream : {record_, play_})
        pa_stream_set_state_callback(stream, onStreamState, this);
    pa_stream_set_read_callback(record_, onRead, this);
    pa_stream_set_write_callback(play_, onWrite, this);
    const pa_buffer_attr recordAttr{uint32_t(-1), uint32_t(-1), uint32_t(-1), uint32_t(-1), bytesFor(kFragmentMs)};
    const pa_buffer_attr playAttr{uint32_t(-1), bytesFor(kPlaybackBufferMs), uint32_t(-1), bytesFor(kFragmentMs),
                                  uint32_t(-1)};
    const QByteArray sourceName = source.toUtf8(), sinkName = sink.toUtf8();
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY);
    if (pa_stream_connect_record(record_, source.isEmpty() ? nullptr : sourceName.constData(), &recordAttr, flags) < 0 ||
        pa_stream_connect_playback(play_, sink.isEmpty() ? nullptr : sinkName.constData(), &playAttr, flags, nullptr,
                                   nullptr) < 0) {
        *why = server_->lastError();
        return false;
    }
    server_->waitLocked([this] { return streamSettled(record_) && streamSettled(play_); });
    if (streamReady(record_) && streamReady(play_))
        return true;
    *why = QStringLiteral("the sound device would not open: %1").arg(server_->lastError());
    return false;
}

void PulseDuplex::stop() {
    stopping_ = true;
    client_ = nullptr;
    if (server_ && server_->loop()) {
        Lock lock(server_->loop());
        for (pa_stream** stream : {&record_, &play_}) {
            if (!*stream)
                continue;
            pa_stream_set_state_callback(*stream, nullptr, nullptr);
            pa_stream_set_read_callback(*stream, nullptr, nullptr);
            pa_stream_set_write_callback(*stream, nullptr, nullptr);
            pa_stream_disconnect(*stream);
            pa_stream_unref(*stream);
            *stream = nullptr;
        }
        if (server_->context())
            pa_context_set_state_callback(server_->context(), nullptr, nullptr);
    }
    server_.reset();
    std::lock_guard<std::mutex> guard(queues_);
    captured_.clear();
    toPlay_.clear();
}

void PulseDuplex::takeCaptured(pa_stream* stream) {
    const void* data = nullptr;
    size_t bytes = 0;
    while (pa_stream_readable_size(stream) > 0 && pa_stream_peek(stream, &data, &bytes) == 0) {
        if (bytes == 0)
            break;
        if (data) { // (no data: a hole in the capture)
            const auto* samples = static_cast<const float*>(data);
            std::lock_guard<std::mutex> guard(queues_);
            captured_.insert(captured_.end(), samples, samples + bytes / sizeof(float));
            const size_t most = size_t(kSampleRate) * kMaxCaptureQueuedMs / 1000;
            if (captured_.size() > most)
                captured_.erase(captured_.begin(), captured_.begin() + long(captured_.size() - most));
        }
        pa_stream_drop(stream);
    }
    if (!deliveryPosted_.exchange(true))
        QMetaObject::invokeMethod(this, &PulseDuplex::deliverCaptured, Qt::QueuedConnection);
}

void PulseDuplex::feedPlayback(pa_stream* stream, size_t bytes) {
    std::vector<float> out(bytes / sizeof(float), 0.0f); // silence where the modem has nothing yet
    {
        std::lock_guard<std::mutex> guard(queues_);
        const size_t have = std::min(out.size(), toPlay_.size());
        std::copy(toPlay_.begin(), toPlay_.begin() + long(have), out.begin());
        toPlay_.erase(toPlay_.begin(), toPlay_.begin() + long(have));
    }
    pa_stream_write(stream, out.data(), out.size() * sizeof(float), nullptr, 0, PA_SEEK_RELATIVE);
    if (!refillPosted_.exchange(true))
        QMetaObject::invokeMethod(this, &PulseDuplex::refillPlayback, Qt::QueuedConnection);
}

void PulseDuplex::noteTrouble() {
    if (stopping_ || failurePosted_.exchange(true))
        return;
    QMetaObject::invokeMethod(this, &PulseDuplex::reportFailure, Qt::QueuedConnection);
}

void PulseDuplex::deliverCaptured() {
    deliveryPosted_ = false;
    std::vector<float> samples;
    {
        std::lock_guard<std::mutex> guard(queues_);
        samples.assign(captured_.begin(), captured_.end());
        captured_.clear();
    }
    if (client_ && !samples.empty())
        client_->captured(samples.data(), samples.size());
}

void PulseDuplex::refillPlayback() {
    refillPosted_ = false;
    if (!client_)
        return;
    const size_t ahead = size_t(kSampleRate) * kPlaybackAheadMs / 1000;
    const size_t piece = size_t(kSampleRate) * kFragmentMs / 1000;
    std::vector<float> samples(piece);
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(queues_);
            if (toPlay_.size() >= ahead)
                return;
        }
        client_->playback(samples.data(), samples.size());
        if (!client_)
            return; // the client stopped the sound meanwhile
        std::lock_guard<std::mutex> guard(queues_);
        toPlay_.insert(toPlay_.end(), samples.begin(), samples.end());
    }
}

void PulseDuplex::reportFailure() {
    if (stopping_ || !client_)
        return;
    QString why;
    if (server_ && server_->loop()) {
        Lock lock(server_->loop());
        why = server_->lastError();
    }
    DuplexClient* client = client_;
    stop();
    client->soundFailed(why.isEmpty() ? QStringLiteral("the sound server went away") : why);
}
