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

int number(const QString& line) { return NumericText::integerValue(line); }
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

void Terminal::applySettingsFile(const QStringList& lines) {
    // Line n (from 1) when the file has it; the reader stops quietly at the end of the file.
    auto has = [&lines](int n) { return n <= lines.size(); };
    auto line = [&lines](int n) { return lines[n - 1]; };
    auto downUnlessFalse = [&](int n, const QString& name) {
        setDown(name, line(n) != QStringLiteral("False"));
    };

    if (has(1) && number(line(1)) > -100)
        geometry_.top = number(line(1));
    if (has(2) && number(line(2)) > -100)
        geometry_.left = number(line(2));
    if (has(3) && number(line(3)) >= 2900)
        geometry_.height = number(line(3));
    if (has(4) && number(line(4)) >= 3000)
        geometry_.width = number(line(4));
    emit geometryRequested(geometry_);

    [&] {
        if (!has(5))
            return;
        if (line(5) == kBpskStored)
            store_.setValue(at(CBMode, 0), ModeList::kBpskIndex);
        else
            store_.setText(at(CBMode, 0), line(5));
        modeChosen(0);
        if (!has(6))
            return;
        if (number(line(6)) > 0)
            modem_.setRxCarrier(0, number(line(6)));
        if (!has(7))
            return;
        downUnlessFalse(7, at(BtnAFC, 0));
        if (!has(8))
            return;
        downUnlessFalse(8, BtnNET);
        for (int i = 0; i < 4; ++i) {
            if (!has(9 + i))
                return;
            downUnlessFalse(9 + i, at(BtnFFT, i));
        }
        applyDisplayKind();
        if (!has(13))
            return;
        if (line(13) != QStringLiteral("False")) {
            setDown(Dual, true);
            DullIt(1);
            dualLatched_ = true;
        }
        if (!has(14))
            return;
        setDown(TalkBTN, line(14) == QStringLiteral("YES"));
        if (!has(15))
            return;
        setDown(ZoomBTN, line(15) == QStringLiteral("YES"));
        for (int i = 0; i < 3; ++i) {
            if (!has(16 + i))
                return;
            levelClickInfo_[i] = line(16 + i);
        }
        if (!has(19))
            return;
        store_.setValue(Front, number(line(19)));
        if (!has(20))
            return;
        store_.setText(at(CBSpeed, 0), line(20));
        modem_.setSpeed(0, NumericText::numericValue(line(20)));
        const std::pair<QString, QString> menus[] = {{DF, S}, {TXDF, TXS}};
        int n = 21;
        for (const auto& [defaultEntry, prefix] : menus) {
            if (!has(n))
                return;
            setDown(defaultEntry, MmvariPos::convertsToTrue(line(n++)));
            for (int i = 0; i < kStoredSoundEntries; ++i) {
                if (!has(n))
                    return;
                setDown(prefix + QString::number(i), line(n++) == QStringLiteral("True"));
            }
        }
        if (!has(31))
            return;
        if (number(line(31)) == 1)
            setLargeFont(true);
        if (!has(32))
            return;
        if (line(32).contains(kPortKey)) {
            modem_.setPortName(line(32).mid(kPortKey.size(), kMaxPortName));
            context_.wait.wait(0.2);
            if (modem_.PortState() != 1 && isSerialPortName(modem_.PortName()))
                platform_.dialogs.showMessage(modem_.PortName() + " failed to open in the digital interface");
        }
        if (!has(33))
            return;
        if (line(33).contains(kOutputKey))
            ptt_.PortOutput = keyedTrue(line(33), kOutputKey);
        context_.wait.wait(0.1);
        if (!has(34))
            return;
        if (line(34).contains(kInvKey))
            ptt_.PortInv = keyedTrue(line(34), kInvKey);
        if (!has(35))
            return;
        if (line(35).contains(kExcKey))
            ptt_.PortExc = keyedTrue(line(35), kExcKey);
        for (int i = 0; i < kFunctionKeys; ++i) {
            if (!has(36 + i))
                return;
            transmit_.setFunctionKey(i, line(36 + i));
        }
    }();

    auto noneTicked = [this](const QString& defaultEntry, const QString& prefix) {
        bool any = store_.isTicked(defaultEntry);
        for (int i = 0; i < kStoredSoundEntries; ++i)
            any = any || store_.isTicked(prefix + QString::number(i));
        return !any;
    };
    if (noneTicked(DF, S))
        setDown(DF, true);
    if (noneTicked(TXDF, TXS))
        setDown(TXDF, true);
    SetSound();
    SyncButtons();
    if (store_.isTicked(Front))
        emit topMostRequested();
}

QStringList Terminal::settingsLines() const {
    auto down = [this](const QString& name) { return boolText(store_.isTicked(name)); };
    const QString mode = store_.text(at(CBMode, 0));
    QStringList lines = {
        QString::number(geometry_.top),
        QString::number(geometry_.left),
        QString::number(geometry_.height),
        QString::number(geometry_.width),
        mode == QStringLiteral("bpsk") ? kBpskStored : mode,
        QString::number(modem_.RxCarrier(0)),
        down(at(BtnAFC, 0)),
        down(BtnNET),
    };
    for (int i = 0; i < 4; ++i)
        lines << down(at(BtnFFT, i));
    lines << down(Dual) << QStringLiteral("NO")
          << (store_.isTicked(ZoomBTN) ? QStringLiteral("YES") : QStringLiteral("NO"));
    lines << levelClickInfo_;
    lines << QString::number(store_.value(Front)) << store_.text(at(CBSpeed, 0));
    for (const auto& [defaultEntry, prefix] : {std::pair{DF, S}, std::pair{TXDF, TXS}}) {
        lines << down(defaultEntry);
        for (int i = 0; i < kStoredSoundEntries; ++i)
            lines << down(prefix + QString::number(i));
    }
    lines << QString::number(largeFont_ ? 1 : 0) << kPortKey + modem_.PortName()
          << keyedBool(kOutputKey, ptt_.PortOutput) << keyedBool(kInvKey, ptt_.PortInv)
          << keyedBool(kExcKey, ptt_.PortExc);
    for (int i = 0; i < kFunctionKeys; ++i)
        lines << transmit_.functionKey(i);
    return lines;
}
