#include "ToneWaveform.h"

#include "common/WavHeader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cmath>

namespace ToneWaveform {
namespace {

constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

quint32 read32(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint16 read16(const QByteArray& b, qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); }

bool fail(QString* why, const QString& text) {
    if (why)
        *why = text;
    return false;
}

} // namespace

std::optional<QVector<float>> load(const QString& path, QString* why) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(why, QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxFileBytes);
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE") {
        fail(why, QStringLiteral("%1 is not a WAV file").arg(path));
        return std::nullopt;
    }
    int channels = 0, bits = 0;
    for (qsizetype at = 12; at + 8 <= bytes.size();) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = read32(bytes, at + 4);
        const qsizetype body = at + 8;
        if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
            if (read16(bytes, body) != 1) {
                fail(why, QStringLiteral("%1 is not plain PCM").arg(path));
                return std::nullopt;
            }
            channels = read16(bytes, body + 2);
            bits = read16(bytes, body + 14);
        } else if (id == "data" && channels > 0 && bits == 16) {
            const qsizetype end = qMin(body + size, bytes.size());
            QVector<float> samples;
            for (qsizetype p = body; p + 2 * channels <= end; p += 2 * channels) {
                float sum = 0;
                for (int c = 0; c < channels; ++c)
                    sum += qFromLittleEndian<qint16>(bytes.constData() + p + 2 * c) / 32768.0f;
                samples << sum / channels;
            }
            if (samples.isEmpty())
                break;
            return samples;
        }
        at = body + size + (size & 1);
    }
    fail(why, QStringLiteral("%1 holds no 16-bit sound").arg(path));
    return std::nullopt;
}

QByteArray makeCwWav(int blocks, int sampleRate) {
    const int frames = blocks * kBlockSamples;
    QByteArray data;
    for (int n = 0; n < frames; ++n) {
        const double value = 0.9 * std::sin(2 * M_PI * n / kSamplesPerPeriod);
        char sample[2];
        qToLittleEndian(static_cast<qint16>(std::lround(value * 32767)), sample);
        data.append(sample, 2);
    }
    return wavHeader16Mono(sampleRate, frames) + data;
}

QString locate() {
    if (QFileInfo::exists(QStringLiteral("cw.wav")))
        return QStringLiteral("cw.wav");
    return QCoreApplication::applicationDirPath() + QStringLiteral("/cw.wav");
}

} // namespace ToneWaveform
