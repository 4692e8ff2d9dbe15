#include "KeyerPass.h"

namespace KeyerPass {

QString speedText(int wordsPerMinute) {
    return QStringLiteral("%1").arg(wordsPerMinute, 2, 10, QLatin1Char('0'));
}

KeyerPassResult run(const QByteArray& batch, bool queueSideTone) {
    KeyerPassResult result;
    if (batch.isEmpty())
        return result;
    if (batch[0] == 0x02) { // set speed; below 5 (0 is "use the pot") nothing changes
        const int speed = batch.size() > 1 ? static_cast<unsigned char>(batch[1]) : 0;
        if (speed >= kLowestSpeed) {
            result.speedText = speedText(speed);
            result.serverLines << QStringLiteral("WT:") + result.speedText + QStringLiteral("|26;");
        }
    }
    bool anyText = false;
    for (char byte : batch) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x20 || code > 0x7F)
            continue;
        if (!anyText)
            result.toLogger += kBusy;
        anyText = true;
        const QChar upper = QChar(code >= 'a' && code <= 'z' ? code - 32 : code);
        result.serverLines << QStringLiteral("WK:") + upper + u';';
        if (queueSideTone)
            result.sideTone += upper;
        result.toLogger += static_cast<char>(upper.unicode());
    }
    if (anyText)
        result.toLogger += kIdle;
    return result;
}

} // namespace KeyerPass
