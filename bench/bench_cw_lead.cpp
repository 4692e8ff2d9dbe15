// What a jittery link does to CW held back, and so which lead to choose.
//
// With "Hold CW back", a character goes to the station only when the CW before it is reckoned
// to end within the lead; the station's keyer then sends it when it arrives. A packet late by
// more than what the keyer still has queued leaves a gap in the CW. This runs the program's
// rule against three links (the delay of each character drawn from a model; TCP keeps their
// order) and counts, per lead, the messages with an audible gap (longer than one Morse unit)
// and the longest gap. Without the hold every character goes at once and no gap can come from
// the link, but nothing can be stopped either.
#include "keyer/MorseTiming.h"

#include <QString>

#include <algorithm>
#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr double kWpm = 25;
constexpr int kMessages = 2000;
const QString kMessage = QStringLiteral("CQ CQ DE OH2XX OH2XX TEST ");

struct Link {
    const char* name;
    double baseMs, meanJitterMs, spikeChance, spikeMinMs, spikeMaxMs;
};

double durationSeconds(QChar c) {
    int units = 0;
    for (const KeyingSpan& span : MorseTiming::spansFor(c))
        units += span.units;
    return units * MorseTiming::unitSeconds(kWpm);
}

struct Outcome {
    double gappedShare = 0; // messages with an audible gap
    double longestMs = 0;
};

Outcome run(const Link& link, double lead, std::mt19937& random) {
    std::exponential_distribution<double> jitter(1.0 / std::max(link.meanJitterMs, 0.001));
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    const double unit = MorseTiming::unitSeconds(kWpm);
    Outcome outcome;
    int gapped = 0;
    for (int m = 0; m < kMessages; ++m) {
        double reckonedEnd = 0, arrivedBefore = 0, keyedEnd = 0;
        bool gap = false;
        for (qsizetype i = 0; i < kMessage.size(); ++i) {
            const double handed = std::max(0.0, reckonedEnd - lead); // the program's rule
            reckonedEnd = std::max(reckonedEnd, handed) + durationSeconds(kMessage[i]);
            double delayMs = link.baseMs + jitter(random);
            if (uniform(random) < link.spikeChance)
                delayMs += link.spikeMinMs + uniform(random) * (link.spikeMaxMs - link.spikeMinMs);
            const double arrived = std::max(arrivedBefore, handed + delayMs / 1000.0);
            arrivedBefore = arrived;
            if (i > 0 && arrived > keyedEnd) {
                const double waited = arrived - keyedEnd;
                outcome.longestMs = std::max(outcome.longestMs, waited * 1000.0);
                gap = gap || waited > unit;
            }
            keyedEnd = std::max(arrived, keyedEnd) + durationSeconds(kMessage[i]);
        }
        gapped += gap ? 1 : 0;
    }
    outcome.gappedShare = 100.0 * gapped / kMessages;
    return outcome;
}

} // namespace

int main() {
    const Link links[] = {
        {"LAN (1 ms, little jitter)", 1, 0.5, 0, 0, 0},
        {"home internet (40 ms + 20 ms jitter, 1% stalls of 0.3-0.8 s)", 40, 20, 0.01, 300, 800},
        {"poor mobile link (80 ms + 60 ms jitter, 2% stalls of 0.5-2 s)", 80, 60, 0.02, 500, 2000},
    };
    std::mt19937 random(7373);
    std::printf("\"%s\" at %.0f wpm, %d messages a row; audible = longer than one unit (%.0f ms)\n\n",
                qPrintable(kMessage.trimmed()), kWpm, kMessages, MorseTiming::unitSeconds(kWpm) * 1000);
    std::printf("%-64s %6s %16s %12s\n", "link", "lead", "messages gapped", "longest gap");
    for (const Link& link : links) {
        for (double lead : {0.25, 0.5, 1.0, 2.0, 3.0}) {
            const Outcome outcome = run(link, lead, random);
            std::printf("%-64s %5.2fs %15.2f%% %10.0f ms\n", link.name, lead, outcome.gappedShare, outcome.longestMs);
        }
    }
    return 0;
}
