#include "FileSender.h"

#include "TerminalContext.h"
#include "digital/modem/Modem.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/PausingWait.h"

#include <QDir>
#include <QFile>

namespace {
const QString kWrongKind = QStringLiteral("Can only retrieve files with an extent of '.txt'");
const QString kFailureTail = QStringLiteral(
    ". If the error is Permission Denied you might try closing Vantor and starting over.");
} // namespace

FileSender::FileSender(TerminalContext& context, QObject* parent)
    : QObject(parent), context_(context) {}

bool FileSender::acceptsName(const QString& fileName) {
    return fileName.contains(QStringLiteral("txt")) || fileName.contains(QStringLiteral("TXT"));
}

QString FileSender::joinPath(const QString& folder, const QString& fileName) {
    if (folder.isEmpty() || folder.endsWith(QDir::separator()) || folder.endsWith(u'/'))
        return folder + fileName;
    return folder + QDir::separator() + fileName;
}

void FileSender::sendTextFile(const QString& folder, const QString& fileName, Trigger trigger) {
    if (sending_ || context_.closing || !soundLetsSend(context_))
        return;
    if (!acceptsName(fileName)) {
        context_.dialogs.showMessage(kWrongKind);
        emit closeRequested();
        return;
    }
    QFile file(joinPath(folder, fileName));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        fail(trigger, file.errorString());
        return;
    }
    RunningHandler running(context_);
    sending_ = true;
    context_.keyTransmitter(true);
    emit hideRequested();
    context_.modem.setTransmit(true);
    const QString blankLine =
        trigger == Trigger::DoubleClick ? QStringLiteral("    ") : QStringLiteral("   ");
    // Read until a read gives nothing: a file's size is not to be trusted (a file that is
    // still growing, one on a failing disk), and a read that fails must be noticed.
    while (!context_.txOffPressed && !context_.closing) {
        QByteArray bytes = file.readLine(kMaxLineBytes);
        if (bytes.isEmpty())
            break;
        if (bytes.endsWith('\n'))
            bytes.chop(1);
        const QString line = bytes.isEmpty() ? blankLine : QString::fromUtf8(bytes);
        context_.modem.sendText(line + QChar(13));
        if (!paceLine())
            break;
    }
    const bool readFailed = file.error() != QFileDevice::NoError;
    const QString why = file.errorString();
    sending_ = false;
    endTransmission();
    if (readFailed)
        fail(trigger, why);
}

// Waits until the modem has sent the line and a second has passed since it last had
// characters waiting; false when the operator stopped the file meanwhile.
bool FileSender::paceLine() {
    const Clock& clock = context_.clock;
    double deadline = clock.monotonicSeconds() + kLinePaceSeconds;
    context_.wait.waitUntil([&] {
        if (context_.txOffPressed || context_.closing || clock.standsStill())
            return true;
        const double now = clock.monotonicSeconds();
        if (context_.modem.pendingCharacters() >= 1)
            deadline = now + kLinePaceSeconds;
        return now >= deadline;
    });
    return !context_.txOffPressed && !context_.closing;
}

void FileSender::endTransmission() {
    context_.txOffPressed = false;
    if (context_.closing)
        return; // the closing terminal has ended the transmission and keyed up
    context_.modem.setReturnToRx(true);
    context_.keyTransmitter(false);
    context_.modem.setReturnToRx(true);
    context_.modem.setTransmit(false);
    emit closeRequested();
}

void FileSender::fail(Trigger trigger, const QString& why) {
    const QString code =
        trigger == Trigger::DoubleClick ? QStringLiteral("Error 23 ") : QStringLiteral("Error 22 ");
    emit closeRequested();
    context_.dialogs.showMessage(code + why + kFailureTail);
}
