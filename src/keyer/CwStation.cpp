#include "CwStation.h"

#include "KeyerPass.h"
#include "MorseTable.h"
#include "MorseTiming.h"
#include "SideTone.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/NumericText.h"
#include "platform/Clock.h"
#include "station/ServerLine.h"

#include <algorithm>

QString CwStation::sendText(const QString& text) {
    QString keyed;
    QStringList lines;
    for (QChar c : text.toUpper()) {
        if (c != u' ' && MorseTable::patternFor(c).isEmpty())
            continue;
        keyed += c;
        lines << QStringLiteral("WK:") + c + u';';
    }
    sendKeyerLines(lines, ctx_.store.isTicked(Ctl::SideTone) ? keyed : QString());
    return keyed;
}

void CwStation::sendKeyerLines(const QStringList& lines, const QString& sideTone) {
    QString keyed;
    for (const QString& line : lines) {
        ctx_.server.send(line);
        if (line.startsWith(QStringLiteral("WK:")) && line.size() == 5)
            keyed += line[3];
    }
    reckon(keyed);
    ctx_.sideTone.queue(sideTone);
}

void CwStation::reckon(const QString& keyed) {
    int units = 0;
    for (QChar c : keyed)
        for (const KeyingSpan& span : MorseTiming::spansFor(c))
            units += span.units;
    const double now = ctx_.clock.monotonicSeconds();
    airEndsAt_ = std::max(airEndsAt_, now) + units * MorseTiming::unitSeconds(std::max(speed(), kLowestSpeed));
}

void CwStation::abort() { airEndsAt_ = ctx_.clock.monotonicSeconds(); }

bool CwStation::setSpeed(int wordsPerMinute) {
    if (wordsPerMinute < kLowestSpeed || wordsPerMinute > kHighestSpeed)
        return false;
    const QString text = KeyerPass::speedText(wordsPerMinute);
    ctx_.store.setText(Ctl::CWSpeed, text);
    ctx_.server.send(QStringLiteral("WT:") + text + QStringLiteral("|26;"));
    return true;
}

int CwStation::speed() const { return NumericText::integerValue(ctx_.store.text(Ctl::CWSpeed)); }
