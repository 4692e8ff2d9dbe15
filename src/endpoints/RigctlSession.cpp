#include "RigctlSession.h"

#include "RigctlRig.h"

#include <cmath>

struct RigctlSession::Command {
    char shortName; // 0: only the long name
    const char* name;
    int args; // -1: the rest of the line
};

namespace {

using Command = RigctlSession::Command;

constexpr Command kCommands[] = {
    {'f', "get_freq", 0},      {'F', "set_freq", 1},      {'m', "get_mode", 0},
    {'M', "set_mode", 2},      {'t', "get_ptt", 0},       {'T', "set_ptt", 1},
    {'v', "get_vfo", 0},       {'V', "set_vfo", 1},       {'s', "get_split_vfo", 0},
    {'S', "set_split_vfo", 2}, {'l', "get_level", 1},     {'L', "set_level", 2},
    {'b', "send_morse", -1},   {0, "stop_morse", 0},      {0, "chk_vfo", 0},
    {0, "dump_state", 0},      {'1', "dump_caps", 0},     {0, "get_powerstat", 0},
    {0, "get_lock_mode", 0},
    {'_', "get_info", 0},      {'q', "quit", 0},          {'Q', "quit", 0},
};

const Command* find(const QString& name, QChar shortName) {
    for (const Command& command : kCommands) {
        if (shortName.isNull() ? name == QLatin1String(command.name) : shortName == QChar(command.shortName))
            return &command;
    }
    return nullptr;
}

// Hamlib's mode names and the mode digits of the station; the data modes are the sidebands
// WSJT-X and fldigi ask for.
constexpr std::pair<const char*, int> kModes[] = {
    {"LSB", 1}, {"USB", 2}, {"CW", 3}, {"FM", 4}, {"AM", 5}, {"RTTY", 6}, {"CWR", 7},
    {"PKTLSB", 1}, {"PKTUSB", 2}, {"PKTFM", 4}, {"RTTYR", 6},
};
// The fixed passband the station's filters are taken to have, per mode digit.
constexpr int kPassband[] = {0, 2400, 2400, 500, 12000, 6000, 500, 500};

constexpr int kOk = 0;
constexpr int kInvalid = -1;     // RIG_EINVAL
constexpr int kNotAvailable = -11; // RIG_ENAVAIL
constexpr int kKeySpeedLevel = 1 << 14; // RIG_LEVEL_KEYSPD

QString modeName(int digit) {
    for (const auto& [name, modeDigit] : kModes)
        if (modeDigit == digit)
            return QString::fromLatin1(name);
    return QStringLiteral("USB");
}

int modeDigitOf(const QString& name) {
    for (const auto& [modeName, digit] : kModes)
        if (name.compare(QLatin1String(modeName), Qt::CaseInsensitive) == 0)
            return digit;
    return 0;
}

bool isOurVfo(const QString& vfo) {
    for (const char* name : {"VFOA", "currVFO", "Main", "MainA", "VFO"})
        if (vfo.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}


// The words of one line, read as rigctld reads them: a command, then its arguments.
class LineReader {
public:
    explicit LineReader(const QString& line) : line_(line) {}

    bool atEnd() {
        skipBlanks();
        return at_ >= line_.size();
    }
    // "+", ";", "|" or "," before a command asks for the extended answer: its separator.
    QChar takeSeparator() {
        if (at_ >= line_.size() || !QStringLiteral("+;|,").contains(line_[at_]))
            return {};
        const QChar mark = line_[at_++];
        return mark == u'+' ? QChar(u'\n') : mark;
    }
    const Command* takeCommand() {
        if (at_ >= line_.size())
            return nullptr;
        if (line_[at_] != u'\\')
            return find(QString(), line_[at_++]);
        const qsizetype start = at_ + 1;
        at_ = nextBlank();
        return find(line_.mid(start, at_ - start), QChar());
    }
    QStringList takeArguments(int count) {
        QStringList words;
        if (count < 0) { // the rest of the line, after the one blank that separates it
            QString rest = line_.mid(at_);
            if (rest.size() > 1 && rest.startsWith(u' '))
                rest.remove(0, 1);
            words << rest; // "b " alone keeps its blank: a word gap sent letter by letter
            at_ = line_.size();
        }
        for (int i = 0; i < count; ++i) {
            skipBlanks();
            const qsizetype start = at_;
            at_ = nextBlank();
            if (at_ > start)
                words << line_.mid(start, at_ - start);
        }
        return words;
    }

private:
    void skipBlanks() {
        while (at_ < line_.size() && line_[at_].isSpace())
            ++at_;
    }
    qsizetype nextBlank() const {
        const qsizetype blank = line_.indexOf(u' ', at_);
        return blank < 0 ? line_.size() : blank;
    }

    const QString& line_;
    qsizetype at_ = 0;
};

// The arguments as shown back in the extended form: printable ASCII only.
QString shownBack(const QStringList& words) {
    QString shown;
    for (QChar c : words.join(u' '))
        shown += c.unicode() >= 0x20 && c.unicode() < 0x7F ? c : QChar(u'?');
    return shown;
}

QByteArray report(int code) { return "RPRT " + QByteArray::number(code) + '\n'; }

} // namespace

QByteArray RigctlSession::feed(const QByteArray& bytes) {
    QByteArray answers;
    pending_ += bytes;
    for (qsizetype end; !close_ && (end = pending_.indexOf('\n')) >= 0;) {
        QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.size() > kMaxLine) { // a whole line past the bound (30 kB of CW): refused, not run
            answers += report(kInvalid);
            continue;
        }
        answers += runLine(QString::fromLatin1(line));
    }
    if (pending_.size() > kMaxLine) {
        pending_.clear();
        close_ = true;
    }
    return answers;
}

QByteArray RigctlSession::runLine(const QString& line) {
    QByteArray out;
    LineReader reader(line);
    while (!close_ && !reader.atEnd()) {
        const QChar separator = reader.takeSeparator();
        const Command* command = reader.takeCommand();
        if (!command) { // what follows an unknown command is no command of its own
            out += report(kNotAvailable);
            break;
        }
        const QStringList words = reader.takeArguments(command->args);
        out += answerOne(*command, words, separator);
    }
    return out;
}

QByteArray RigctlSession::answerOne(const Command& command, const QStringList& words, QChar separator) {
    const QLatin1String name(command.name);
    // The passband of a mode set may be left out; every other argument is needed.
    const qsizetype needed = name == QLatin1String("set_mode") ? 1 : std::max(command.args, 0);
    const Answer answer = words.size() < needed ? Answer{kInvalid, {}, false} : run(name, words);
    const bool plain = separator.isNull();
    if (name == QLatin1String("dump_state") && plain)
        return dumpState();
    if (name == QLatin1String("dump_caps")) // a text of its own, then its report
        return (plain ? QByteArray() : QByteArray("dump_caps:\n")) + dumpCaps() + report(kOk);
    if (plain) {
        if (answer.code != kOk || answer.isSet)
            return report(answer.code);
        QByteArray out;
        for (const QString& value : answer.values)
            out += value.section(u'\n', 1).toLatin1() + '\n';
        return out;
    }
    QString shown = shownBack(words);
    if (name == QLatin1String("send_morse"))
        shown.prepend(u' '); // rigctld shows the text after two blanks
    const QByteArray sep(1, char(separator.unicode()));
    QByteArray out = QByteArray(command.name) + ':' + (shown.isEmpty() ? QByteArray() : ' ' + shown.toLatin1()) + sep;
    for (const QString& value : answer.values)
        out += value.section(u'\n', 0, 0).toLatin1() + ": " + value.section(u'\n', 1).toLatin1() + sep;
    return out + report(answer.code);
}

RigctlSession::Answer RigctlSession::get(std::initializer_list<std::pair<const char*, QString>> values) const {
    Answer answer;
    for (const auto& [label, value] : values)
        answer.values << QString::fromLatin1(label) + u'\n' + value;
    return answer;
}

RigctlSession::Answer RigctlSession::failed(int code) {
    Answer answer;
    answer.code = code;
    return answer;
}

RigctlSession::Answer RigctlSession::done() {
    Answer answer;
    answer.isSet = true;
    return answer;
}

RigctlSession::Answer RigctlSession::run(QLatin1String name, const QStringList& words) {
    if (name.startsWith(QLatin1String("set_")) || name == QLatin1String("send_morse") ||
        name == QLatin1String("stop_morse") || name == QLatin1String("quit"))
        return set(name, words);
    return read(name, words);
}

RigctlSession::Answer RigctlSession::read(QLatin1String name, const QStringList& words) const {
    const int mode = rig_.modeDigit();
    if (name == QLatin1String("get_freq"))
        return get({{"Frequency", QString::number(rig_.frequencyHz())}});
    if (name == QLatin1String("get_mode"))
        return get({{"Mode", modeName(mode)}, {"Passband", QString::number(kPassband[qBound(0, mode, 7)])}});
    if (name == QLatin1String("get_ptt"))
        return get({{"PTT", rig_.transmitting() ? QStringLiteral("1") : QStringLiteral("0")}});
    if (name == QLatin1String("get_vfo"))
        return get({{"VFO", QStringLiteral("VFOA")}});
    if (name == QLatin1String("get_split_vfo"))
        return get({{"Split", QStringLiteral("0")}, {"TX VFO", QStringLiteral("VFOA")}});
    if (name == QLatin1String("chk_vfo"))
        return get({{"ChkVFO", QStringLiteral("0")}});
    if (name == QLatin1String("get_powerstat"))
        return get({{"Power Status", QStringLiteral("1")}});
    if (name == QLatin1String("get_lock_mode"))
        return get({{"Locked", QStringLiteral("0")}});
    if (name == QLatin1String("get_info"))
        return get({{"Info", QStringLiteral("ZarnikControl: a station behind a Corvel server")}});
    if (name == QLatin1String("get_level")) {
        if (words.value(0).compare(QLatin1String("KEYSPD"), Qt::CaseInsensitive) != 0)
            return failed(kNotAvailable);
        return get({{"Level Value", QString::number(rig_.keySpeed())}});
    }
    return {}; // dump_state, dump_caps: text of their own
}

RigctlSession::Answer RigctlSession::set(QLatin1String name, const QStringList& words) {
    const QString first = words.value(0);
    if (name == QLatin1String("quit"))
        close_ = true;
    else if (name == QLatin1String("stop_morse"))
        rig_.stopMorse();
    else if (name == QLatin1String("send_morse"))
        return sendMorse(first);
    else if (name == QLatin1String("set_freq"))
        return setFrequency(first);
    else if (name == QLatin1String("set_mode"))
        return modeDigitOf(first) == 0 ? failed(kInvalid) : (rig_.setModeDigit(modeDigitOf(first)), done());
    else if (name == QLatin1String("set_ptt"))
        return !QStringList{"0", "1", "2", "3"}.contains(first) ? failed(kInvalid) : setPtt(first != u"0");
    else if (name == QLatin1String("set_vfo"))
        return isOurVfo(first) ? done() : failed(kNotAvailable);
    else if (name == QLatin1String("set_split_vfo"))
        return first == u"0" ? done() : failed(kNotAvailable);
    else if (name == QLatin1String("set_level"))
        return setLevel(first, words.value(1));
    return done();
}

RigctlSession::Answer RigctlSession::sendMorse(const QString& text) {
    if (text.contains(QChar(0xFF))) { // Hamlib's Icom stop, which CQRLOG's Esc sends to any rig
        rig_.stopMorse();
        return done();
    }
    if (text.isEmpty())
        return failed(kInvalid);
    rig_.sendMorse(text);
    return done();
}

RigctlSession::Answer RigctlSession::setPtt(bool on) {
    keyed_ = on;
    rig_.setTransmitting(on);
    return done();
}

RigctlSession::Answer RigctlSession::setFrequency(const QString& text) {
    bool ok = false;
    const double hz = text.toDouble(&ok);
    if (!ok || !(hz >= 0 && hz <= 99999999999.0)) // (NaN and infinities included)
        return failed(kInvalid);
    // The rig refuses what the station cannot be told, and says so where the operator looks.
    return rig_.setFrequencyHz(std::llround(hz)) ? done() : failed(kInvalid);
}

RigctlSession::Answer RigctlSession::setLevel(const QString& level, const QString& value) {
    if (level.compare(QLatin1String("KEYSPD"), Qt::CaseInsensitive) != 0)
        return failed(kNotAvailable);
    bool ok = false;
    const double speed = value.toDouble(&ok);
    if (!ok || !(speed >= 5 && speed <= 99)) // (NaN and huge values included)
        return failed(kInvalid);
    rig_.setKeySpeed(qRound(speed));
    return done();
}

// What a client that reads the capabilities as text finds (CQRLOG's Hamlib keyer waits for its
// last line before it sets the CW speed).
QByteArray RigctlSession::dumpCaps() {
    return "Caps dump for model: 2\nModel name:\tZarnikControl\nMfg name:\tCorvel station\n"
           "Hamlib version:\tZarnikControl endpoint (rigctld protocol)\nPTT type:\tRig capable\n"
           "Mode list: AM CW USB LSB RTTY FM CWR PKTLSB PKTUSB \nVFO list: VFOA \n"
           "Get level: KEYSPD(5..99/1) \nSet level: KEYSPD(5..99/1) \nCan set Frequency:\tY\n"
           "Can get Frequency:\tY\nCan set Mode:\tY\nCan get Mode:\tY\nCan set PTT:\tY\n"
           "Can get PTT:\tY\nCan send Morse:\tY\nCan stop Morse:\tY\n\nOverall backend warnings: 0\n";
}

QByteArray RigctlSession::dumpState() const {
    // The Hamlib 4 layout: protocol version, model, ITU region, the receive and transmit
    // ranges (Hz, modes, power, VFOs, antennas), tuning steps, filters, RIT/XIT/IF shift,
    // announces, preamp, attenuator, the function/level/parm masks, then "name=value" lines.
    const QByteArray modes = "0xcbf"; // AM CW USB LSB RTTY FM CWR PKTLSB PKTUSB
    QByteArray state = "1\n2\n0\n";
    state += "100000.000000 " + QByteArray::number(rig_.highestFrequencyHz()) + ".000000 " + modes +
             " -1 -1 0x3 0x1\n0 0 0 0 0 0 0\n";
    state += "1800000.000000 54000000.000000 " + modes + " 5000 100000 0x3 0x1\n0 0 0 0 0 0 0\n";
    state += modes + " 1\n0 0\n";
    state += "0xc 2400\n0x82 500\n0x110 500\n0x1 6000\n0x20 12000\n0xc00 2400\n0 0\n";
    state += "0\n0\n0\n0\n\n\n";
    state += "0x0\n0x0\n0x" + QByteArray::number(kKeySpeedLevel, 16) + "\n0x" +
             QByteArray::number(kKeySpeedLevel, 16) + "\n0x0\n0x0\n";
    state += "vfo_ops=0x0\nptt_type=0x1\ntargetable_vfo=0x0\nhas_set_vfo=1\nhas_get_vfo=1\n"
             "has_set_freq=1\nhas_get_freq=1\nhas_set_conf=0\nhas_get_conf=0\nhas_power2mW=0\n"
             "has_mW2power=0\ntimeout=0\nrig_model=2\ndone\n";
    return state;
}
