#pragma once

#include <QString>

// The folder where the virtual ports' links ("radio", "keyer") and the operator's own
// COMn links live: $ZARNIKCONTROL_PORT_DIR when set, else $XDG_RUNTIME_DIR/zarnikcontrol,
// else ~/.local/state/zarnikcontrol/ports. Never a fixed name under /tmp, where another
// user could plant links. A folder the program makes is private (0700); one that is not the
// user's alone is refused.
namespace PortFolder {

QString path();

// Creates the folder (0700) when missing; false with `why` set, naming the folder and the
// reason, when it cannot be made or is not safe to use.
bool ensure(const QString& folder, QString* why);
// The folder belongs to this user and no one else may write into it.
bool isSafe(const QString& folder, QString* why);

} // namespace PortFolder
