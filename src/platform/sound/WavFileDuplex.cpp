#include "WavFileDuplex.h"

#include "WavFileToneOutput.h"
#include "common/WavIo.h"
#include "platform/Clock.h"

#include <QtEndian>
#include <cmath>

WavFileDuplex::WavFileDuplex(std::vector<float> input, int inputRate, QString outputPath,
                             const Clock& clock)
    : input_(std::move(input)), inputRate_(inputRate > 0 ? inputRate : kSampleRate),
      outputPath_(std::move(outputPath)), clock_(clock) {
    timer_.setInterval(kTickMs);
    QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
}

WavFileDuplex::~WavFileDuplex() { stop(); }

bool WavFileDuplex::start(DuplexClient& client, int, int, QString* why) {
    if (!outputPath_.isEmpty()) {
        output_.setFileName(outputPath_);
        if (!output_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            if (why)
                *why = QStringLiteral("Cannot write %1: %2").arg(outputPath_, output_.errorString());
            return false;
        }
        output_.write(WavFileToneOutput::header(0));
    }
    client_ = &client;
    startSeconds_ = clock_.monotonicSeconds();
    timer_.start();
    return true;
}

void WavFileDuplex::tick() {
    if (!client_)
        return;
    const auto due = qint64((clock_.monotonicSeconds() - startSeconds_) * kSampleRate);
    const qint64 frames = std::min<qint64>(due - frames_, kSampleRate);
    if (frames <= 0)
        return;
    std::vector<float> heard(size_t(frames), 0.0f);
    for (qint64 n = 0; n < frames; ++n) {
        const auto at = qint64(std::floor(double(frames_ + n) * inputRate_ / kSampleRate));
        if (at < qint64(input_.size()))
            heard[size_t(n)] = input_[size_t(at)];
        fed_ = std::max(fed_, at + 1);
    }
    frames_ += frames;
    client_->captured(heard.data(), heard.size());
    std::vector<float> sent(static_cast<size_t>(frames), 0.0f);
    client_->playback(sent.data(), sent.size());
    if (output_.isOpen()) {
        for (float v : sent)
            written_.push_back(qToLittleEndian(WavIo::pcm16(v)));
    }
}

void WavFileDuplex::stop() {
    timer_.stop();
    client_ = nullptr;
    if (!output_.isOpen())
        return;
    output_.seek(0);
    output_.write(WavFileToneOutput::header(qint64(written_.size())));
    output_.write(reinterpret_cast<const char*>(written_.data()), qint64(written_.size() * 2));
    output_.close();
}
