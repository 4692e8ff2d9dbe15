#pragma once

#include <QString>

// The folder where the virtual ports' links ("radio", "keyer") and the operator's own
// COMn links live: $ZARNIKCONTROL_PORT_DIR when set, else $XDG_RUNTIME_DIR/zarnikcontrol,
// else ~/.local/state/zarnikcontrol/ports. Never a fixed name under /tmp, where another
// user could plant links. The folders the program chooses itself are made private (0700).
namespace PortFolder {

QString path();

// Creates the folder when missing; false with `why` set when it cannot be used.
bool ensure(const QString& folder, QString* why);

} // namespace PortFolder
