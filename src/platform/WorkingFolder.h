#pragma once

#include <QString>

// The folder the program keeps its files in (settings, log, MMVARI.POS, ChatFrm.ini,
// MASTER.SCP, cw.wav): the current folder, as the operator started it from a terminal, or one
// chosen on the command line, which the menu entry and the station service do.
namespace WorkingFolder {

// The per-user folder: $XDG_CONFIG_HOME/zarnikcontrol, else ~/.config/zarnikcontrol.
QString userFolder();

// Makes `folder` the current folder, creating it (private, 0700) with the folders above it
// when missing; false with `why` set, naming the folder and the reason, when it cannot.
bool enter(const QString& folder, QString* why);

} // namespace WorkingFolder
