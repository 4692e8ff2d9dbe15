#include "NumericText.h"

#include <cmath>
#include <limits>

namespace NumericText {

double numericValue(const QString& text) {
    QString compact;
    compact.reserve(qMin<qsizetype>(text.size(), 64));
    for (QChar c : text) {
        if (c == u' ' || c == u'\t')
            continue;
        compact.append(c);
        if (compact.size() >= 64) // longer numbers mean nothing to us
            break;
    }
    qsizetype end = 0;
    if (end < compact.size() && (compact[end] == u'-' || compact[end] == u'+'))
        ++end;
    const qsizetype digitsStart = end;
    bool seenPoint = false;
    while (end < compact.size()) {
        const QChar c = compact[end];
        if (c.isDigit() && c.unicode() < 128) {
            ++end;
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            ++end;
        } else {
            break;
        }
    }
    if (end == digitsStart)
        return 0.0;
    bool ok = false;
    const double value = compact.left(end).toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

int integerValue(const QString& text) {
    const double value = std::trunc(numericValue(text));
    if (value >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (value <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(value);
}

QString shortestDecimal(double value) {
    QString text = QString::number(std::fabs(value), 'f', 6);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    if (value < 0 && text != u"0")
        text.prepend(u'-');
    return text;
}

QString integerLine(int value) {
    return value < 0 ? QString::number(value) : u' ' + QString::number(value);
}

} // namespace NumericText
