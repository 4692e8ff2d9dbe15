// The terminal's side of MMVARI.POS: what each of the 46 lines is read into and written from.
#include "MmvariPos.h"
#include "Terminal.h"

#include "common/NumericText.h"
#include "digital/modem/ModeList.h"
#include "platform/Dialogs.h"
#include "platform/PausingWait.h"

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

// The lines of the file by number (from 1); a short file simply has no later lines, so the
// values after its end are left as they are.
struct Terminal::SettingsLines {
    const QStringList& all;
    bool has(int n) const { return n <= all.size(); }
    const QString& at(int n) const { return all[n - 1]; }
    bool isFalse(int n) const { return at(n) == QStringLiteral("False"); }
};

void Terminal::applySettingsFile(const QStringList& all) {
    const SettingsLines lines{all};
    applyWindowLines(lines);
    applyModemLines(lines);
    applyOptionLines(lines);
    applySoundLines(lines);
    applyPortLines(lines);
    for (int i = 0; i < kFunctionKeys; ++i) {
        if (lines.has(36 + i))
            transmit_.setFunctionKey(i, lines.at(36 + i));
    }
    applySoundDevices();
    syncButtons();
    if (store_.isTicked(alwaysOnTopCheck))
        emit topMostRequested();
}

// Lines 1-4: the window's place, each value only within its limits.
void Terminal::applyWindowLines(const SettingsLines& lines) {
    auto value = [&](int n, int above, int& into) {
        if (lines.has(n) && number(lines.at(n)) > above)
            into = number(lines.at(n));
    };
    value(1, -100, geometry_.top);
    value(2, -100, geometry_.left);
    value(3, 2899, geometry_.height);
    value(4, 2999, geometry_.width);
    emit geometryRequested(geometry_);
}

// Lines 5-13: mode, carrier, AFC, NET, the display kind and the dual display.
void Terminal::applyModemLines(const SettingsLines& lines) {
    if (lines.has(5)) {
        if (lines.at(5) == kBpskStored)
            store_.setValue(at(modeChoice, 0), ModeList::kBpskIndex);
        else
            store_.setText(at(modeChoice, 0), lines.at(5));
        modeChosen(0);
    }
    if (lines.has(6) && number(lines.at(6)) > 0)
        modem_.setReceiveCarrier(0, number(lines.at(6)));
    const std::pair<int, QString> buttons[] = {{7, at(afcButton, 0)},   {8, netButton},
                                               {9, at(viewButton, 0)},  {10, at(viewButton, 1)},
                                               {11, at(viewButton, 2)}, {12, at(viewButton, 3)}};
    for (const auto& [n, name] : buttons) {
        if (lines.has(n))
            setDown(name, !lines.isFalse(n));
    }
    if (lines.has(12))
        applyDisplayKind();
    if (lines.has(13) && !lines.isFalse(13)) {
        setDown(dualButton, true);
        showDualControls(true);
        dualLatched_ = true;
    }
}

// Lines 14-20: Talk, Zoom, the level-meter click, always on top, the speed.
void Terminal::applyOptionLines(const SettingsLines& lines) {
    if (lines.has(14))
        setDown(talkButton, lines.at(14) == QStringLiteral("YES"));
    if (lines.has(15))
        setDown(zoomButton, lines.at(15) == QStringLiteral("YES"));
    for (int i = 0; i < 3; ++i) {
        if (lines.has(16 + i))
            levelClickInfo_[i] = lines.at(16 + i);
    }
    if (lines.has(19))
        store_.setValue(alwaysOnTopCheck, number(lines.at(19)));
    if (lines.has(20)) {
        store_.setText(at(speedChoice, 0), lines.at(20));
        modem_.setSpeed(0, NumericText::numericValue(lines.at(20)));
    }
}

// Lines 21-30: the ticks of both sound menus; a menu with none of its kept entries ticked
// gets its default entry.
void Terminal::applySoundLines(const SettingsLines& lines) {
    int n = 21;
    for (const auto& [defaultEntry, prefix] :
         {std::pair{defaultReceiveSoundMenu, receiveSoundMenu},
          std::pair{defaultTransmitSoundMenu, transmitSoundMenu}}) {
        if (lines.has(n))
            setDown(defaultEntry, MmvariPos::convertsToTrue(lines.at(n)));
        ++n;
        bool anyTicked = store_.isTicked(defaultEntry);
        for (int i = 0; i < kStoredSoundEntries; ++i, ++n) {
            if (lines.has(n))
                setDown(prefix + QString::number(i), lines.at(n) == QStringLiteral("True"));
            anyTicked = anyTicked || store_.isTicked(prefix + QString::number(i));
        }
        if (!anyTicked)
            setDown(defaultEntry, true);
    }
}

// Lines 31-35: the large font and the PTT port with its three options.
void Terminal::applyPortLines(const SettingsLines& lines) {
    if (lines.has(31) && number(lines.at(31)) == 1)
        setLargeFont(true);
    if (lines.has(32) && lines.at(32).contains(kPortKey)) {
        modem_.setPortName(lines.at(32).mid(kPortKey.size(), kMaxPortName));
        context_.wait.wait(0.2);
        if (!modem_.pttPortOpen() && isSerialPortName(modem_.pttPortName()))
            platform_.dialogs.showMessage(modem_.pttPortName() +
                                          " failed to open in the digital interface");
    }
    if (lines.has(33)) {
        if (lines.at(33).contains(kOutputKey))
            ptt_.keysTransmitter = keyedTrue(lines.at(33), kOutputKey);
        context_.wait.wait(0.1);
    }
    if (lines.has(34) && lines.at(34).contains(kInvKey))
        ptt_.invertedLines = keyedTrue(lines.at(34), kInvKey);
    if (lines.has(35) && lines.at(35).contains(kExcKey))
        ptt_.rtsAloneKeys = keyedTrue(lines.at(35), kExcKey);
}

QStringList Terminal::settingsLines() const {
    auto down = [this](const QString& name) { return boolText(store_.isTicked(name)); };
    const QString mode = store_.text(at(modeChoice, 0));
    QStringList lines = {
        QString::number(geometry_.top),
        QString::number(geometry_.left),
        QString::number(geometry_.height),
        QString::number(geometry_.width),
        mode == QStringLiteral("bpsk") ? kBpskStored : mode,
        QString::number(modem_.receiveCarrier(0)),
        down(at(afcButton, 0)),
        down(netButton),
    };
    for (int i = 0; i < 4; ++i)
        lines << down(at(viewButton, i));
    lines << down(dualButton) << QStringLiteral("NO")
          << (store_.isTicked(zoomButton) ? QStringLiteral("YES") : QStringLiteral("NO"));
    lines << levelClickInfo_;
    lines << QString::number(store_.value(alwaysOnTopCheck)) << store_.text(at(speedChoice, 0));
    for (const auto& [defaultEntry, prefix] :
         {std::pair{defaultReceiveSoundMenu, receiveSoundMenu},
          std::pair{defaultTransmitSoundMenu, transmitSoundMenu}}) {
        lines << down(defaultEntry);
        for (int i = 0; i < kStoredSoundEntries; ++i)
            lines << down(prefix + QString::number(i));
    }
    lines << QString::number(largeFont_ ? 1 : 0) << kPortKey + modem_.pttPortName()
          << keyedBool(kOutputKey, ptt_.keysTransmitter) << keyedBool(kInvKey, ptt_.invertedLines)
          << keyedBool(kExcKey, ptt_.rtsAloneKeys);
    for (int i = 0; i < kFunctionKeys; ++i)
        lines << transmit_.functionKey(i);
    return lines;
}
