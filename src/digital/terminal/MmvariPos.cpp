#include "MmvariPos.h"

#include <QFile>
#include <QSaveFile>

namespace {
// A settings file is a few hundred bytes; anything much larger is not ours.
constexpr qint64 kMaxFileBytes = 1 << 20;
} // namespace

std::optional<QStringList> MmvariPos::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(kMaxFileBytes);
    QStringList lines = QString::fromLatin1(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the end of the last line, not an empty line of its own
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

bool MmvariPos::write(const QString& path, const QStringList& lines, QString* why) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (why)
            *why = file.errorString();
        return false;
    }
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    // Flushed before the commit: a full disk must leave the old file, not an empty one.
    if (file.write(bytes) != bytes.size() || !file.flush() || !file.commit()) {
        if (why)
            *why = file.errorString();
        return false;
    }
    return true;
}

bool MmvariPos::convertsToTrue(const QString& line) {
    const QString text = line.trimmed();
    if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool isNumber = false;
    const double value = text.toDouble(&isNumber);
    return isNumber && value != 0;
}
