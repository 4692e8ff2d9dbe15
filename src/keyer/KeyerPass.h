#pragma once

#include "KeyerCommands.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// What one batch of bytes from the logger's keyer port asks for. The batch is walked by the
// WinKeyer command structure: "set speed" (0x02) sets the speed, the commands a host waits
// on are answered, every other command is taken in with its parameters and ignored, and each
// text byte (0x20-0x7F outside a command) is CW text, forwarded, echoed and queued for the
// side tone.
struct KeyerPassResult {
    int speed = 0;            // the new CW speed in words per minute, 0 when unchanged
    QByteArray toLogger;      // answers, and 0xC4, the echoes, 0xC0 around the text
    QStringList serverLines;  // "WT:..", "WK:c;" in order (only sent while connected)
    QString sideTone;         // characters for the side tone
    bool clearBuffer = false; // the logger cleared the keyer's buffer (0x0A: its Esc)
};

namespace KeyerPass {

constexpr char kBusy = char(0xC4);
constexpr char kIdle = char(0xC0);
constexpr int kLowestSpeed = 5;

// `walker` carries a command cut off at the end of the previous batch into this one;
// `queueSideTone` is the "Local Side Tone" box. With `echoLater` (CW held back) the echoes
// and the closing idle byte are left out: they follow as the text goes on to the station.
KeyerPassResult run(const QByteArray& batch, bool queueSideTone, KeyerCommandWalker& walker,
                    bool echoLater = false);

// The speed as the box shows it: at least two digits (5 gives "05").
QString speedText(int wordsPerMinute);

} // namespace KeyerPass
