#include "RigctlSession.h"

#include "RigctlRig.h"

#include <cmath>

namespace {

struct Command {
    char shortName; // 0: only the long name
    const char* name;
    int args; // -1: the rest of the line
};

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

} // namespace

QByteArray RigctlSession::feed(const QByteArray& bytes) {
    QByteArray answers;
    pending_ += bytes;
    for (qsizetype end; !close_ && (end = pending_.indexOf('\n')) >= 0;) {
        QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
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
    qsizetype at = 0;
    auto skipBlanks = [&] {
        while (at < line.size() && line[at].isSpace())
            ++at;
    };
    while (!close_) {
        skipBlanks();
        if (at >= line.size())
            break;
        QChar separator;
        if (QStringLiteral("+;|,").contains(line[at])) {
            separator = line[at] == u'+' ? QChar(u'\n') : line[at];
            ++at;
        }
        const Command* command = nullptr;
        if (at < line.size() && line[at] == u'\\') {
            const qsizetype space = line.indexOf(u' ', at);
            const qsizetype stop = space < 0 ? line.size() : space;
            command = find(line.mid(at + 1, stop - at - 1), QChar());
            at = stop;
        } else if (at < line.size()) {
            command = find(QString(), line[at++]);
        }
        if (!command) { // what follows an unknown command is no command of its own
            out += "RPRT " + QByteArray::number(kNotAvailable) + '\n';
            break;
        }
        QStringList words;
        if (command->args < 0) {
            words << line.mid(at + (at < line.size() && line[at] == u' ' ? 1 : 0));
            at = line.size();
        }
        for (int i = 0; i < command->args; ++i) {
            skipBlanks();
            const qsizetype end = line.indexOf(u' ', at);
            const qsizetype stop = end < 0 ? line.size() : end;
            if (stop > at)
                words << line.mid(at, stop - at);
            at = stop;
        }
        // The arguments are shown back in the extended form: as printable ASCII only.
        QString echoArgs;
        for (QChar c : words.join(u' '))
            echoArgs += c.unicode() >= 0x20 && c.unicode() < 0x7F ? c : QChar(u'?');
        // The passband of a mode set may be left out; every other argument is needed.
        const qsizetype needed = command->args == 2 && QLatin1String(command->name) == QLatin1String("set_mode")
                                     ? 1 : std::max(command->args, 0);
        const Answer answer = words.size() < needed ? Answer{kInvalid, {}, false}
                                                    : run(QString::fromLatin1(command->name), words, echoArgs);
        if (command->name == QLatin1String("dump_state") && answer.code == kOk && separator.isNull()) {
            out += dumpState();
            continue;
        }
        if (command->name == QLatin1String("dump_caps")) { // a text of its own, then its report
            out += (separator.isNull() ? QByteArray() : QByteArray("dump_caps:\n")) + dumpCaps() + "RPRT 0\n";
            continue;
        }
        if (separator.isNull()) {
            if (answer.code != kOk || answer.isSet)
                out += "RPRT " + QByteArray::number(answer.code) + '\n';
            else
                for (const QString& value : answer.values)
                    out += value.section(u'\n', 1).toLatin1() + '\n';
            continue;
        }
        const QByteArray sep(1, char(separator.unicode()));
        out += QByteArray(command->name) + ':' + (echoArgs.isEmpty() ? QByteArray() : ' ' + echoArgs.toLatin1()) + sep;
        for (const QString& value : answer.values)
            out += value.section(u'\n', 0, 0).toLatin1() + ": " + value.section(u'\n', 1).toLatin1() + sep;
        out += "RPRT " + QByteArray::number(answer.code) + '\n';
    }
    return out;
}

RigctlSession::Answer RigctlSession::get(std::initializer_list<std::pair<const char*, QString>> values) const {
    Answer answer;
    for (const auto& [label, value] : values)
        answer.values << QString::fromLatin1(label) + u'\n' + value;
    return answer;
}

RigctlSession::Answer RigctlSession::run(const QString& name, QStringList& words, QString& echoArgs) {
    Answer set;
    set.isSet = true;
    auto failed = [](int code) {
        Answer answer;
        answer.code = code;
        return answer;
    };
    const QString first = words.value(0);
    if (name == u"get_freq")
        return get({{"Frequency", QString::number(rig_.frequencyHz())}});
    if (name == u"get_mode")
        return get({{"Mode", modeName(rig_.modeDigit())},
                    {"Passband", QString::number(kPassband[qBound(0, rig_.modeDigit(), 7)])}});
    if (name == u"get_ptt")
        return get({{"PTT", rig_.transmitting() ? QStringLiteral("1") : QStringLiteral("0")}});
    if (name == u"get_vfo")
        return get({{"VFO", QStringLiteral("VFOA")}});
    if (name == u"get_split_vfo")
        return get({{"Split", QStringLiteral("0")}, {"TX VFO", QStringLiteral("VFOA")}});
    if (name == u"chk_vfo")
        return get({{"ChkVFO", QStringLiteral("0")}});
    if (name == u"get_powerstat")
        return get({{"Power Status", QStringLiteral("1")}});
    if (name == u"get_lock_mode")
        return get({{"Locked", QStringLiteral("0")}});
    if (name == u"get_info")
        return get({{"Info", QStringLiteral("ZarnikControl: a station behind a Corvel server")}});
    if (name == u"dump_state" || name == u"dump_caps")
        return {};
    if (name == u"quit") {
        close_ = true;
        return set;
    }
    if (name == u"stop_morse") {
        rig_.stopMorse();
        return set;
    }
    if (name == u"send_morse") {
        echoArgs.prepend(u' '); // rigctld shows the text after two blanks
        if (first.trimmed().isEmpty())
            return failed(kInvalid);
        rig_.sendMorse(first);
        return set;
    }
    if (name == u"set_freq") {
        bool ok = false;
        const double hz = first.toDouble(&ok);
        if (!ok || !std::isfinite(hz) || hz < 0 || hz > 99999999999.0)
            return failed(kInvalid);
        rig_.setFrequencyHz(std::llround(hz));
        return set;
    }
    if (name == u"set_mode") {
        const int digit = modeDigitOf(first);
        if (digit == 0)
            return failed(kInvalid);
        rig_.setModeDigit(digit);
        return set;
    }
    if (name == u"set_ptt") {
        if (first != u"0" && first != u"1" && first != u"2" && first != u"3")
            return failed(kInvalid);
        rig_.setTransmitting(first != u"0");
        return set;
    }
    if (name == u"set_vfo")
        return isOurVfo(first) ? set : failed(kNotAvailable);
    if (name == u"set_split_vfo")
        return first == u"0" ? set : failed(kNotAvailable);
    if (name == u"get_level") {
        if (first.compare(QLatin1String("KEYSPD"), Qt::CaseInsensitive) != 0)
            return failed(kNotAvailable);
        return get({{"Level Value", QString::number(rig_.keySpeed())}});
    }
    if (name == u"set_level") {
        bool ok = false;
        const double speed = words.value(1).toDouble(&ok);
        if (first.compare(QLatin1String("KEYSPD"), Qt::CaseInsensitive) != 0)
            return failed(kNotAvailable);
        if (!ok || !(speed >= 5 && speed <= 99)) // (NaN and huge values included)
            return failed(kInvalid);
        rig_.setKeySpeed(qRound(speed));
        return set;
    }
    return failed(kNotAvailable);
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

QByteArray RigctlSession::dumpState() {
    // The Hamlib 4 layout: protocol version, model, ITU region, the receive and transmit
    // ranges (Hz, modes, power, VFOs, antennas), tuning steps, filters, RIT/XIT/IF shift,
    // announces, preamp, attenuator, the function/level/parm masks, then "name=value" lines.
    const QByteArray modes = "0xcbf"; // AM CW USB LSB RTTY FM CWR PKTLSB PKTUSB
    QByteArray state = "1\n2\n0\n";
    state += "100000.000000 60000000.000000 " + modes + " -1 -1 0x3 0x1\n0 0 0 0 0 0 0\n";
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
