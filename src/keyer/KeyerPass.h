#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What one batch of bytes from the logger's keyer port asks for. The batch is walked byte
// by byte, without regard to command structure: a leading 0x02 sets the speed, and every
// byte from 0x20 to 0x7F is CW text, forwarded, echoed and queued for the side tone.
struct KeyerPassResult {
    QString speedText;        // the new CW speed box text, empty when unchanged
    QByteArray toLogger;      // 0xC4, the echoes, 0xC0
    QStringList serverLines;  // "WT:..", "WK:c;" in order (only sent while connected)
    QString sideTone;         // characters for the side tone
};

namespace KeyerPass {

constexpr char kBusy = char(0xC4);
constexpr char kIdle = char(0xC0);
constexpr int kLowestSpeed = 5;

// `speedBoxAfter` turns the new speed text into what the box then shows (its own rule), so
// that the "WT:" line carries it; `queueSideTone` is the "Local Side Tone" box.
KeyerPassResult run(const QByteArray& batch, bool queueSideTone);

// The speed as the box shows it: at least two digits (5 gives "05").
QString speedText(int wordsPerMinute);

} // namespace KeyerPass
