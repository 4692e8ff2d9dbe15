#pragma once

#include <QByteArray>
#include <QString>

// One datagram of the cwdaemon keying protocol, as the Linux loggers send it (tlf's NETKEYER,
// xlog, CQRLOG): text to key, or ESC, a request letter and its value in decimal. Anything
// malformed or out of range is Bad and is never keyed.
struct CwDaemonRequest {
    enum class Kind {
        Text,      // text: keyed; `replyWanted` when it ended in "^"
        Speed,     // ESC 2: words per minute, 4..60
        Abort,     // ESC 4: stop the message, drop what is queued
        Ptt,       // ESC a: 1 keys the transmitter, 0 releases it
        Tune,      // ESC c: key down for `value` seconds (0..10), 0 stops
        ReplyNext, // ESC h: when the next text has gone out, answer "h" + text
        Ignored,   // a request a bridge has no use for (reset, tone, sound, device, band...)
        Bad,
    };
    static constexpr int kMaxText = 1024;
    static constexpr int kLowestSpeed = 4;
    static constexpr int kHighestSpeed = 60;
    static constexpr int kLongestTuneSeconds = 10;

    Kind kind = Kind::Bad;
    QString text;
    int value = 0;
    bool replyWanted = false;

    static CwDaemonRequest parse(const QByteArray& datagram);
};
