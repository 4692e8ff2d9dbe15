#include "CwStation.h"
#include "station/StationLines.h"

#include "KeyerPass.h"
#include "common/MorseTable.h"
#include "MorseTiming.h"
#include "SideTone.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "platform/Clock.h"
#include "station/ServerLine.h"

#include <algorithm>
#include <utility>

QString CwStation::sendText(const QString& text) {
    QString keyed;
    QStringList lines;
    for (QChar c : text.toUpper()) {
        if (c != u' ' && MorseTable::patternFor(c).isEmpty())
            continue;
        keyed += c;
        lines << StationLines::cwCharacter(c);
    }
    const int taken = sendKeyerLines(lines, ctx_.store.isTicked(Ctl::sideToneCheck) ? keyed : QString());
    return keyed.left(taken);
}

int CwStation::sendKeyerLines(const QStringList& lines, const QString& sideTone, bool fromKeyerPort) {
    double waitingUntil = allSentAt();
    const double bound = ctx_.clock.monotonicSeconds() + kMostWaitingSeconds;
    int taken = 0, refused = 0;
    for (const QString& line : lines) {
        const bool character = StationLines::isCwCharacter(line);
        if (character) {
            const double length = secondsOf(line[3], speed());
            if (refused > 0 || waitingUntil + length > bound) {
                ++refused; // and every character after it: no text goes out with a hole in it
                continue;
            }
            waitingUntil += length;
            ++taken;
        }
        const Held held{line, character ? line[3] : QChar(), fromKeyerPort && character, speed()};
        if (holdBack_)
            held_.push_back(held);
        else
            hand(held);
    }
    if (holdBack_) {
        idleOwed_ = idleOwed_ || fromKeyerPort;
        tick();
    } else {
        ctx_.sideTone.queue(refused > 0 ? sideTone.left(taken) : sideTone);
    }
    if (refused > 0)
        tellRefused(refused);
    return taken;
}

void CwStation::tellRefused(int characters) {
    refusedUntold_ += characters;
    tellRefusedSoFar();
}

void CwStation::tellRefusedSoFar() {
    const double now = ctx_.clock.monotonicSeconds();
    if (refusedUntold_ == 0 || now - lastToldAt_ < kTellEverySeconds)
        return;
    lastToldAt_ = now;
    ctx_.tell(QStringLiteral("CW: %1 characters refused, not keyed: more than %2 minutes of CW were "
                             "waiting to go out")
                  .arg(std::exchange(refusedUntold_, 0))
                  .arg(kMostWaitingSeconds / 60));
}

void CwStation::hand(const Held& held) {
    ctx_.server.send(held.line);
    if (held.keyed.isNull())
        return;
    reckon(held.keyed);
    if (!holdBack_)
        return; // the side tone and the echo went with the whole request
    if (ctx_.store.isTicked(Ctl::sideToneCheck))
        ctx_.sideTone.queue(QString(held.keyed));
    if (held.echo && listener_.echo)
        listener_.echo(held.keyed);
}

void CwStation::tick() {
    tellRefusedSoFar();
    const double now = ctx_.clock.monotonicSeconds();
    while (!held_.empty() && std::max(airEndsAt_, now) - now < leadSeconds_) {
        hand(held_.front());
        held_.pop_front();
    }
    if (idleOwed_ && held_.empty() && now >= airEndsAt_) {
        idleOwed_ = false;
        if (listener_.idle)
            listener_.idle();
    }
}

double CwStation::secondsOf(QChar keyed, int wpm) {
    int units = 0;
    for (const KeyingSpan& span : MorseTiming::spansFor(keyed))
        units += span.units;
    return units * MorseTiming::unitSeconds(std::max(wpm, kLowestSpeed));
}

void CwStation::reckon(QChar keyed) {
    const double now = ctx_.clock.monotonicSeconds();
    airEndsAt_ = std::max(airEndsAt_, now) + secondsOf(keyed, speed());
}

double CwStation::allSentAt() const {
    double end = std::max(airEndsAt_, ctx_.clock.monotonicSeconds());
    for (const Held& held : held_)
        if (!held.keyed.isNull())
            end += secondsOf(held.keyed, held.wpm);
    return end;
}

void CwStation::abort() {
    held_.clear();
    if (!holdBack_)
        airEndsAt_ = ctx_.clock.monotonicSeconds(); // nothing is reckoned without the hold
}

void CwStation::keyerPortClosed() {
    std::erase_if(held_, [](const Held& held) { return held.echo; });
}

void CwStation::setHoldBack(bool on, double leadSeconds) {
    leadSeconds_ = std::clamp(leadSeconds, 0.2, 30.0);
    holdBack_ = on;
    if (!on) { // what was held goes now, as it would have without the hold
        while (!held_.empty()) {
            hand(held_.front());
            held_.pop_front();
        }
    }
}

bool CwStation::setSpeed(int wordsPerMinute) {
    if (wordsPerMinute < kLowestSpeed || wordsPerMinute > kHighestSpeed)
        return false;
    noteSpeed(wordsPerMinute);
    const QString text = KeyerPass::speedText(wordsPerMinute);
    const QString line = StationLines::cwSpeed(text);
    if (holdBack_)
        held_.push_back({line, QChar(), false, wordsPerMinute}); // in its place among the text
    else
        ctx_.server.send(line);
    return true;
}

void CwStation::noteSpeed(int wordsPerMinute) {
    speed_ = wordsPerMinute;
    const QString text = KeyerPass::speedText(wordsPerMinute);
    if (ctx_.store.text(Ctl::cwSpeedBox) != text)
        ctx_.store.setText(Ctl::cwSpeedBox, text);
}
