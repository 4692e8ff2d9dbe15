#pragma once

#include "ToneOutput.h"

#include <QFile>
#include <QTimer>

class Clock;

// Writes the side tone to a WAV file (48 kHz, 16-bit PCM, mono) as one continuous stream
// in real time, silence included, as a sound card would play it: from the first start to the
// end of the program, with silence while no tone is attached. The header is brought up to
// date twice a second and when the program ends, so the file is whole.
class WavFileToneOutput final : public ToneOutput {
public:
    static constexpr int kWriteIntervalMs = 10;

    WavFileToneOutput(QString path, const Clock& clock);
    ~WavFileToneOutput() override;

    bool start(SampleSource& source, QString* why) override;
    void stop() override { source_ = nullptr; }
    bool isRunning() const override { return source_ != nullptr; }
    // Writes what is due and closes the file.
    void finish();

    // Writes the samples that are due by now (the timer calls it).
    void catchUp();
    qint64 framesWritten() const { return frames_; }

    static QByteArray header(qint64 frames);

private:
    void writeFrames(int frames);
    void updateHeader();

    QString path_;
    const Clock& clock_;
    QFile file_;
    QTimer timer_;
    SampleSource* source_ = nullptr;
    double startSeconds_ = 0;
    qint64 frames_ = 0;
    qint64 framesInHeader_ = 0;
};
