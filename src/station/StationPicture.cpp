#include "StationPicture.h"
#include "station/StationLines.h"

#include "common/ControlStore.h"
#include "common/Controls.h"
#include "CatFormats.h"

#include <utility>

StationPicture::StationPicture(ControlStore& store)
    : store_(store),
      storeWatch_(QObject::connect(&store, &ControlStore::changed,
                                   [this](const QString& name, auto) { takeFromStore(name); })) {
    takeFromStore(Ctl::frequencyBox);
    takeFromStore(Ctl::modeChoice);
}

StationPicture::~StationPicture() { QObject::disconnect(storeWatch_); }

// The operator's edit, the settings file's value, or the mirror of the picture's own set.
void StationPicture::takeFromStore(const QString& name) {
    if (name == Ctl::frequencyBox)
        shownKHz_ = store_.text(Ctl::frequencyBox);
    else if (name == Ctl::modeChoice)
        modeIndex_ = store_.value(Ctl::modeChoice);
}

QString StationPicture::startFreq() const {
    return shownKHz_;
}

void StationPicture::setStartFreq(const QString& kHz) {
    shownKHz_ = kHz;
    store_.setText(Ctl::frequencyBox, kHz);
}

qint64 StationPicture::frequencyHz() const {
    if (exactHz_ >= 0 && startFreq() == exactBoxText_)
        return exactHz_;
    return CatFormats::frequencyField(startFreq()).toLongLong();
}

void StationPicture::setFrequencyHz(qint64 hz) {
    const QString field = CatFormats::fieldOfHz(hz);
    exactHz_ = field.toLongLong();
    exactBoxText_ = field.left(8) + u'.' + field.mid(8, 2);
    setStartFreq(exactBoxText_);
}

QString StationPicture::frequencyField() const { return CatFormats::fieldOfHz(frequencyHz()); }

bool StationPicture::takeModeConfirmation(int modeDigit) {
    return std::exchange(modeToConfirm_, 0) == modeDigit && modeDigit != 0;
}

int StationPicture::modeIndex() const {
    return modeIndex_;
}

void StationPicture::setModeIndex(int index) {
    modeIndex_ = index;
    store_.setValue(Ctl::modeChoice, index);
}

void StationPicture::setClarifierOffset(const QString& offset) {
    clarifierOffset_ = offset.left(5).leftJustified(5, u'0');
}

void StationPicture::noteServerLine(const QString& line) {
    if (line == StationLines::keyDown())
        transmitting = true;
    else if (line == StationLines::keyUp())
        transmitting = false;
}
