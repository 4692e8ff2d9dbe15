#include "ChatLog.h"

#include "common/LogFile.h"

#include <QFile>

namespace ChatLog {
namespace {

// A log larger than this is read from its end only; the tail is all anyone asks for.
constexpr qint64 kMaxRead = 1024 * 1024;

QString joinedLines(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (file.size() > kMaxRead)
        file.seek(file.size() - kMaxRead);
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QString joined;
    for (const QString& line : text.split(u'\n', Qt::KeepEmptyParts))
        joined += line + QStringLiteral("\r\n");
    if (text.endsWith(u'\n')) // the last line end is not a line of its own
        joined.chop(2);
    return joined;
}

// 400 characters from position length - 400 (counted from 1), or from the start: so a long
// log's very last character is not part of it, as the stations have always received it.
QString lastPart(const QString& joined) {
    const qsizetype from = qMax<qsizetype>(1, joined.size() - kTailCharacters);
    return joined.mid(from - 1, kTailCharacters);
}

} // namespace

QString tail(LogFile& log) {
    log.close();
    const QString text = lastPart(joinedLines(log.path()));
    log.open();
    return text;
}

QString tailAndDelete(LogFile& log) {
    log.close();
    const QString text = lastPart(joinedLines(log.path()));
    QFile(log.path()).resize(0);
    log.open();
    return text;
}

} // namespace ChatLog
