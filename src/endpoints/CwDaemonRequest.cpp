#include "CwDaemonRequest.h"

namespace {

constexpr char kEscape = 0x1B;

// A decimal value with nothing else, within its range; -1 when it is not one.
int numberIn(const QByteArray& text, int lowest, int highest) {
    if (text.isEmpty() || text.size() > 6)
        return -1;
    for (char c : text)
        if (c < '0' || c > '9')
            return -1;
    const int value = text.toInt();
    return value >= lowest && value <= highest ? value : -1;
}

CwDaemonRequest valued(CwDaemonRequest::Kind kind, const QByteArray& text, int lowest, int highest) {
    const int value = numberIn(text, lowest, highest);
    if (value < 0)
        return {};
    return {kind, QString(), value, false};
}

CwDaemonRequest textRequest(QByteArray bytes) {
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    CwDaemonRequest request{CwDaemonRequest::Kind::Text, QString(), 0, false};
    if (bytes.endsWith('^')) {
        request.replyWanted = true;
        bytes.chop(1);
    }
    if (bytes.size() > CwDaemonRequest::kMaxText)
        return {};
    for (char c : bytes)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            return {}; // text is printable ASCII: anything else is no text a logger sends
    request.text = QString::fromLatin1(bytes);
    return request;
}

CwDaemonRequest escaped(char letter, const QByteArray& value) {
    using Kind = CwDaemonRequest::Kind;
    switch (letter) {
    case '2': return valued(Kind::Speed, value, CwDaemonRequest::kLowestSpeed, CwDaemonRequest::kHighestSpeed);
    case '4': return value.isEmpty() ? CwDaemonRequest{Kind::Abort, {}, 0, false} : CwDaemonRequest{};
    case 'a': return valued(Kind::Ptt, value, 0, 1);
    case 'c': return valued(Kind::Tune, value, 0, CwDaemonRequest::kLongestTuneSeconds);
    case 'h':
        if (value.size() > CwDaemonRequest::kMaxText)
            return {};
        return {Kind::ReplyNext, QString::fromLatin1(value), 0, false};
    case '0': case '3': case '5': case '6': case '7': case '8': case '9':
    case 'b': case 'd': case 'e': case 'f': case 'g':
        return {Kind::Ignored, {}, 0, false};
    default: return {};
    }
}

} // namespace

CwDaemonRequest CwDaemonRequest::parse(const QByteArray& bytes) {
    // A request is a C string: what follows a NUL is not part of it (xlog sends its whole
    // 80-byte buffer, the text, a NUL and whatever the buffer held before).
    const QByteArray datagram = bytes.left(bytes.indexOf('\0') < 0 ? bytes.size() : bytes.indexOf('\0'));
    if (datagram.isEmpty())
        return {};
    if (datagram[0] != kEscape)
        return textRequest(datagram);
    if (datagram.size() < 2)
        return {};
    QByteArray value = datagram.mid(2);
    while (value.endsWith('\n') || value.endsWith('\r'))
        value.chop(1);
    return escaped(datagram[1], value);
}
