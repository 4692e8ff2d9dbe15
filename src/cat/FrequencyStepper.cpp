#include "FrequencyStepper.h"
#include "station/StationLines.h"
#include "cat/LoggerPort.h"

#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/MonitorBoxes.h"
#include "common/NumericText.h"
#include "station/ServerLine.h"

FrequencyStepper::FrequencyStepper(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {
    stepTimer_.setInterval(int(kStepPauseSeconds * 1000));
    connect(&stepTimer_, &QTimer::timeout, this, &FrequencyStepper::step);
}

QString FrequencyStepper::stepped(const QString& kHzText, double stepKHz) {
    const double kHz = std::clamp(NumericText::numericValue(kHzText) + stepKHz, 0.0, kHighestKHz);
    return QStringLiteral("%1").arg(kHz, 11, 'f', 2, QLatin1Char('0'));
}

QString FrequencyStepper::setCommandDigits(const QString& kHzText) {
    if (!kHzText.contains(u'.'))
        return kHzText;
    return kHzText.left(8) + kHzText.right(2) + u'0';
}

void FrequencyStepper::press(bool up, bool leftButton) {
    if (isStepping())
        return;
    stepKHz_ = (leftButton ? kFineStepKHz : kCoarseStepKHz) * (up ? 1 : -1);
    stepTimer_.start();
    step();
}

void FrequencyStepper::step() {
    if (isStepping())
        ctx_.picture.setStartFreq(stepped(ctx_.picture.startFreq(), stepKHz_));
}

void FrequencyStepper::stop() {
    stepTimer_.stop();
}

void FrequencyStepper::release() {
    stepTimer_.stop();
    const QString digits = setCommandDigits(ctx_.picture.startFreq());
    ctx_.logger.write(QStringLiteral("FA") + digits + u';');
    const QString stationSet = StationLines::frequencySet(digits);
    ctx_.server.send(stationSet);
    ctx_.monitors.copySent(stationSet);
}

void FrequencyStepper::sendToRadio() {
    ctx_.logger.write(ctx_.store.text(Ctl::sendTextBox));
}

void FrequencyStepper::sendToCorvel() {
    ctx_.server.send(ctx_.store.text(Ctl::sendTextBox));
}
