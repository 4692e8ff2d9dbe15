#include "WavFileToneOutput.h"

#include "common/WavIo.h"
#include "platform/Clock.h"

#include <QtEndian>
#include <vector>

namespace {
constexpr int kBytesPerFrame = 2;
} // namespace

WavFileToneOutput::WavFileToneOutput(QString path, const Clock& clock)
    : path_(std::move(path)), clock_(clock) {
    timer_.setInterval(kWriteIntervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] { catchUp(); });
}

WavFileToneOutput::~WavFileToneOutput() { finish(); }

QByteArray WavFileToneOutput::header(qint64 frames) { return WavIo::header16Mono(kSampleRate, frames); }

bool WavFileToneOutput::start(SampleSource& source, QString* why) {
    if (file_.isOpen()) {
        source_ = &source; // a new tone on the same stream
        return true;
    }
    file_.setFileName(path_);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (why)
            *why = QStringLiteral("Cannot write %1: %2").arg(path_, file_.errorString());
        return false;
    }
    file_.write(header(0));
    source_ = &source;
    frames_ = 0;
    startSeconds_ = clock_.monotonicSeconds();
    timer_.start();
    return true;
}

void WavFileToneOutput::catchUp() {
    if (!file_.isOpen())
        return;
    const auto due = static_cast<qint64>((clock_.monotonicSeconds() - startSeconds_) * kSampleRate);
    if (due > frames_)
        writeFrames(static_cast<int>(qMin<qint64>(due - frames_, kSampleRate)));
}

void WavFileToneOutput::writeFrames(int frames) {
    std::vector<qint16> samples(static_cast<size_t>(frames), 0);
    if (source_)
        source_->render(samples.data(), frames);
    for (qint16& sample : samples)
        sample = qToLittleEndian(sample);
    file_.write(reinterpret_cast<const char*>(samples.data()), frames * kBytesPerFrame);
    frames_ += frames;
    if (frames_ - framesInHeader_ >= kSampleRate / 2)
        updateHeader();
}

void WavFileToneOutput::updateHeader() {
    const qint64 end = file_.pos();
    file_.seek(0);
    file_.write(header(frames_));
    file_.seek(end);
    file_.flush();
    framesInHeader_ = frames_;
}

void WavFileToneOutput::finish() {
    if (!file_.isOpen())
        return;
    catchUp();
    updateHeader();
    timer_.stop();
    source_ = nullptr;
    file_.close();
}
