#pragma once

#include <QString>
#include <QVector>
#include <optional>

// The side tone's waveform, "cw.wav": one cycle pattern looped for ever. It holds two sine
// periods in 141 samples, so played at Hertz x 70.5 samples a second it sounds at Hertz.
namespace ToneWaveform {

constexpr double kSamplesPerPeriod = 70.5;
constexpr int kBlockSamples = 141;

// The samples of a WAV file (channels mixed), scaled to -1..1.
std::optional<QVector<float>> load(const QString& path, QString* why);

// A whole number of 141-sample blocks of two sine periods, as 16-bit PCM WAV bytes.
QByteArray makeCwWav(int blocks = 10, int sampleRate = 44100);

// Where "cw.wav" is: in the working folder, else beside the program, else where the package
// installs it (../share/zarnikcontrol from the program's folder). When there is none, the
// one beside the program, for the message that says it is missing.
QString locate(const QString& programFolder);
QString locate(); // for this program

} // namespace ToneWaveform
