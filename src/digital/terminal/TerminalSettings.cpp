// The terminal's side of MMVARI.POS: what each of the 46 lines is read into and written from.
#include "MmvariPos.h"
#include "Terminal.h"

#include "common/NumericText.h"
#include "digital/modem/ModeList.h"
#include "platform/Dialogs.h"

#include <functional>
#include <vector>

using namespace TermCtl;
using MmvariPos::boolText;

namespace {
const QString kBpskStored = QStringLiteral("BXX"); // how the file has always named bpsk
const QString kPortKey = QStringLiteral("MMVARIPORT=");
const QString kOutputKey = QStringLiteral("MMVARIOUTPUT=");
const QString kInvKey = QStringLiteral("MMVARIINV=");
const QString kExcKey = QStringLiteral("MMVARIEXC=");
constexpr int kMaxPortName = 30;

int number(const QString& line) {
    return NumericText::integerValue(line);
}
bool keyedTrue(const QString& line, const QString& key) {
    return line.mid(key.size(), 4) == QStringLiteral("TRUE");
}
QString keyedBool(const QString& key, bool value) {
    return key + (value ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
}
// A PTT port the operator will want to hear about when it does not open: the classic COM
// names, and serial devices as Linux names them.
bool isSerialPortName(const QString& name) {
    return name.left(3) == QStringLiteral("COM") || name.startsWith(QStringLiteral("/dev/"));
}
} // namespace

// One line of the file: what it holds, how the terminal writes it, and how a line read from
// the file is applied. Both directions walk the same table, in the file's order.
struct Terminal::PosLine {
    const char* what;
    std::function<QString(const Terminal&)> write;
    std::function<void(Terminal&, const QString&)> apply;
};

const std::vector<Terminal::PosLine>& Terminal::posLines() {
    static const std::vector<PosLine> table = [] {
        auto geometryLine = [](const char* what, int TwipsRect::*field,
                               int above) { // within limits
            return PosLine{
                what, [field](const Terminal& t) { return QString::number(t.geometry_.*field); },
                [field, above](Terminal& t, const QString& line) {
                    if (number(line) > above)
                        t.geometry_.*field = number(line);
                }};
        };
        auto button = [](const char* what, QString name) { // "True"/"False"; any other text is down
            return PosLine{what,
                           [name](const Terminal& t) { return boolText(t.store_.isTicked(name)); },
                           [name](Terminal& t, const QString& line) {
                               t.setDown(name, line != QStringLiteral("False"));
                           }};
        };
        std::vector<PosLine> lines = {
            geometryLine("top", &TwipsRect::top, -100),
            geometryLine("left", &TwipsRect::left, -100),
            geometryLine("height", &TwipsRect::height, 2899),
            geometryLine("width", &TwipsRect::width, 2999),
            {"mode of channel 0 (bpsk as BXX)",
             [](const Terminal& t) {
                 const QString mode = t.store_.text(at(modeChoice, 0));
                 return mode == QStringLiteral("bpsk") ? kBpskStored : mode;
             },
             [](Terminal& t, const QString& line) {
                 if (line == kBpskStored)
                     t.store_.setValue(at(modeChoice, 0), ModeList::kBpskIndex);
                 else
                     t.store_.setText(at(modeChoice, 0), line);
                 t.modeChosen(0);
             }},
            {"receive carrier, Hz",
             [](const Terminal& t) { return QString::number(t.modem_.receiveCarrier(0)); },
             [](Terminal& t, const QString& line) {
                 if (number(line) > 0)
                     t.modem_.setReceiveCarrier(0, number(line));
             }},
            button("AFC of channel 0", at(afcButton, 0)),
            button("NET", netButton),
            button("FFT", at(viewButton, 0)),
            button("W.F.", at(viewButton, 1)),
            button("SYN", at(viewButton, 2)),
            {"WAV", button("", at(viewButton, 3)).write,
             [](Terminal& t, const QString& line) {
                 t.setDown(at(viewButton, 3), line != QStringLiteral("False"));
                 t.applyDisplayKind(); // the four view lines are all read
             }},
            {"Dual", button("", dualButton).write,
             [](Terminal& t, const QString& line) {
                 if (line == QStringLiteral("False"))
                     return;
                 t.setDown(dualButton, true);
                 t.showDualControls(true);
                 t.dualLatched_ = true;
             }},
            {"Talk (always written NO)", [](const Terminal&) { return QStringLiteral("NO"); },
             [](Terminal& t, const QString& line) {
                 t.setDown(talkButton, line == QStringLiteral("YES"));
             }},
            {"Zoom",
             [](const Terminal& t) {
                 return t.store_.isTicked(zoomButton) ? QStringLiteral("YES")
                                                      : QStringLiteral("NO");
             },
             [](Terminal& t, const QString& line) {
                 t.setDown(zoomButton, line == QStringLiteral("YES"));
             }},
        };
        for (int i = 0; i < 3; ++i)
            lines.push_back(
                {"the level meter's last click",
                 [i](const Terminal& t) { return t.levelClickInfo_[i]; },
                 [i](Terminal& t, const QString& line) { t.levelClickInfo_[i] = line; }});
        lines.push_back(
            {"always on top",
             [](const Terminal& t) { return QString::number(t.store_.value(alwaysOnTopCheck)); },
             [](Terminal& t, const QString& line) {
                 t.store_.setValue(alwaysOnTopCheck, number(line));
             }});
        lines.push_back({"speed of channel 0, baud",
                         [](const Terminal& t) { return t.store_.text(at(speedChoice, 0)); },
                         [](Terminal& t, const QString& line) {
                             t.store_.setText(at(speedChoice, 0), line);
                             t.modem_.setSpeed(0, NumericText::numericValue(line));
                         }});
        for (const auto& [defaultEntry, prefix] :
             {std::pair{defaultReceiveSoundMenu, receiveSoundMenu},
              std::pair{defaultTransmitSoundMenu, transmitSoundMenu}}) {
            const QString entry = defaultEntry;
            lines.push_back({"a sound menu's default entry", button("", entry).write,
                             [entry](Terminal& t, const QString& line) {
                                 t.setDown(entry, MmvariPos::convertsToTrue(line));
                             }});
            for (int i = 0; i < kStoredSoundEntries; ++i) {
                const QString name = prefix + QString::number(i);
                lines.push_back({"a sound menu's entry", button("", name).write,
                                 [name](Terminal& t, const QString& line) {
                                     t.setDown(name, line == QStringLiteral("True"));
                                 }});
            }
        }
        lines.push_back({"large font",
                         [](const Terminal& t) { return QString::number(t.largeFont_ ? 1 : 0); },
                         [](Terminal& t, const QString& line) {
                             if (number(line) == 1)
                                 t.setLargeFont(true);
                         }});
        lines.push_back({"PTT port",
                         [](const Terminal& t) { return kPortKey + t.modem_.pttPortName(); },
                         [](Terminal& t, const QString& line) { t.openPttPort(line); }});
        lines.push_back(
            {"PTT keys the transmitter",
             [](const Terminal& t) { return keyedBool(kOutputKey, t.ptt_.keysTransmitter); },
             [](Terminal& t, const QString& line) {
                 if (line.contains(kOutputKey))
                     t.ptt_.keysTransmitter = keyedTrue(line, kOutputKey);
             }});
        lines.push_back({"PTT lines inverted",
                         [](const Terminal& t) { return keyedBool(kInvKey, t.ptt_.invertedLines); },
                         [](Terminal& t, const QString& line) {
                             if (line.contains(kInvKey))
                                 t.ptt_.invertedLines = keyedTrue(line, kInvKey);
                         }});
        lines.push_back({"PTT on RTS alone",
                         [](const Terminal& t) { return keyedBool(kExcKey, t.ptt_.rtsAloneKeys); },
                         [](Terminal& t, const QString& line) {
                             if (line.contains(kExcKey))
                                 t.ptt_.rtsAloneKeys = keyedTrue(line, kExcKey);
                         }});
        for (int i = 0; i < kFunctionKeys; ++i)
            lines.push_back(
                {"a function key's macro",
                 [i](const Terminal& t) { return t.transmit_.functionKey(i); },
                 [i](Terminal& t, const QString& line) { t.transmit_.setFunctionKey(i, line); }});
        Q_ASSERT(lines.size() == size_t(MmvariPos::kLines));
        return lines;
    }();
    return table;
}

// A short file simply has no later lines: the values after its end are left as they are.
void Terminal::applySettingsFile(const QStringList& all) {
    const std::vector<PosLine>& table = posLines();
    for (size_t n = 0; n < table.size() && n < size_t(all.size()); ++n)
        table[n].apply(*this, all[qsizetype(n)]);
    emit geometryRequested(geometry_);
    tickDefaultSoundEntries();
    applySoundDevices();
    syncButtons();
    if (store_.isTicked(alwaysOnTopCheck))
        emit topMostRequested();
}

QStringList Terminal::settingsLines() const {
    QStringList lines;
    for (const PosLine& line : posLines())
        lines << line.write(*this);
    return lines;
}

// A sound menu with none of its kept entries ticked gets its default entry.
void Terminal::tickDefaultSoundEntries() {
    for (const auto& [defaultEntry, prefix] :
         {std::pair{defaultReceiveSoundMenu, receiveSoundMenu},
          std::pair{defaultTransmitSoundMenu, transmitSoundMenu}}) {
        bool anyTicked = store_.isTicked(defaultEntry);
        for (int i = 0; i < kStoredSoundEntries; ++i)
            anyTicked = anyTicked || store_.isTicked(prefix + QString::number(i));
        if (!anyTicked)
            setDown(defaultEntry, true);
    }
}

void Terminal::openPttPort(const QString& line) {
    if (!line.contains(kPortKey))
        return;
    modem_.setPortName(line.mid(kPortKey.size(), kMaxPortName));
    if (!modem_.pttPortOpen() && isSerialPortName(modem_.pttPortName()))
        platform_.dialogs.showMessage(modem_.pttPortName() +
                                      " failed to open in the digital interface");
}
