#include "SimRig.h"

namespace {

bool allDigits(const QString& text) {
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (!c.isDigit())
            return false;
    return true;
}

} // namespace

QString SimRig::vfoReport(char vfo) const {
    return QStringLiteral("F%1%2;").arg(QChar(vfo)).arg(vfo == 'A' ? vfoA : vfoB, 11, 10, QChar(u'0'));
}

QString SimRig::modeReport() const { return QStringLiteral("MD0%1;").arg(mode); }

QString SimRig::offsetField() const {
    return QStringLiteral("%1%2").arg(QChar(clarifierHz < 0 ? u'-' : u'+')).arg(qAbs(clarifierHz), 4, 10,
                                                                        QChar(u'0'));
}

QString SimRig::statusReport() const {
    return QStringLiteral("IF%1%2%3%4%5%6000000;")
        .arg(vfoA, 11, 10, QChar(u'0'))
        .arg(offsetField())
        .arg(ritOn ? 1 : 0)
        .arg(xitOn ? 1 : 0)
        .arg(mode)
        .arg(transmitting ? 1 : 0);
}

QStringList SimRig::setVfo(qint64& vfo, char name, const QString& digits) {
    if (!allDigits(digits) || digits.size() > 11)
        return {};
    vfo = digits.toLongLong();
    return {vfoReport(name)};
}

QStringList SimRig::setFlag(bool& flag, const QString& mnemonic, QChar value) {
    if (value != u'0' && value != u'1')
        return {};
    flag = value == u'1';
    return {mnemonic + value + u';'};
}

QStringList SimRig::apply(const QString& line) {
    QString command = line.startsWith(QStringLiteral("A0:")) ? line.mid(3) : line;
    if (!command.endsWith(u';'))
        return {};
    command.chop(1);
    const QString mnemonic = command.left(2);
    const QString rest = command.mid(2);
    if (mnemonic == QStringLiteral("FA") && !rest.isEmpty())
        return setVfo(vfoA, 'A', rest);
    if (mnemonic == QStringLiteral("FB") && !rest.isEmpty())
        return setVfo(vfoB, 'B', rest);
    if (mnemonic == QStringLiteral("MD") && rest.size() >= 1) {
        const int digit = rest.right(1).toInt();
        if (digit < 1 || digit > 7)
            return {};
        mode = digit;
        return {modeReport()};
    }
    if (mnemonic == QStringLiteral("MX") && rest.size() == 1) {
        QStringList report = setFlag(transmitting, QStringLiteral("MX"), rest[0]);
        return report;
    }
    if (mnemonic == QStringLiteral("PS") && rest.size() == 1)
        return setFlag(powerOn, QStringLiteral("PS"), rest[0]);
    if (mnemonic == QStringLiteral("XT") && rest.size() == 1)
        return setFlag(xitOn, QStringLiteral("XT"), rest[0]);
    if (mnemonic == QStringLiteral("RT") && rest.size() == 1)
        return setFlag(ritOn, QStringLiteral("RT"), rest[0]);
    return {};
}
