#include "MorseTiming.h"

#include "common/MorseTable.h"

namespace MorseTiming {

double unitSeconds(double wordsPerMinute) { return 1.15 / wordsPerMinute; }

QList<KeyingSpan> spansFor(QChar character) {
    QList<KeyingSpan> spans;
    for (QChar element : MorseTable::patternFor(character)) {
        if (element == u'-')
            spans << KeyingSpan{true, 3} << KeyingSpan{false, 1};
        else if (element == u'.')
            spans << KeyingSpan{true, 1} << KeyingSpan{false, 1};
        else
            spans << KeyingSpan{false, 2};
    }
    spans << KeyingSpan{false, 2}; // the end of the character
    return spans;
}

} // namespace MorseTiming
