#include "MmvariPos.h"

#include "common/WholeFile.h"

#include <QFile>

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
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    const auto failure = WholeFile::replace(path, bytes);
    if (failure && why)
        *why = failure->text;
    return !failure;
}

bool MmvariPos::convertsToTrue(const QString& line) {
    const QString text = line.trimmed();
    if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool isNumber = false;
    const double value = text.toDouble(&isNumber);
    return isNumber && value != 0;
}
