#include "CallsignList.h"

#include <QFile>

bool CallsignList::load(const QString& path) {
    calls_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd() && calls_.size() < kMaxCallsigns) {
        const QString line = QString::fromLatin1(file.readLine(256)).trimmed().toUpper();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            calls_.insert(line);
    }
    return true;
}

QString CallsignList::FindIt(QString& candidate) const {
    const QStringList words = candidate.split(u' ', Qt::SkipEmptyParts);
    for (const QString& word : words) {
        if (calls_.contains(word)) {
            candidate = word;
            return QStringLiteral("Yes");
        }
    }
    return {};
}
