#include "CwStation.h"

#include "KeyerPass.h"
#include "MorseTable.h"
#include "SideTone.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/NumericText.h"
#include "station/ServerLine.h"

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
    for (const QString& line : lines)
        ctx_.server.send(line);
    ctx_.sideTone.queue(sideTone);
}

bool CwStation::setSpeed(int wordsPerMinute) {
    if (wordsPerMinute < kLowestSpeed || wordsPerMinute > kHighestSpeed)
        return false;
    const QString text = KeyerPass::speedText(wordsPerMinute);
    ctx_.store.setText(Ctl::CWSpeed, text);
    ctx_.server.send(QStringLiteral("WT:") + text + QStringLiteral("|26;"));
    return true;
}

int CwStation::speed() const { return NumericText::integerValue(ctx_.store.text(Ctl::CWSpeed)); }
