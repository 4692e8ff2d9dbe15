#include "ChunkRules.h"
#include "station/StationLines.h"

#include "common/NumericText.h"
#include "station/LinkState.h"
#include "station/StationPicture.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace ChunkRules {

namespace {

bool has(const QString& chunk, const char* text) { return chunk.contains(QLatin1String(text)); }

// Each change of the rig's power is logged once, however often the station repeats it.
void notePower(bool on, StationPicture& picture, LinkState& link, BridgeActions& out) {
    picture.powerOn = on;
    bool& logged = on ? link.rigOnLogged : link.rigOffLogged;
    if (logged)
        return;
    logged = true;
    (on ? link.rigOffLogged : link.rigOnLogged) = false;
    out.append({BridgeAction::LogWithTime, on ? QStringLiteral("RIG ON at ") : QStringLiteral("RIG OFF at ")});
}

void logRigPower(const QString& chunk, StationPicture& picture, LinkState& link, BridgeActions& out) {
    if (has(chunk, StationLines::kRigPoweredOn))
        notePower(true, picture, link, out);
    if (has(chunk, StationLines::kRigPoweredOff))
        notePower(false, picture, link, out);
}

void followTransmitter(const QString& chunk, StationPicture& picture, LinkState& link,
                       bool guardOn, BridgeActions& out) {
    const bool keyed = has(chunk, StationLines::kTransmitterKeyed);
    const bool released = has(chunk, StationLines::kTransmitterReleased);
    // The logger's status record follows the station whether or not the guard is on.
    if (keyed)
        picture.transmitting = true;
    if (released)
        picture.transmitting = false;
    if (!guardOn)
        return;
    if (keyed) {
        link.txKeyed = true;
        out.append({.kind = BridgeAction::ShowGuardLight, .number = 1});
    }
    if (released) {
        link.txKeyed = false;
        link.guardCount.reset();
        out.append({.kind = BridgeAction::ShowGuardLight, .number = 0});
    }
}

void noteActivity(const QString& chunk, LinkState& link, BridgeActions& out) {
    const bool active = std::any_of(std::begin(StationLines::kActivityWords), std::end(StationLines::kActivityWords),
                                    [&chunk](const char* word) { return has(chunk, word); });
    link.activitySeen = active;
    if (!active)
        return;
    link.idleCount.reset();
    if (link.guardNoticeShown) {
        link.guardNoticeShown = false;
        out.append({BridgeAction::ClearGuardNotice, QString()});
    }
}

void keyOnRttyLevel(const QString& chunk, LinkState& link, BridgeActions& out) {
    const qsizetype at = chunk.indexOf(QLatin1String(StationLines::kRttyLevel));
    if (at < 0)
        return;
    const double level = NumericText::numericValue(chunk.mid(at + qsizetype(std::strlen(StationLines::kRttyLevel)), 5));
    if (level > kRttyKeyLevel && !link.rttyKeyed) {
        out.append({BridgeAction::SendToServer, StationLines::keyDown()});
        link.rttyKeyed = true;
    } else if (level < kRttyReleaseLevel && link.rttyKeyed) {
        out.append({BridgeAction::SendToServer, StationLines::keyUp()});
        link.rttyKeyed = false;
    }
}

// The station's chat line is the text between "A0:MSG" and its ";"; without a ";" there is
// no line yet.
void passChatLine(const QString& chunk, BridgeActions& out) {
    const qsizetype from = chunk.indexOf(StationLines::chatMarker()) + StationLines::chatMarker().size();
    const qsizetype end = chunk.indexOf(u';', from);
    if (end >= 0)
        out.append({BridgeAction::AppendChat, chunk.mid(from, end - from)});
}

} // namespace

Outcome apply(const QString& chunk, StationPicture& picture, LinkState& link, const Inputs& inputs) {
    Outcome outcome;
    BridgeActions& out = outcome.actions;
    if (has(chunk, StationLines::kVoxOn))
        out.append({BridgeAction::SendToServer, StationLines::voxOff()});
    out.append({BridgeAction::CopyFromServer, chunk});
    logRigPower(chunk, picture, link, out);
    followTransmitter(chunk, picture, link, inputs.guardOn, out);
    if (inputs.activityWatchOn)
        noteActivity(chunk, link, out);
    if (inputs.rttyKeyingOn)
        keyOnRttyLevel(chunk, link, out);
    if (chunk.contains(StationLines::chatMarker())) {
        if (!inputs.chatShowing) {
            outcome.readReports = false; // nobody reads it; the chunk goes no further
            return outcome;
        }
        passChatLine(chunk, out);
    }
    return outcome;
}

} // namespace ChunkRules
