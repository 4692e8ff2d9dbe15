#include "ToneWaveform.h"

#include "common/WavIo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cmath>

namespace ToneWaveform {

std::optional<QVector<float>> load(const QString& path, QString* why) {
    const std::optional<WavIo::Sound> sound = WavIo::read(path, why);
    if (!sound)
        return std::nullopt;
    if (sound->samples.empty()) {
        if (why)
            *why = QStringLiteral("%1 holds no sound").arg(path);
        return std::nullopt;
    }
    return QVector<float>(sound->samples.begin(), sound->samples.end());
}

QByteArray makeCwWav(int blocks, int sampleRate) {
    std::vector<float> samples(size_t(blocks) * kBlockSamples);
    for (size_t n = 0; n < samples.size(); ++n)
        samples[n] = float(0.9 * std::sin(2 * M_PI * double(n) / kSamplesPerPeriod));
    return WavIo::encode16Mono(samples, sampleRate);
}

QString locate(const QString& programFolder) {
    const QString beside = programFolder + QStringLiteral("/cw.wav");
    const QString installed =
        QDir::cleanPath(programFolder + QStringLiteral("/../share/zarnikcontrol/cw.wav"));
    for (const QString& candidate : {QStringLiteral("cw.wav"), beside, installed})
        if (QFileInfo::exists(candidate))
            return candidate;
    return beside;
}

QString locate() { return locate(QCoreApplication::applicationDirPath()); }

} // namespace ToneWaveform
