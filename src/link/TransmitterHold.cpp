#include "TransmitterHold.h"

#include "platform/Clock.h"
#include "station/StationLines.h"

#include <QCoreApplication>
#include <QFile>

TransmitterHold::TransmitterHold(const Clock& clock, QString markPath)
    : clock_(clock), markPath_(std::move(markPath)) {}

bool TransmitterHold::takeOverLeftMark() {
    if (!QFile::exists(markPath_))
        return false;
    markStands_ = true;
    owed_ = true;
    return true;
}

void TransmitterHold::noteLineSent(const QString& line, qint64 alreadyWaiting) {
    if (line == StationLines::keyDown()) {
        keyed_ = true;
    } else if (line == StationLines::keyUp()) {
        // Only a key-up that releases a hold of ours waits to be heard; the guard's key-up
        // after every login, with nothing keyed, owes nothing.
        if (keyed_ || unheard_ || owed_) {
            unheard_ = true;
            bytesBeforeAnswer_ = alreadyWaiting;
            keyUpWrittenAt_ = clock_.monotonicSeconds();
        }
        keyed_ = false;
    } else {
        return;
    }
    updateMark();
}

void TransmitterHold::noteBytesRead(qint64 bytes) {
    if (!unheard_ || bytes <= 0)
        return;
    if (bytes <= bytesBeforeAnswer_) { // still what was on its way before the key-up
        bytesBeforeAnswer_ -= bytes;
        return;
    }
    bytesBeforeAnswer_ = 0;
    unheard_ = false;
    updateMark();
}

bool TransmitterHold::noteLinkGone() {
    if (holds()) {
        owed_ = true;
        keyed_ = unheard_ = false; // nothing more is heard on this link: the debt is what counts
    }
    updateMark();
    return owed_;
}

void TransmitterHold::noteOwedKeyUpSent() {
    owed_ = false;
    updateMark();
}

void TransmitterHold::updateMark() {
    const bool wanted = keyed_ || unheard_ || owed_;
    if (wanted == markStands_)
        return;
    if (!wanted) {
        if (QFile::remove(markPath_) || !QFile::exists(markPath_))
            markStands_ = false;
        return;
    }
    QFile mark(markPath_);
    if (!mark.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        markProblem_ = QStringLiteral("cannot write %1 (%2)").arg(markPath_, mark.errorString());
        return;
    }
    mark.write(QStringLiteral("ZarnikControl (process %1) holds the station's transmitter. While "
                              "this file stands, the next start sends the key-up (%2) first "
                              "after its login.\n")
                   .arg(QCoreApplication::applicationPid())
                   .arg(StationLines::keyUp())
                   .toUtf8());
    mark.close();
    markStands_ = mark.error() == QFileDevice::NoError;
    markProblem_ = markStands_ ? QString() : mark.errorString();
}
