#pragma once

#include <QHash>
#include <QString>
#include <QStringView>

// The reads a rig-control program asks that the station's reports say nothing of: the S meter,
// the power, the gains, the filters, the noise blanker ... (flrig and Hamlib's Kenwood models
// ask them all as they start and poll). A rig answers each at once; unanswered, each costs the
// client its time-out (about 135 ms for flrig, 11 retries for grig). They are answered as a
// Kenwood TS-480 at rest answers them, in the lengths its manual gives; a read of a command the
// rig does not know gets the rig's "?;". Sets are not answered here.
namespace RestingAnswers {

// What was set of these since the start ("MG000;" after the logger's MG000;): a rig reads
// back what it was set to, and Hamlib's Kenwood models probe a level's range that way.
using Settings = QHash<QString, QString>; // read ("MG;") -> the answer it now gets

// The answer to one command of the burst (its letters, any digits, and the ";"), or nothing
// when it is no read of this table, or one the command pass answers itself. A set of one of
// them is kept in `settings` (the station is not told: it reports none of them).
QString answerFor(QStringView command, Settings& settings);

} // namespace RestingAnswers
