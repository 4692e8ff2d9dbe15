#include "Spot.h"

#include <array>
#include <cmath>

namespace SpotLines {

QString line(const Spot& spot) {
    const QString head = QStringLiteral("DX de %1:").arg(spot.spotter);
    const QString khz = QString::number(spot.rfHz / 1000.0, 'f', 1);
    const int gap = std::max(1, 24 - int(head.size()) - int(khz.size()));
    QString comment = QStringLiteral("%1 %2 dB").arg(spot.mode).arg(spot.snrDb);
    if (spot.wpm > 0)
        comment += QStringLiteral(" %1 WPM").arg(spot.wpm);
    comment += spot.calledCq ? QStringLiteral(" CQ") : QStringLiteral(" DE");
    return head + QString(gap, u' ') + khz + QStringLiteral("  ") + spot.call.leftJustified(12) +
           u' ' + comment.leftJustified(30) + u' ' + spot.utc.toUTC().toString(QStringLiteral("HHmm")) +
           u'Z';
}

double rfFrequencyHz(double dialHz, int modeDigit, double toneHz, double cwPitchHz) {
    switch (modeDigit) {
    case 1: return dialHz - toneHz;
    case 3: return dialHz + (toneHz - cwPitchHz);
    case 6: return dialHz + (kFskMarkToneHz - toneHz);
    case 7: return dialHz - (toneHz - cwPitchHz);
    default: return dialHz + toneHz; // USB, FM, AM
    }
}

} // namespace SpotLines

namespace {
// The amateur band a frequency lies in (its lower edge in kHz), or the megahertz it is in.
QString bandOf(double hz) {
    static constexpr std::array<std::pair<double, double>, 13> kBands{{
        {1800, 2000}, {3500, 4000}, {5250, 5450}, {7000, 7300}, {10100, 10150}, {14000, 14350},
        {18068, 18168}, {21000, 21450}, {24890, 24990}, {28000, 29700}, {50000, 54000},
        {70000, 71000}, {144000, 148000}}};
    const double khz = hz / 1000;
    for (const auto& [low, high] : kBands)
        if (khz >= low && khz <= high)
            return QString::number(low);
    return QStringLiteral("MHz %1").arg(std::floor(hz / 1e6));
}
} // namespace

bool SpotBook::admit(const Spot& spot) {
    const QString key = spot.call + u'@' + bandOf(spot.rfHz);
    const qint64 now = spot.utc.toSecsSinceEpoch();
    const auto found = last_.find(key);
    if (found != last_.end() && now - found->second.seconds < kRepeatSeconds &&
        std::abs(spot.rfHz - found->second.rfHz) <= kMovedHz)
        return false;
    if (int(last_.size()) >= kCallsKept)
        last_.clear(); // a day of skimming: start afresh rather than grow
    last_[key] = {now, spot.rfHz};
    recent_.append(spot);
    if (recent_.size() > kRecent)
        recent_.removeFirst();
    return true;
}
