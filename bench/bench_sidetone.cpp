// The side tone's keying accuracy and what sounding it costs the event loop.
//
// 1. Element timing: "PARIS " five times, rendered at 5, 20, 40 and 60 wpm; every edge is read
//    back from the samples at half the tone's level and compared with the ideal timing.
// 2. Event-loop stall: 100 characters sounded in real time through the program's side tone
//    (to a WAV file, as with --sidetone-wav) while a 1 ms timer measures the longest gap.
// With a file name argument it also writes "CQ TEST" at 24 wpm there, to listen to.
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "keyer/MorseTiming.h"
#include "keyer/SideTone.h"
#include "keyer/SideToneRenderer.h"
#include "keyer/ToneWaveform.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/sound/WavFileToneOutput.h"
#include "sim/ToneMeasure.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <functional>
#include <cstdio>

namespace {

constexpr int kRate = 48000;

QVector<float> waveform(const QString& folder) {
    QFile file(folder + "/cw.wav");
    file.open(QIODevice::WriteOnly);
    file.write(ToneWaveform::makeCwWav());
    file.close();
    return ToneWaveform::load(file.fileName(), nullptr).value();
}

std::vector<short> render(const QVector<float>& table, const QString& text, double wpm) {
    SideToneRenderer tone(table, kRate);
    for (QChar c : text)
        tone.appendCharacter(c, wpm);
    std::vector<short> samples(size_t(tone.queuedSeconds() * kRate) + kRate / 10);
    tone.render(samples.data(), int(samples.size()));
    return samples;
}

void timingError(const QVector<float>& table, double wpm) {
    const QString text = QString("PARIS ").repeated(5);
    const auto measured = ToneMeasure::crossings(
        ToneMeasure::envelope(render(table, text, wpm), 60), 0.9 * 32767 / 2);
    const std::vector<double> ideal = ToneMeasure::idealEdges(text, wpm, kRate);
    double worst = 0, sum = 0;
    for (size_t i = 1; i < ideal.size() && i < measured.size(); ++i) {
        const double error = std::fabs((measured[i] - measured[0]) - (ideal[i] - ideal[0])) / kRate * 1000;
        worst = std::max(worst, error);
        sum += error;
    }
    std::printf("  %2.0f wpm: %zu edges, max error %.4f ms, mean %.4f ms\n", wpm, measured.size(),
                worst, sum / std::max<size_t>(1, measured.size() - 1));
}

// The longest gap between the ticks of a 1 ms timer over `seconds` while `busy` holds.
qint64 longestGap(double seconds, const std::function<bool()>& busy) {
    QElapsedTimer gap, total;
    qint64 longest = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longest = std::max(longest, gap.nsecsElapsed());
        gap.restart();
        if (total.elapsed() > seconds * 1000 && !busy())
            QCoreApplication::quit();
    });
    gap.start();
    total.start();
    probe.start(1);
    QCoreApplication::exec();
    return longest;
}

void eventLoopStall(const QString& folder) {
    SystemClock clock;
    RecordingDialogs dialogs;
    WavFileToneOutput output(folder + "/stall.wav", clock);
    ControlStore store;
    store.setText(Ctl::sideTonePitchBox, "800");
    store.setValue(Ctl::sideToneVolume, -500);
    SideTone tone({.store = store, .dialogs = dialogs, .output = output, .cwSpeed = [] { return 60; }});
    tone.startToneBuffer(false);
    tone.queue(QString("CQ TEST DE OH2XX ").repeated(6).left(100));
    QTimer step;
    QObject::connect(&step, &QTimer::timeout, &tone, &SideTone::step);
    step.start(100);
    const qint64 sounding =
        longestGap(0, [&] { return !tone.sideToneText().isEmpty() || tone.isSounding(); });
    step.stop();
    tone.stop();
    const qint64 quiet = longestGap(10, [] { return false; });
    std::printf("  longest event-loop gap while 100 characters sounded: %.2f ms (1 ms timer; "
                "%.2f ms over 10 s with nothing sounding)\n", sounding / 1e6, quiet / 1e6);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    const QVector<float> table = waveform(folder.path());
    std::printf("side tone element timing, measured from the samples at half level:\n");
    for (double wpm : {5.0, 20.0, 40.0, 60.0})
        timingError(table, wpm);
    eventLoopStall(folder.path());
    if (argc > 1) {
        const auto samples = render(table, "CQ TEST", 24);
        QFile out(QString::fromLocal8Bit(argv[1]));
        out.open(QIODevice::WriteOnly);
        out.write(WavFileToneOutput::header(qint64(samples.size())));
        out.write(reinterpret_cast<const char*>(samples.data()), qint64(samples.size() * 2));
        std::printf("wrote \"CQ TEST\" at 24 wpm to %s\n", argv[1]);
    }
    return 0;
}
