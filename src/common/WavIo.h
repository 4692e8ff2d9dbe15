#pragma once

#include <QFile>
#include <QString>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

// The program's one WAV codec, for the side tone's waveform, the modem, the WAV sound devices
// and zarnik-modem: any PCM (8, 16, 24, 32 bit) or 32-bit float sound in, from a file or from
// bytes, channels mixed to mono; 16-bit PCM mono out.
namespace WavIo {

struct Sound {
    std::vector<float> samples; // -1..1
    int sampleRate = 0;
};

// The whole file at once (for files of a few minutes).
std::optional<Sound> read(const QString& path, QString* why);
// The whole sound held in `bytes`; `name` is what a message calls it.
std::optional<Sound> readBytes(const QByteArray& bytes, QString* why, const QString& name);

// A file read a block at a time, so that memory stays the same whatever its length.
class Reader {
public:
    bool open(const QString& path, QString* why);
    // Reads from a device that is already open (bytes in memory, for instance).
    bool open(QIODevice& device, QString* why, const QString& name = QStringLiteral("the sound"));
    int sampleRate() const { return rate_; }
    // Up to `frames` samples (mono) into `out`; an empty block at the end of the sound.
    bool readBlock(std::vector<float>& out, size_t frames);

private:
    bool readHeader(QString* why);

    QFile file_;
    QIODevice* device_ = nullptr;
    QString path_;
    int format_ = 0, channels_ = 0, rate_ = 0, bits_ = 0;
    qint64 remaining_ = 0; // bytes of sound still to come
};
// A sample of -1..1 as 16-bit PCM (beyond the range it is held at the range's end).
inline qint16 pcm16(float sample) {
    return static_cast<qint16>(std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f));
}

// 16-bit PCM mono: the 44-byte header for `frames` samples, and the samples as such a file.
QByteArray header16Mono(int sampleRate, qint64 frames);
QByteArray encode16Mono(const std::vector<float>& samples, int sampleRate);
bool write(const QString& path, const std::vector<float>& samples, int sampleRate, QString* why);

} // namespace WavIo
