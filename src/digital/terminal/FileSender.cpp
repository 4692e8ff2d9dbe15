#include "FileSender.h"

#include "TerminalContext.h"
#include "digital/modem/Modem.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QFile>

namespace {
const QString kWrongKind = QStringLiteral("Can only retrieve files with an extent of '.txt'");
const QString kFailureTail = QStringLiteral(
    ". If the error is Permission Denied you might try closing Vantor and starting over.");
} // namespace

FileSender::FileSender(TerminalContext& context, QObject* parent)
    : QObject(parent), context_(context) {
    tickTimer_.setInterval(kTickMs);
    connect(&tickTimer_, &QTimer::timeout, this, &FileSender::tick);
}

bool FileSender::acceptsName(const QString& fileName) {
    return fileName.contains(QStringLiteral("txt")) || fileName.contains(QStringLiteral("TXT"));
}

QString FileSender::joinPath(const QString& folder, const QString& fileName) {
    if (folder.isEmpty() || folder.endsWith(QDir::separator()) || folder.endsWith(u'/'))
        return folder + fileName;
    return folder + QDir::separator() + fileName;
}

void FileSender::sendTextFile(const QString& folder, const QString& fileName, Trigger trigger) {
    if (isSending() || context_.closing || !soundLetsSend(context_))
        return;
    if (!acceptsName(fileName)) {
        context_.dialogs.showMessage(kWrongKind);
        emit closeRequested();
        return;
    }
    auto file = std::make_unique<QFile>(joinPath(folder, fileName));
    if (!file->open(QIODevice::ReadOnly | QIODevice::Text)) {
        fail(trigger, file->errorString());
        return;
    }
    file_ = std::move(file);
    trigger_ = trigger;
    context_.keyTransmitter(true);
    emit hideRequested();
    context_.modem.setTransmit(true);
    if (context_.txOffPressed || !sendNextLine()) {
        finish();
        return;
    }
    tickTimer_.start();
    tick();
}

// Reads until a read gives nothing: a file's size is not to be trusted (a file that is still
// growing, one on a failing disk), and a read that fails must be noticed.
bool FileSender::sendNextLine() {
    QByteArray bytes = file_->readLine(kMaxLineBytes);
    if (bytes.isEmpty())
        return false;
    if (bytes.endsWith('\n'))
        bytes.chop(1);
    const QString blankLine =
        trigger_ == Trigger::DoubleClick ? QStringLiteral("    ") : QStringLiteral("   ");
    const QString line = bytes.isEmpty() ? blankLine : QString::fromUtf8(bytes);
    context_.modem.sendText(line + QChar(13));
    nextLineAt_ = context_.clock.monotonicSeconds() + kLinePaceSeconds;
    return true;
}

// The next line goes once the modem has sent the one before and a second has passed since
// it last had characters waiting. A clock that stands still (a test's) lets it go at once.
void FileSender::tick() {
    if (!isSending())
        return;
    if (context_.txOffPressed || context_.closing) {
        finish();
        return;
    }
    const Clock& clock = context_.clock;
    if (!clock.standsStill()) {
        const double now = clock.monotonicSeconds();
        if (context_.modem.pendingCharacters() >= 1)
            nextLineAt_ = now + kLinePaceSeconds;
        if (now < nextLineAt_)
            return;
    }
    if (!sendNextLine())
        finish();
}

void FileSender::stop() {
    tickTimer_.stop();
    file_.reset();
}

void FileSender::finish() {
    const bool readFailed = file_->error() != QFileDevice::NoError;
    const QString why = file_->errorString();
    stop();
    endTransmission();
    if (readFailed)
        fail(trigger_, why);
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
