#include "WavIo.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>
#include <cmath>

namespace WavIo {
namespace {

bool fail(QString* why, const QString& text) {
    if (why)
        *why = text;
    return false;
}

float sampleAt(const char* p, int bits, bool isFloat) {
    if (isFloat)
        return qFromLittleEndian<float>(p);
    switch (bits) {
    case 8: return (static_cast<unsigned char>(*p) - 128) / 128.0f;
    case 16: return qFromLittleEndian<qint16>(p) / 32768.0f;
    case 24: {
        const qint32 v = (static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[1]) << 8 |
                          static_cast<signed char>(p[2]) * 65536);
        return v / 8388608.0f;
    }
    default: return qFromLittleEndian<qint32>(p) / 2147483648.0f;
    }
}

} // namespace

bool Reader::open(const QString& path, QString* why) {
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return fail(why, QStringLiteral("cannot read %1: %2").arg(path, file_.errorString()));
    return open(file_, why, path);
}

bool Reader::open(QIODevice& device, QString* why, const QString& name) {
    device_ = &device;
    path_ = name;
    const QByteArray riff = device_->read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return fail(why, QStringLiteral("%1 is not a WAV file").arg(path_));
    return readHeader(why);
}

// Walks the chunks up to the sound: "fmt " says what it is, "data" holds it.
bool Reader::readHeader(QString* why) {
    for (;;) {
        const QByteArray head = device_->read(8);
        if (head.size() < 8)
            return fail(why, QStringLiteral("%1 holds no sound").arg(path_));
        const qint64 size = qFromLittleEndian<quint32>(head.constData() + 4);
        if (head.startsWith("fmt ") && size >= 16) {
            const QByteArray fmt = device_->read(std::min<qint64>(size, 64));
            if (fmt.size() < 16)
                return fail(why, QStringLiteral("%1 holds no sound").arg(path_));
            format_ = qFromLittleEndian<quint16>(fmt.constData());
            channels_ = qFromLittleEndian<quint16>(fmt.constData() + 2);
            rate_ = int(qFromLittleEndian<quint32>(fmt.constData() + 4));
            bits_ = qFromLittleEndian<quint16>(fmt.constData() + 14);
            if (format_ == 0xFFFE && fmt.size() >= 26) // extensible: the real format follows
                format_ = qFromLittleEndian<quint16>(fmt.constData() + 24);
            device_->seek(device_->pos() - fmt.size() + size + (size & 1));
        } else if (head.startsWith("data")) {
            const bool isFloat = format_ == 3 && bits_ == 32;
            if ((format_ != 1 && !isFloat) || channels_ < 1 || rate_ <= 0 ||
                (bits_ != 8 && bits_ != 16 && bits_ != 24 && bits_ != 32))
                return fail(why, QStringLiteral("%1: only PCM or 32-bit float sound can be read").arg(path_));
            // A recorder that never went back to write the size leaves 0 or all ones there.
            const qint64 left = device_->size() - device_->pos();
            remaining_ = size == 0 || size > left ? left : size;
            return true;
        } else if (!device_->seek(device_->pos() + size + (size & 1))) {
            return fail(why, QStringLiteral("%1 holds no sound").arg(path_));
        }
    }
}

bool Reader::readBlock(std::vector<float>& out, size_t frames) {
    out.clear();
    const int sampleBytes = bits_ / 8, frameBytes = channels_ * sampleBytes;
    const qint64 want = std::min<qint64>(remaining_, qint64(frames) * frameBytes);
    const QByteArray bytes = device_->read(want - want % frameBytes);
    remaining_ -= bytes.size();
    if (bytes.size() < want)
        remaining_ = 0; // the file ended early
    const bool isFloat = format_ == 3;
    for (qsizetype p = 0; p + frameBytes <= bytes.size(); p += frameBytes) {
        float sum = 0;
        for (int c = 0; c < channels_; ++c)
            sum += sampleAt(bytes.constData() + p + c * sampleBytes, bits_, isFloat);
        const float v = sum / float(channels_);
        out.push_back(std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f);
    }
    return !out.empty();
}

namespace {

std::optional<Sound> readAll(Reader& reader) {
    Sound sound;
    sound.sampleRate = reader.sampleRate();
    std::vector<float> block;
    while (reader.readBlock(block, 1 << 16))
        sound.samples.insert(sound.samples.end(), block.begin(), block.end());
    return sound;
}

} // namespace

std::optional<Sound> read(const QString& path, QString* why) {
    Reader reader;
    if (!reader.open(path, why))
        return std::nullopt;
    return readAll(reader);
}

std::optional<Sound> readBytes(const QByteArray& bytes, QString* why, const QString& name) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    Reader reader;
    if (!reader.open(buffer, why, name))
        return std::nullopt;
    return readAll(reader);
}

QByteArray header16Mono(int sampleRate, qint64 frames) {
    const auto dataBytes = static_cast<quint32>(frames * 2);
    QByteArray out("RIFF");
    char word[4];
    auto put32 = [&](quint32 v) { qToLittleEndian(v, word); out.append(word, 4); };
    auto put16 = [&](quint16 v) { qToLittleEndian(v, word); out.append(word, 2); };
    put32(36 + dataBytes);
    out += "WAVEfmt ";
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(static_cast<quint32>(sampleRate));
    put32(static_cast<quint32>(sampleRate * 2));
    put16(2);
    put16(16);
    out += "data";
    put32(dataBytes);
    return out;
}

QByteArray encode16Mono(const std::vector<float>& samples, int sampleRate) {
    QByteArray data = header16Mono(sampleRate, qint64(samples.size()));
    data.reserve(data.size() + qsizetype(samples.size() * 2));
    for (float s : samples) {
        char v[2];
        qToLittleEndian(pcm16(s), v);
        data.append(v, 2);
    }
    return data;
}

bool write(const QString& path, const std::vector<float>& samples, int sampleRate, QString* why) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(why, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    if (file.write(encode16Mono(samples, sampleRate)) < 0)
        return fail(why, QStringLiteral("cannot write %1").arg(path));
    return true;
}

} // namespace WavIo
