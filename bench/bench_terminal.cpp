// The digital terminal's figures.
//
//   bench_terminal box      a receive box holding a contest weekend of text (1,000,000
//                           characters): time to append one more character, memory growth
//   bench_terminal latency  receive-to-screen: from the last sample of a character (its
//                           closing gap included) to its text in the box, audio fed in real
//                           time in 20 ms pieces as the sound card hands it over
//   bench_terminal live [S] the terminal open on the real sound card for S seconds (60) with
//                           the waterfall: CPU of this process (run it under Xvfb with a sound
//                           server; see bench/terminal_cost.sh)
//   bench_terminal skimmer [S] [PNG]  the same, the browser listening for CW (see
//                           bench/skimmer_cost.sh)
//   bench_terminal browser [S] [PNG]  the same with the signal browser open (see
//                           bench/browser_cost.sh); PNG: a picture of the browser at the end
#include "BenchSupport.h"
#include "digital/dsp/PskModulator.h"
#include "digital/dsp/Varicode.h"
#include "digital/terminal/Terminal.h"
#include "digital/windows/SignalBrowserWindow.h"
#include "digital/windows/TerminalWindow.h"
#include "platform/serial/FakeBackend.h"
#include "platform/sound/PulseDuplex.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>

#include <cstdio>
#include <random>
#include <sys/resource.h>

namespace {

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Bench {
    explicit Bench(SoundDuplex& sound) : sound(sound) {
        QDir::setCurrent(folder.path());
        window = new TerminalWindow(platform());
        window->show();
        window->terminal().activated();
    }
    ~Bench() { delete window; }
    TerminalPlatform platform() {
        return {.clock = clock,
                .dialogs = dialogs,
                .ports = ports,
                .sound = sound,
                .inputDevices = SoundDevices::inputNames(),
                .outputDevices = SoundDevices::outputNames(),
                .defaultInput = SoundDevices::defaultInputName(),
                .defaultOutput = SoundDevices::defaultOutputName(),
                .keyTransmitter = [](bool) {},
                .folder = folder.path()};
    }
    QTemporaryDir folder;
    SystemClock clock;
    ConsoleDialogs dialogs;
    FakeBackendProvider ports;
    SoundDuplex& sound;
    QPointer<TerminalWindow> window;
};

int box() {
    NoSoundDuplex silence;
    Bench b(silence);
    ReceiveText& rx = b.window->terminal().receive();
    const double startMb = residentMegabytes();
    std::mt19937 random(7);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ");
    constexpr int kCharacters = 1'000'000, kTimed = 10'000;
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < kCharacters; ++i) {
        const QChar c = i % 64 == 63 ? QChar(13) : alphabet[int(random() % alphabet.size())];
        const bool timed = i >= kCharacters - kTimed;
        if (timed)
            timer.start();
        rx.charReceived(0, c);
        if (timed)
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (i % 32 == 0) // a character every ~32 ms at 31 baud: the screen keeps up
            QCoreApplication::processEvents();
    }
    const double endMb = residentMegabytes();
    auto* boxWidget = b.window->findChild<QPlainTextEdit*>(TermCtl::at(TermCtl::receiveBox, 0));
    std::printf("receive box with %d characters (%d lines):\n", kCharacters,
                boxWidget->blockCount());
    std::printf("  append, last %d characters: p50 %.3f ms, p99 %.3f ms, max %.3f ms\n", kTimed,
                percentile(times, 0.5), percentile(times, 0.99), percentile(times, 1.0));
    std::printf("  memory: %.1f MB at the start, %.1f MB at the end (+%.1f MB)\n", startMb, endMb,
                endMb - startMb);
    return 0;
}

// Feeds audio to the modem in real time, 20 ms at a time.
class RealTimeFeed final : public SoundDuplex {
  public:
    explicit RealTimeFeed(std::vector<float> audio) : audio_(std::move(audio)) {}
    bool start(DuplexClient& client, int, int, QString*) override {
        client_ = &client;
        clock_.start();
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { feed(); });
        timer_.start();
        return true;
    }
    void stop() override { timer_.stop(); }
    double secondsAt(size_t sample) const {
        return startOffset_ + double(sample) / SoundDuplex::kSampleRate;
    }
    double now() const { return double(clock_.nsecsElapsed()) / 1e9; }
    bool done() const { return fed_ >= audio_.size(); }

  private:
    void feed() {
        const auto due = std::min(audio_.size(), size_t(now() * SoundDuplex::kSampleRate));
        if (due > fed_) {
            client_->captured(audio_.data() + fed_, due - fed_);
            fed_ = due;
        }
    }
    std::vector<float> audio_;
    DuplexClient* client_ = nullptr;
    QElapsedTimer clock_;
    QTimer timer_;
    size_t fed_ = 0;
    double startOffset_ = 0;
};

int latency() {
    const QString text = QStringLiteral("CQ CQ CQ DE OH2XX OH2XX PSE K QRZ TEST 599 001 ");
    PskModulator psk(SoundDuplex::kSampleRate, 1500, 31.25);
    std::vector<float> audio;
    psk.start(audio);
    std::vector<size_t> ends;
    for (QChar c : text) {
        psk.character(c, audio);
        ends.push_back(audio.size()); // the character with its closing gap
    }
    psk.end(audio);
    for (float& s : audio)
        s *= 0.5f;
    RealTimeFeed feed(audio);
    Bench b(feed);
    std::vector<double> lags;
    QObject::connect(&b.window->terminal().receive(), &ReceiveText::appended,
                     [&](int, const QString&) {
                         const size_t index = lags.size();
                         if (index < ends.size())
                             lags.push_back((feed.now() - feed.secondsAt(ends[index])) * 1000);
                     });
    QElapsedTimer guard;
    guard.start();
    while (!feed.done() && guard.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    // The first characters are heard while the receiver pulls in; count the rest.
    const std::vector<double> steady(lags.begin() + std::min<size_t>(5, lags.size()), lags.end());
    std::printf(
        "receive to screen, BPSK31, %zu characters: p50 %.0f ms, p99 %.0f ms, max %.0f ms\n",
        steady.size(), percentile(steady, 0.5), percentile(steady, 0.99), percentile(steady, 1.0));
    return 0;
}

int live(int seconds, bool browsing = false, const QString& picture = {}, bool cw = false) {
    PulseDuplex card;
    Bench b(card);
    Terminal& t = b.window->terminal();
    t.fftClicked(1); // the waterfall
    if (browsing)
        b.window->findChild<QAction*>(TermCtl::signalBrowserMenu)->trigger();
    if (auto* window = b.window->findChild<SignalBrowserWindow*>(); window && cw)
        window->findChild<QComboBox*>(QStringLiteral("ListenFor"))->setCurrentIndex(1);
    QCoreApplication::processEvents();
    const double cpu0 = cpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop; // (quitting the application would close the windows first)
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpu = cpuSeconds() - cpu0;
    std::printf("terminal open, receiving at 48 kHz, waterfall, %d s: CPU %.2f %% of one core, "
                "%d characters heard, memory %.1f MB\n",
                seconds, 100 * cpu / (double(clock.elapsed()) / 1000),
                int(t.receive().text(0).size()), residentMegabytes());
    if (browsing) {
        std::printf("signal browser open: %zu rows\n", t.browser().rows().size());
        if (auto* window = b.window->findChild<SignalBrowserWindow*>();
            window && !picture.isEmpty())
            window->grab().save(picture);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString what = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("box");
    if (what == QStringLiteral("latency"))
        return latency();
    if (what == QStringLiteral("live"))
        return live(argc > 2 ? std::atoi(argv[2]) : 60);
    if (what == QStringLiteral("skimmer"))
        return live(argc > 2 ? std::atoi(argv[2]) : 60, true,
                    argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString(), true);
    if (what == QStringLiteral("browser"))
        return live(argc > 2 ? std::atoi(argv[2]) : 60, true,
                    argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString());
    return box();
}
