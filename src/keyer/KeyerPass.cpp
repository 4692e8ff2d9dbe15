#include "KeyerPass.h"
#include "station/StationLines.h"

namespace KeyerPass {

namespace {

constexpr unsigned char kSetSpeed = 0x02;
constexpr unsigned char kClearBuffer = 0x0A;

// Set speed: 5 wpm or more is taken; below (0 is "use the pot") nothing changes.
void takeSpeed(const QByteArray& command, KeyerPassResult& result) {
    const int speed = static_cast<unsigned char>(command[1]);
    if (speed < kLowestSpeed)
        return;
    result.speed = speed;
    result.serverLines << StationLines::cwSpeed(speedText(speed));
}

void takeText(char byte, bool queueSideTone, bool echo, KeyerPassResult& result) {
    const auto code = static_cast<unsigned char>(byte);
    const QChar upper = QChar(code >= 'a' && code <= 'z' ? code - 32 : code);
    result.serverLines << StationLines::cwCharacter(upper);
    if (queueSideTone)
        result.sideTone += upper;
    if (echo)
        result.toLogger += static_cast<char>(upper.unicode());
}

} // namespace

QString speedText(int wordsPerMinute) {
    return QStringLiteral("%1").arg(wordsPerMinute, 2, 10, QLatin1Char('0'));
}

KeyerPassResult run(const QByteArray& batch, bool queueSideTone, KeyerCommandWalker& walker,
                    bool echoLater) {
    KeyerPassResult result;
    bool anyText = false;
    for (char byte : batch) {
        const KeyerCommandWalker::Step step = walker.take(byte);
        if (step.kind == KeyerCommandWalker::Kind::Text) {
            if (!anyText)
                result.toLogger += kBusy;
            anyText = true;
            takeText(byte, queueSideTone, !echoLater, result);
        } else if (step.kind == KeyerCommandWalker::Kind::Command) {
            if (static_cast<unsigned char>(step.command[0]) == kSetSpeed)
                takeSpeed(step.command, result);
            if (static_cast<unsigned char>(step.command[0]) == kClearBuffer && echoLater) {
                // Held back, the text before it in this batch is cleared with the rest.
                result.clearBuffer = true;
                result.serverLines.removeIf(StationLines::isCwCharacter);
                result.sideTone.clear();
            }
            result.toLogger += KeyerAnswers::to(step.command, anyText ? kBusy : kIdle);
        }
    }
    if (anyText && !echoLater)
        result.toLogger += kIdle;
    return result;
}

} // namespace KeyerPass
