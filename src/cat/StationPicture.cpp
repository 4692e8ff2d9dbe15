#include "StationPicture.h"

#include "common/ControlStore.h"
#include "common/Controls.h"

QString StationPicture::startFreq() const { return store_.text(Ctl::StartFreq); }

void StationPicture::setStartFreq(const QString& kHz) { store_.setText(Ctl::StartFreq, kHz); }

int StationPicture::modeIndex() const { return store_.value(Ctl::Combo1); }

void StationPicture::setModeIndex(int index) { store_.setValue(Ctl::Combo1, index); }

void StationPicture::setClarifierOffset(const QString& offset) {
    clarifierOffset_ = offset.left(5).leftJustified(5, u'0');
}

void StationPicture::noteServerLine(const QString& line) {
    if (line == QStringLiteral("A0:MX1;"))
        transmitting = true;
    else if (line == QStringLiteral("A0:MX0;"))
        transmitting = false;
}
