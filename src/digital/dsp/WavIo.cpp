#include "WavIo.h"

#include "common/WavHeader.h"

#include <QFile>
#include <QtEndian>
#include <cmath>

namespace WavIo {
namespace {

constexpr qint64 kMaxBytes = 1LL << 31;

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

std::optional<Sound> read(const QString& path, QString* why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(why, QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray b = file.read(kMaxBytes);
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE") {
        fail(why, QStringLiteral("%1 is not a WAV file").arg(path));
        return std::nullopt;
    }
    int format = 0, channels = 0, rate = 0, bits = 0;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const qsizetype size = qFromLittleEndian<quint32>(b.constData() + at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= b.size()) {
            format = qFromLittleEndian<quint16>(b.constData() + body);
            channels = qFromLittleEndian<quint16>(b.constData() + body + 2);
            rate = int(qFromLittleEndian<quint32>(b.constData() + body + 4));
            bits = qFromLittleEndian<quint16>(b.constData() + body + 14);
            if (format == 0xFFFE && size >= 26) // extensible: the real format follows
                format = qFromLittleEndian<quint16>(b.constData() + body + 24);
        } else if (id == "data") {
            const bool isFloat = format == 3 && bits == 32;
            if ((format != 1 && !isFloat) || channels < 1 || rate <= 0 ||
                (bits != 8 && bits != 16 && bits != 24 && bits != 32)) {
                fail(why, QStringLiteral("%1: only PCM or 32-bit float sound can be read").arg(path));
                return std::nullopt;
            }
            const int frameBytes = channels * bits / 8;
            const qsizetype end = std::min<qsizetype>(body + size, b.size());
            Sound sound;
            sound.sampleRate = rate;
            for (qsizetype p = body; p + frameBytes <= end; p += frameBytes) {
                float sum = 0;
                for (int c = 0; c < channels; ++c)
                    sum += sampleAt(b.constData() + p + c * bits / 8, bits, isFloat);
                const float v = sum / channels;
                sound.samples.push_back(std::isfinite(v) ? std::clamp(v, -1.0f, 1.0f) : 0.0f);
            }
            return sound;
        }
        at = body + size + (size & 1);
    }
    fail(why, QStringLiteral("%1 holds no sound").arg(path));
    return std::nullopt;
}

bool write(const QString& path, const std::vector<float>& samples, int sampleRate, QString* why) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(why, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    QByteArray data;
    data.reserve(qsizetype(samples.size() * 2));
    for (float s : samples) {
        char v[2];
        qToLittleEndian(static_cast<qint16>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767)), v);
        data.append(v, 2);
    }
    const QByteArray header = wavHeader16Mono(sampleRate, qint64(samples.size()));
    if (file.write(header + data) < 0)
        return fail(why, QStringLiteral("cannot write %1").arg(path));
    return true;
}

} // namespace WavIo
