#include "RestingAnswers.h"

#include <array>
#include <utility>

namespace {

// Read as sent → answer at rest.
constexpr std::array<std::pair<const char*, const char*>, 31> kAtRest{{
    {"AC;", "AC000;"},    // antenna tuner: off
    {"AG0;", "AG0100;"},  // AF gain
    {"AG1;", "AG1100;"},  // AF gain of the second receiver (Hamlib's TS-2000 probe)
    {"AI;", "AI0;"},      // no reports of its own
    {"BC;", "BC0;"},      // beat cancel: off
    {"CT;", "CT0;"},      // CTCSS: off
    {"FR;", "FR0;"},      // receiving on VFO A
    {"FT;", "FT0;"},      // sending on VFO A
    {"GT;", "GT000;"},    // AGC
    {"IS;", "IS 0000;"},  // IF shift: centre
    {"MG;", "MG050;"},    // microphone gain
    {"NB;", "NB0;"},      // noise blanker: off
    {"NL;", "NL000;"},    // noise blanker level
    {"NR;", "NR0;"},      // noise reduction: off
    {"NT;", "NT0;"},      // notch: off
    {"PA;", "PA00;"},     // preamplifier: off
    {"PC;", "PC100;"},    // power: 100 W
    {"PL;", "PL000000;"}, // speech processor levels
    {"PR;", "PR0;"},      // speech processor: off
    {"RA;", "RA0000;"},   // attenuator: off
    {"RG;", "RG255;"},    // RF gain: full
    {"RM;", "RM0000;"},   // meter
    {"SD;", "SD0000;"},   // CW break-in delay
    {"SH;", "SH00;"},     // filter high cut
    {"SL;", "SL00;"},     // filter low cut
    {"SM0;", "SM00000;"}, // S meter: no signal (the station reports none)
    {"SQ0;", "SQ0000;"},  // squelch: open
    {"TO;", "TO0;"},      // tone: off
    {"VD;", "VD0000;"},   // VOX delay
    {"VG;", "VG000;"},    // VOX gain
    {"VX;", "VX0;"},      // VOX: off (the program keeps it off at the station)
}};

// What the command pass reads and answers itself, or takes as a command.
constexpr std::array<const char*, 16> kPassOwn{"IF", "FA", "FB", "ID", "FL", "FW", "PS", "MD",
                                               "RT", "XT", "TX", "RX", "KY", "KS", "AI", "FR"};

bool isPassOwn(QStringView letters) {
    for (const char* own : kPassOwn)
        if (letters == QLatin1String(own))
            return true;
    return false;
}

} // namespace

namespace {
// A menu read, "EX" and its seven digits (menu number and its parts): Hamlib's TS-2000 model
// reads menu 031 as it opens, ten times over when nothing answers.
bool isMenuRead(QStringView command) {
    if (command.size() != 10 || !command.startsWith(u"EX") || !command.endsWith(u';'))
        return false;
    for (QChar c : command.mid(2, 7))
        if (!c.isDigit())
            return false;
    return true;
}
} // namespace

QString RestingAnswers::answerFor(QStringView command, Settings& settings) {
    if (isMenuRead(command)) // the menu's value at rest: 0
        return settings.value(command.toString(), command.chopped(1).toString() + QStringLiteral("0;"));
    for (const auto& [read, answer] : kAtRest) {
        const QLatin1String query(read), atRest(answer);
        if (command == query)
            return settings.value(query, atRest);
        // A set has the answer's form: the query's letters (and channel digit), then digits.
        const qsizetype head = query.size() - 1;
        if (command.size() == atRest.size() && command.startsWith(query.left(head)) &&
            command.endsWith(u';') && command.size() > query.size()) {
            settings.insert(query, command.toString());
            return {};
        }
    }
    // Two letters and ";" is a read; one the rig does not know gets its "?;".
    const bool read = command.size() == 3 && command[0].isUpper() && command[1].isUpper() && command[2] == u';';
    if (read && !isPassOwn(command.left(2)))
        return QStringLiteral("?;");
    return {};
}
