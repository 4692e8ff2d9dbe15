#pragma once

#include <QList>
#include <QString>

// One thing a logger command pass does, in the order the pass does it.
struct CatAction {
    enum Kind {
        Reply,              // write the text to the logger
        SendToServer,       // one server line
        CopyReceived,       // receive monitor copy
        CopySent,           // send monitor copy
        ClearReceived,      // empty the receive monitor
        PauseAfterFrequencySet, // let the station settle before the echo
        KeyCw,              // the text goes out as CW (KY)
        SetCwSpeed,         // the keyer's speed, words per minute as digits (KS)
        AbortCw,            // drop the CW not yet handed on (KY0;, Hamlib's stop_morse)
        Fail,               // the pass ends here with "error " + text; the buffer is kept
    };
    Kind kind;
    QString text;

    bool operator==(const CatAction&) const = default;
};

using CatActions = QList<CatAction>;
