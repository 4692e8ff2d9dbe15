#include "StationRig.h"
#include "cat/LoggerPort.h"

#include "cat/CatCommandPass.h"
#include "common/MonitorBoxes.h"
#include "keyer/CwStation.h"
#include "station/CatFormats.h"
#include "station/ServerLine.h"
#include "station/StationLines.h"
#include "station/StationPicture.h"

qint64 StationRig::frequencyHz() const { return ctx_.picture.frequencyHz(); }

bool StationRig::setFrequencyHz(qint64 hz) {
    refused_ = false;
    performActions(pass().setFrequency(hz), *this);
    return !refused_;
}

qint64 StationRig::highestFrequencyHz() const { return StationLines::kHighestSetHz; }

// Told in the server monitor, as the radio port's refusal is; the client gets its error.
void StationRig::refuseSet(const QString& why) {
    refused_ = true;
    ctx_.monitors.copyFromServer(QStringLiteral("Hamlib endpoint: ") + why + QStringLiteral("\r\n"));
}

int StationRig::modeDigit() const { return ctx_.picture.modeDigit(); }

void StationRig::setModeDigit(int digit) { performActions(pass().setMode(digit), *this); }

bool StationRig::transmitting() const { return ctx_.picture.transmitting; }

void StationRig::setTransmitting(bool on) { performActions(pass().key(on), *this); }

void StationRig::sendMorse(const QString& text) { ctx_.cw.sendText(text); }

void StationRig::stopMorse() { ctx_.cw.abort(); }

int StationRig::keySpeed() const { return ctx_.cw.speed(); }

void StationRig::setKeySpeed(int wordsPerMinute) { ctx_.cw.setSpeed(wordsPerMinute); }

// The radio port's pass, for one typed set: the station lines go out as from the radio port.
CatCommandPass StationRig::pass() const {
    return CatCommandPass(ctx_.picture, ctx_.picture.frequencyField(), ctx_.server.isConnected(),
                          ctx_.cw.speed());
}

void StationRig::sendToServer(const QString& line) { ctx_.server.send(line); }

void StationRig::copySent(const QString& text) { ctx_.monitors.copySent(text); }

void StationRig::replyToLogger(const QString& echo) { // the set's echo, for the logger on the radio port
    ctx_.logger.write(echo);
}
