#pragma once

#include <QString>
#include <optional>
#include <vector>

// WAV files for the modem: any PCM (8, 16, 24, 32 bit) or 32-bit float file in, channels
// mixed to mono; 16-bit PCM mono out.
namespace WavIo {

struct Sound {
    std::vector<float> samples; // -1..1
    int sampleRate = 0;
};

std::optional<Sound> read(const QString& path, QString* why);
bool write(const QString& path, const std::vector<float>& samples, int sampleRate, QString* why);

} // namespace WavIo
