#include "FrequencyStepper.h"
#include "station/StationLines.h"
#include "cat/LoggerPort.h"

#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/MonitorBoxes.h"
#include "common/NumericText.h"
#include "station/ServerLine.h"
#include "platform/PausingWait.h"

FrequencyStepper::FrequencyStepper(Context context, QObject* parent)
    : QObject(parent), ctx_(std::move(context)) {}

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
    if (steppingActive_)
        return;
    steppingActive_ = true;
    const double step = (leftButton ? kFineStepKHz : kCoarseStepKHz) * (up ? 1 : -1);
    // The button's release arrives as an event while this loop yields.
    while (steppingActive_ && !ctx_.wait.waitsEnded()) {
        ctx_.picture.setStartFreq(stepped(ctx_.picture.startFreq(), step));
        PausingWait::yieldToEvents();
        ctx_.wait.wait(kStepPauseSeconds);
    }
}

void FrequencyStepper::release() {
    steppingActive_ = false;
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
