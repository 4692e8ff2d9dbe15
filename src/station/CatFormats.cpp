#include "CatFormats.h"

#include "common/NumericText.h"

#include <cmath>

namespace CatFormats {

namespace {
constexpr double kMaxHz = 99999999999.0;
}

QString frequencyField(const QString& startFreqText) {
    const double hz = std::round(NumericText::numericValue(startFreqText) * 1000.0);
    return fieldOfHz(static_cast<qint64>(std::clamp(hz, 0.0, kMaxHz)));
}

QString fieldOfHz(qint64 hz) {
    const qint64 held = std::clamp<qint64>(hz, 0, static_cast<qint64>(kMaxHz));
    return QStringLiteral("%1").arg(held, 11, 10, QLatin1Char('0'));
}

QString statusRecord(const QString& frequencyField, const QString& clarifierOffset, int ritOn,
                     int xitOn, int modeDigit, bool transmitting) {
    return QStringLiteral("IF") + frequencyField + QStringLiteral("     ") + clarifierOffset +
           QString::number(ritOn) + QString::number(xitOn) + QStringLiteral("000") +
           (transmitting ? u'1' : u'0') + QString::number(modeDigit) +
           QStringLiteral("0000000;");
}

QString frequencyAnswer(char vfo, const QString& frequencyField) {
    return u'F' + QChar(vfo) + frequencyField + u';';
}

QString modeAnswer(int modeDigit) { return QStringLiteral("MD%1;").arg(modeDigit); }

QString powerAnswer(bool on) { return on ? QStringLiteral("PS1;") : QStringLiteral("PS0;"); }

QString filterWidthAnswer(int modeDigit) {
    int hz = 0;
    switch (modeDigit) {
    case 1: case 2: hz = 2400; break; // LSB, USB
    case 3: case 6: case 7: hz = 500; break; // CW, RTTY, CWR
    case 5: hz = 6000; break; // AM
    default: break; // FM and anything unknown: the normal filter
    }
    return QStringLiteral("FW%1;").arg(hz, 4, 10, QChar(u'0'));
}

} // namespace CatFormats
