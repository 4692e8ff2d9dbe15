// zarnik-modem: the terminal's sound-card modem from the command line. See --help.
#include "common/Version.h"
#include "common/WavIo.h"
#include "digital/modem/DspFactory.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <memory>

namespace {

constexpr size_t kBlockFrames = 1 << 16; // read a second or so of sound at a time
constexpr double kLevel = 0.5; // of full scale (-6 dBFS): room for noise, and no receiver overdriven

struct Setup {
    ModeList::Kind kind = ModeList::Kind::Bpsk;
    double speed = 0;
    double carrier = 1500;
    double shift = 170;
    bool reverse = false;
};

int fail(const QString& message) {
    std::fprintf(stderr, "zarnik-modem: %s\n", qPrintable(message));
    return 2;
}

// The signal's highest tone must stay below half the sample rate.
// The mode as the command line set it up (RTTY's shift and sense may differ from the list's).
ModeList::Mode modeOf(const Setup& s) { return {QString(), s.kind, s.shift, s.reverse, s.speed, QString()}; }

bool fits(const Setup& s, double rate) {
    const double top = s.carrier + (ModeList::isPsk(s.kind) ? s.speed : s.shift / 2 + s.speed);
    return top < rate / 2;
}

QByteArray readText(const QCommandLineParser& parser) {
    if (parser.isSet("text"))
        return parser.value("text").toLatin1();
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    return in.readAll();
}

int transmit(const Setup& s, const QByteArray& text, int rate, const QString& out) {
    if (rate < 4000 || rate > 192000)
        return fail("--rate must be between 4000 and 192000 Hz");
    if (!fits(s, rate))
        return fail(QString("the signal at %1 Hz does not fit below half the %2 Hz sample rate")
                        .arg(s.carrier).arg(rate));
    std::vector<float> sound =
        DspFactory::modulator(modeOf(s), {double(rate), s.carrier, s.speed})->transmit(QString::fromLatin1(text));
    for (float& v : sound)
        v *= float(kLevel);
    QString why;
    if (!WavIo::write(out, sound, rate, &why))
        return fail(why);
    return 0;
}

int receive(const Setup& s, const QString& in) {
    QString why;
    WavIo::Reader file;
    if (!file.open(in, &why))
        return fail(why);
    if (!fits(s, file.sampleRate()))
        return fail(QString("the signal at %1 Hz does not fit below half the file's %2 Hz sample rate")
                        .arg(s.carrier).arg(file.sampleRate()));
    // A block at a time, the text written as it comes: memory stays flat for any length.
    const std::unique_ptr<Demodulator> receiver =
        DspFactory::demodulator(modeOf(s), {double(file.sampleRate()), s.carrier, s.speed});
    std::vector<float> block;
    while (file.readBlock(block, kBlockFrames)) {
        const QByteArray text = receiver->process(block).toLatin1();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zarnik-modem");
    QCoreApplication::setApplicationVersion(ZARNIKCONTROL_VERSION);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "ZarnikControl's PSK and RTTY modem on WAV files.\n\n"
        "  zarnik-modem tx --mode MODE [--speed BAUD] [--carrier HZ] [--rate HZ] [--text TEXT] -o OUT.wav\n"
        "      modulates TEXT (standard input without --text) to a 16-bit PCM mono WAV\n"
        "  zarnik-modem rx --mode MODE [--speed BAUD] [--carrier HZ] IN.wav\n"
        "      demodulates a PCM WAV and writes the text to standard output\n\n"
        "Modes: bpsk and qpsk (varicode, 31.25 baud unless --speed), rtty (Baudot, 45.45 baud,\n"
        "170 Hz shift), or a name of the terminal's mode list: rtty-u, rtty-l (reversed),\n"
        "rtty-u-w, rtty-l-w (850 Hz shift).\n"
        "The carrier is 1500 Hz unless --carrier; for RTTY it is the centre between the tones and\n"
        "mark is the upper tone (1500 gives mark 1585, space 1415 Hz); --reverse swaps them.");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("command", "tx or rx");
    parser.addPositionalArgument("file", "rx: the WAV file to read");
    parser.addOption({"mode", "bpsk, qpsk, rtty or a mode list name.", "MODE"});
    parser.addOption({"speed", "Baud rate.", "BAUD"});
    parser.addOption({"carrier", "Carrier (centre) frequency in Hz (1500).", "HZ", "1500"});
    parser.addOption({"rate", "tx: sample rate of the WAV (8000).", "HZ", "8000"});
    parser.addOption({"shift", "RTTY shift in Hz (170, or the mode's).", "HZ"});
    parser.addOption({"reverse", "RTTY: mark is the lower tone."});
    parser.addOption({"text", "tx: the text to send.", "TEXT"});
    parser.addOption({{"o", "output"}, "tx: the WAV file to write.", "OUT.wav"});
    parser.process(app);

    const QString modeName = parser.value("mode").toLower();
    const int index = ModeList::indexOf(modeName == "rtty" ? QString("rtty-u") : modeName);
    if (index < 0)
        return fail("--mode must be bpsk, qpsk, rtty, rtty-u, rtty-l, rtty-u-w or rtty-l-w");
    const ModeList::Mode& mode = ModeList::modes()[index];
    Setup s;
    s.kind = mode.kind;
    s.speed = parser.isSet("speed") ? parser.value("speed").toDouble() : mode.defaultBaud;
    s.carrier = parser.value("carrier").toDouble();
    s.shift = parser.isSet("shift") ? parser.value("shift").toDouble() : mode.shiftHz;
    s.reverse = parser.isSet("reverse") != mode.markLower;
    if (!(s.speed >= 5 && s.speed <= 1000))
        return fail("--speed must be between 5 and 1000 baud");
    if (!(s.carrier > 0) || (!ModeList::isPsk(s.kind) && !(s.shift > 0 && s.shift < 2 * s.carrier)))
        return fail("--carrier and --shift must be positive, the shift less than twice the carrier");
    const QStringList args = parser.positionalArguments();
    if (args.value(0) == "tx") {
        if (!parser.isSet("output"))
            return fail("tx needs -o OUT.wav");
        return transmit(s, readText(parser), parser.value("rate").toInt(), parser.value("output"));
    }
    if (args.value(0) == "rx" && args.size() == 2)
        return receive(s, args[1]);
    return fail("say tx or rx (see --help)");
}
