#include "CallsignList.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Letters, digits and the stroke of portable calls; anything else is not a callsign line.
bool looksLikeCallsign(const QByteArray& line) {
    if (line.isEmpty() || line.size() > CallsignList::kMaxCallsignLength)
        return false;
    for (char c : line)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/'))
            return false;
    return true;
}

} // namespace

CallsignList::Reading CallsignList::read(const QString& path, const std::atomic_bool& cancel) {
    Reading reading;
    QFile file(path);
    if (!file.exists())
        return reading;
    const QString name = QFileInfo(path).fileName();
    if (file.size() > kMaxFileBytes) {
        reading.problem = QStringLiteral("%1 not read: %2 MB is not a callsign list (they are under a "
                                         "megabyte; at most %3 MB is read)")
                              .arg(name)
                              .arg(file.size() / (1024 * 1024))
                              .arg(kMaxFileBytes / (1024 * 1024));
        return reading;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        reading.problem = QStringLiteral("%1 not read: %2").arg(name, file.errorString());
        return reading;
    }
    const QByteArray all = file.readAll();
    for (qsizetype from = 0; from < all.size();) {
        if (cancel.load(std::memory_order_relaxed) || reading.calls.size() >= kMaxCallsigns)
            break;
        qsizetype end = all.indexOf('\n', from);
        if (end < 0)
            end = all.size();
        const QByteArray line = QByteArray::fromRawData(all.constData() + from, end - from).trimmed();
        if (!line.startsWith('#') && looksLikeCallsign(line))
            reading.calls.insert(QString::fromLatin1(line).toUpper());
        from = end + 1;
    }
    return reading;
}

std::optional<QString> CallsignList::callsignIn(const QString& text) const {
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts))
        if (calls_.contains(word))
            return word;
    return std::nullopt;
}
