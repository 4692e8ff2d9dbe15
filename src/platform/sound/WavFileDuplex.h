#pragma once

#include "SoundDuplex.h"

#include <QFile>
#include <QTimer>
#include <vector>

class Clock;

// WAV files in place of the sound card, for tests and for users: the input file is played
// into the modem in real time (48 kHz, converted from the file's rate by the nearest sample),
// and what the modem sends is written to the output file, silence included.
class WavFileDuplex final : public SoundDuplex {
public:
    static constexpr int kTickMs = 20;

    WavFileDuplex(std::vector<float> input, int inputRate, QString outputPath, const Clock& clock);
    ~WavFileDuplex() override;

    bool start(DuplexClient& client, int inputDevice, int outputDevice, QString* why) override;
    void stop() override;
    // Moves the streams on to the present (the timer does it every 20 ms).
    void tick();
    bool inputFinished() const { return fed_ >= qint64(input_.size()); }

private:
    std::vector<float> input_;
    double inputRate_;
    QString outputPath_;
    const Clock& clock_;
    QFile output_;
    QTimer timer_;
    DuplexClient* client_ = nullptr;
    double startSeconds_ = 0;
    qint64 frames_ = 0; // at 48 kHz, since the start
    qint64 fed_ = 0;    // input samples handed over
    std::vector<qint16> written_;
};
