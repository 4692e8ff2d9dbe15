#pragma once

#include "station/StationLines.h"

#include <QString>

// The station link's messages to the operator.
namespace LinkTexts {
inline const QString kCaptionStart = QStringLiteral("Connect Corvel");
inline const QString kCaptionConnect = QStringLiteral("Connect");
inline const QString kCaptionDisconnect = QStringLiteral("Disconnect");
inline const QString kLostConnection = QStringLiteral("Lost Connection");
inline const QString kKeyUpOwed =
    QStringLiteral(" while the transmitter was keyed: the key-up (%1) goes out as soon as you are "
                   "logged in again. Until then the station's own transmit guard is all that can "
                   "release it.")
        .arg(StationLines::keyUp());
inline const QString kTryAgain = QStringLiteral(" Wait a few seconds and try again");
inline const QString kWrongState = QStringLiteral(
    "Unable to connect to maps. Make sure the remote app is started. If it is started try "
    "clicking the Clear button on the remote world map.");
inline const QString kGuardKeyUp = QStringLiteral("Sending Key Up Signal");
inline const QString kShuttingDown = QStringLiteral("Shuting down receiver");
} // namespace LinkTexts
