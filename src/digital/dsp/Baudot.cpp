#include "Baudot.h"

namespace Baudot {
namespace {

// Index = code; '\0' = no character (shifts, null). Bell in figures is '\a'.
const char kLetterTable[33] = "\0E\nA SIU\rDRJNFCKTZLWHYPQOBG\0MXV\0";
const char kFigureTable[33] = "\0" "3\n- '87\r$4\a,!:(5\")2#6019?&\0./;\0";

int codeIn(const char* table, QChar c) {
    for (int code = 0; code < 32; ++code)
        if (table[code] != '\0' && QChar(table[code]) == c)
            return code;
    return -1;
}

// Figures that amateur traffic all but never sends (reports, serials, calls and times are
// digits, "/", "?", "-" and the like): seen in figures, they are letters that a false shift
// turned, and the shift is undone.
bool rareInFigures(char c) {
    for (const char rare : {'$', '\a', '!', '&', '#', ';', '"'})
        if (c == rare)
            return true;
    return false;
}

} // namespace

QList<quint8> Encoder::encode(const QString& text) {
    QList<quint8> codes;
    for (QChar raw : text) {
        const QChar c = raw.toUpper();
        const int letter = codeIn(kLetterTable, c);
        const int figure = codeIn(kFigureTable, c);
        if (letter < 0 && figure < 0)
            continue;
        const bool inBoth = letter >= 0 && figure >= 0; // space, CR, LF
        if (!inBoth) {
            const bool wantFigures = letter < 0;
            if (!known_ || wantFigures != figures_) {
                codes << (wantFigures ? kFigures : kLetters);
                figures_ = wantFigures;
                known_ = true;
            }
        }
        codes << static_cast<quint8>(inBoth ? letter : (figures_ ? figure : letter));
        if (c == u' ')
            figures_ = false; // the receiver unshifts on a space
    }
    return codes;
}

QString Decoder::push(quint8 code) {
    code &= 0x1F;
    if (code == kLetters) {
        figures_ = false;
        return {};
    }
    if (code == kFigures) {
        figures_ = true;
        return {};
    }
    if (figures_ && rareInFigures(kFigureTable[code]))
        figures_ = false; // a shift that noise made, or a letters shift that noise took
    const char c = (figures_ ? kFigureTable : kLetterTable)[code];
    if (code == 0x04) // space
        figures_ = false;
    return c == '\0' ? QString() : QString(QChar(c));
}

} // namespace Baudot
