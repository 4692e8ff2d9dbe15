#include "CatCommandPass.h"
#include "RestingAnswers.h"
#include "station/StationLines.h"

#include "station/CatFormats.h"
#include "station/StationPicture.h"

// The logger's frequency set in the buffer: "FA" + 8 or 11 digits in Hz + ";". The station
// takes 8 digits: an 11-digit set of 100 MHz or more cannot be carried (cutting it to its last
// eight would tune 145.89 MHz to 45.89 MHz).
struct FrequencySet {
    qsizetype at = -1;
    QString command; // as the logger sent it
    QString stationCommand;
    qint64 hz = 0;
    bool carried() const { return at >= 0 && hz <= StationLines::kHighestSetHz; }
};

namespace {

// Where the last key-down command before `end` starts, -1 when there is none: "TX;", and the
// Kenwood forms with a digit ("TX0;" transmit from the microphone, "TX1;" data, "TX2;" tune
// on the TS-480, TS-2000 and TS-590) that Hamlib's Kenwood models and flrig send for PTT.
qsizetype lastKeyDown(QStringView buffer) {
    for (qsizetype at = buffer.lastIndexOf(u"TX"); at >= 0;
         at = at > 0 ? buffer.lastIndexOf(u"TX", at - 1) : -1) {
        const QStringView rest = buffer.mid(at + 2);
        if (rest.startsWith(u';') || (rest.size() >= 2 && rest[0].isDigit() && rest[1] == u';'))
            return at;
    }
    return -1;
}

// Deletes the first occurrence; the text before and after it are joined.
bool removeFirst(QString& buffer, const QString& command) {
    const qsizetype at = buffer.indexOf(command);
    if (at < 0)
        return false;
    buffer.remove(at, command.size());
    return true;
}

bool queriesRemain(const QString& buffer) {
    for (const char* query : {"FB;", "FA;", "IF;", "AI0;", "FR0;", "FR1;", "PS;"})
        if (buffer.contains(QLatin1String(query)))
            return true;
    return false;
}

bool allDigits(QStringView text);


// The first "FA" that is not the query "FA;": a read and a set may share a burst.
qsizetype firstSetAt(const QString& buffer) {
    qsizetype at = buffer.indexOf(QStringLiteral("FA"));
    while (at >= 0 && buffer.mid(at + 2, 1) == QStringLiteral(";"))
        at = buffer.indexOf(QStringLiteral("FA"), at + 1);
    return at;
}

FrequencySet findFrequencySet(const QString& buffer) {
    const qsizetype at = firstSetAt(buffer);
    const qsizetype end = at < 0 ? -1 : buffer.indexOf(u';', at);
    if (end < 0)
        return {};
    const QString command = buffer.mid(at, end - at + 1);
    const QStringView digits = QStringView(command).mid(2, command.size() - 3);
    if ((digits.size() != 8 && digits.size() != 11) || !allDigits(digits))
        return {};
    const qint64 hz = digits.toLongLong();
    return {at, command, StationLines::loggerFrequencySet(hz), hz};
}

// A set the station cannot be told: refused later in the pass, and nothing goes out for it.
bool refusedSet(const QString& buffer) {
    const FrequencySet set = findFrequencySet(buffer);
    return set.at >= 0 && !set.carried();
}

bool isFrequencySet(const QString& buffer) {
    const qsizetype at = firstSetAt(buffer);
    if (at < 0)
        return false;
    const qsizetype end = buffer.indexOf(u';', at);
    return end >= 0 && end - at > 4;
}

bool allDigits(QStringView text) {
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

CatCommandPass::CatCommandPass(StationPicture& picture, QString frequencyField,
                               bool serverConnected, int cwSpeed)
    : picture_(picture), connected_(serverConnected), cwSpeed_(cwSpeed),
      field_(std::move(frequencyField)) {}

// The keyer of the Kenwood dialect (Hamlib's CW): "KY;" asks whether the buffer has room (it
// always has: the text goes on to the station's keyer), "KY text;" keys the text, "KS;" and
// "KSnnn;" read and set the speed. Taken out of the buffer first, as the text may hold letters
// the other commands look for ("KY RTTY NEXT;" is no RIT or XIT).
void CatCommandPass::takeKeyer(QString& buffer) {
    for (qsizetype at; (at = buffer.indexOf(QStringLiteral("KY"))) >= 0;) {
        const qsizetype end = buffer.indexOf(u';', at);
        if (end < 0) { // the rest of it comes with the next pass
            unfinished_ = buffer.mid(at);
            buffer.truncate(at);
            break;
        }
        const QString text = buffer.mid(at + 2, end - at - 2);
        buffer.remove(at, end - at + 1);
        if (text.isEmpty())
            emitAction(BridgeAction::ReplyToLogger, QStringLiteral("KY0;"));
        else if (text == QStringLiteral("0"))
            emitAction(BridgeAction::AbortCw);
        else if (!text.trimmed().isEmpty()) // Hamlib pads the last piece to 24: one gap is kept
            emitAction(BridgeAction::KeyCw, text.mid(text.startsWith(u' ') ? 1 : 0).trimmed() +
                                             (text.endsWith(u' ') ? QStringLiteral(" ") : QString()));
    }
    if (removeFirst(buffer, QStringLiteral("KS;")))
        emitAction(BridgeAction::ReplyToLogger, QStringLiteral("KS%1;").arg(qBound(0, cwSpeed_, 999), 3, 10, QChar(u'0')));
    const qsizetype at = buffer.indexOf(QStringLiteral("KS"));
    if (at >= 0 && buffer.size() >= at + 6 && buffer[at + 5] == u';' && allDigits(QStringView(buffer).mid(at + 2, 3))) {
        actions_.append({.kind = BridgeAction::SetCwSpeed, .number = buffer.mid(at + 2, 3).toInt()});
        buffer.remove(at, 6);
    }
}

BridgeActions CatCommandPass::beforeLoop(QString& buffer) {
    actions_.clear();
    takeKeyer(buffer);
    // A poll of both VFOs: VFO B is not answered.
    if (buffer == QStringLiteral("IF;FA;FB;"))
        buffer = QStringLiteral("IF;FA;");
    // More than a poll's worth piled up: the logger and we are out of step; start afresh.
    if (buffer.size() > kMaxBuffered) {
        emitAction(BridgeAction::ClearFromLogger);
        buffer.clear();
    }
    if (buffer.contains(QStringLiteral("ID;")))
        emitAction(BridgeAction::ReplyToLogger, CatFormats::kIdentity);
    if (buffer.contains(QStringLiteral("AI0;")))
        emitAction(BridgeAction::SendToServer, StationLines::statusRequest());
    if (buffer.contains(QStringLiteral("FL;")))
        emitAction(BridgeAction::ReplyToLogger, CatFormats::kFilter);
    if (removeFirst(buffer, QStringLiteral("FW;")))
        emitAction(BridgeAction::ReplyToLogger, CatFormats::filterWidthAnswer(picture_.modeDigit()));
    keyUpBeforeTheFrequencyMoves(isFrequencySet(buffer), refusedSet(buffer));
    // The transmitter is released on any receive command.
    if (buffer.contains(QStringLiteral("RX")))
        emitAction(BridgeAction::SendToServer, StationLines::keyUp());
    return actions_;
}

BridgeActions CatCommandPass::commandLoop(QString& buffer) {
    actions_.clear();
    do {
        answerStatus(buffer);
        if (lastKeyDown(buffer) >= 0)
            keyDown();
        if (buffer.contains(QStringLiteral("RX;")))
            emitAction(BridgeAction::SendToServer, StationLines::keyUp());
        answerFrequency(buffer, QStringLiteral("FA;"), 'A');
        if (!handleMode(buffer))
            return actions_;
        answerFrequency(buffer, QStringLiteral("FB;"), 'B');
        echo(buffer, QStringLiteral("AI0;"));
        answerClarifier(buffer, picture_.xitOn, QStringLiteral("XT"));
        if (buffer.contains(QStringLiteral("XT")))
            toggleClarifier(picture_.xitOn, QStringLiteral("XT"));
        answerClarifier(buffer, picture_.ritOn, QStringLiteral("RT"));
        if (buffer.contains(QStringLiteral("RT")))
            toggleClarifier(picture_.ritOn, QStringLiteral("RT"));
        echo(buffer, QStringLiteral("FR1;"));
        echo(buffer, QStringLiteral("FR0;"));
        answerPower(buffer);
    } while (queriesRemain(buffer));

    if (buffer.contains(QStringLiteral(";;")) || buffer == QStringLiteral("B;"))
        buffer.clear();
    answerAtRest(buffer);
    setFrequency(buffer);
    if (!buffer.isEmpty())
        emitAction(BridgeAction::CopyFromLogger, buffer);
    return actions_;
}

// The reads the station's picture does not hold, answered at once as the rig at rest does,
// each in the order it came.
void CatCommandPass::answerAtRest(const QString& buffer) {
    qsizetype start = 0;
    for (qsizetype end; (end = buffer.indexOf(u';', start)) >= 0; start = end + 1) {
        const QString answer = RestingAnswers::answerFor(QStringView(buffer).mid(start, end - start + 1),
                                                         picture_.restingSettings);
        if (answer.isEmpty())
            continue;
        emitAction(BridgeAction::ReplyToLogger, answer);
        emitAction(BridgeAction::CopySent, answer);
    }
}

void CatCommandPass::answerStatus(QString& buffer) {
    const qsizetype at = buffer.indexOf(QStringLiteral("IF;"));
    if (at < 0)
        return;
    const QString record = CatFormats::statusRecord(
        fieldAt(buffer, at), picture_.clarifierOffset(), picture_.ritOn, picture_.xitOn,
        picture_.modeDigit(), transmittingAt(buffer, at));
    buffer.remove(at, 3);
    emitAction(BridgeAction::ReplyToLogger, record);
    emitAction(BridgeAction::CopySent, record);
}

void CatCommandPass::keyDown() {
    // The key-down stays in the buffer: every further round of the loop keys again.
    if (!connected_)
        return;
    emitAction(BridgeAction::CopySent, StationLines::keyDown());
    emitAction(BridgeAction::SendToServer, StationLines::keyDown());
}

void CatCommandPass::answerFrequency(QString& buffer, const QString& query, char vfo) {
    const qsizetype at = buffer.indexOf(query);
    if (at < 0)
        return;
    const QString answer = CatFormats::frequencyAnswer(vfo, fieldAt(buffer, at));
    buffer.remove(at, query.size());
    emitAction(BridgeAction::ReplyToLogger, answer);
    emitAction(BridgeAction::CopySent, answer);
}

bool CatCommandPass::handleMode(QString& buffer) {
    const qsizetype at = buffer.indexOf(QStringLiteral("MD"));
    if (at < 0)
        return true;
    const QChar digit = at + 2 < buffer.size() ? buffer[at + 2] : QChar();
    if (digit == u';') { // the mode query, answered as a transceiver does
        buffer.remove(at, 3);
        const QString answer = CatFormats::modeAnswer(picture_.modeDigit());
        emitAction(BridgeAction::ReplyToLogger, answer);
        emitAction(BridgeAction::CopySent, answer);
        return true;
    }
    if (!applyModeSet(digit))
        return false;
    buffer.remove(at, 4);
    return true;
}

// A mode set's digit: the picture takes the mode, the station is told, both are shown.
bool CatCommandPass::applyModeSet(QChar digit) {
    if (digit < u'0' || digit > u'9') {
        emitAction(BridgeAction::Fail, QStringLiteral("Type mismatch"));
        return false;
    }
    const int index = digit.digitValue() - 1;
    if (index > 6) { // no such mode in the list
        emitAction(BridgeAction::Fail, QStringLiteral("Invalid property value"));
        return false;
    }
    picture_.setModeIndex(index);
    picture_.expectModeConfirmation(index + 1);
    emitAction(BridgeAction::CopySent,
               CatFormats::statusRecord(field_, picture_.clarifierOffset(), picture_.ritOn,
                                        picture_.xitOn, index + 1, picture_.transmitting));
    const QString setMode = StationLines::modeSet(index + 1);
    emitAction(BridgeAction::SendToServer, setMode);
    emitAction(BridgeAction::CopySent, setMode);
    return true;
}

void CatCommandPass::echo(QString& buffer, const QString& command) {
    if (!removeFirst(buffer, command))
        return;
    emitAction(BridgeAction::ReplyToLogger, command);
    emitAction(BridgeAction::CopySent, command);
}

// "XT;" and "RT;" with no digit are reads (Hamlib's get_func, grig at every start): answered
// from the picture as the rig answers them, nothing sent to the station.
void CatCommandPass::answerClarifier(QString& buffer, int flag, const QString& mnemonic) {
    if (!removeFirst(buffer, mnemonic + u';'))
        return;
    const QString answer = QStringLiteral("%1%2;").arg(mnemonic).arg(flag);
    emitAction(BridgeAction::ReplyToLogger, answer);
    emitAction(BridgeAction::CopySent, answer);
}

void CatCommandPass::toggleClarifier(int& flag, const QString& mnemonic) {
    // The command stays in the buffer, and any command containing the mnemonic toggles.
    flag = flag == 1 ? 0 : 1;
    emitAction(BridgeAction::SendToServer, StationLines::clarifierSet(mnemonic, flag));
}

void CatCommandPass::answerPower(QString& buffer) {
    if (!removeFirst(buffer, QStringLiteral("PS;")))
        return;
    const QString answer = CatFormats::powerAnswer(picture_.powerOn);
    emitAction(BridgeAction::ReplyToLogger, answer);
    emitAction(BridgeAction::CopySent, answer);
}

void CatCommandPass::setFrequency(QString& buffer) {
    const FrequencySet set = findFrequencySet(buffer);
    if (set.at >= 0)
        applyFrequencySet(set);
}

// The transmitter is released before the frequency moves: for a set, unless it is refused.
void CatCommandPass::keyUpBeforeTheFrequencyMoves(bool aSet, bool refused) {
    if (aSet && !refused)
        emitAction(BridgeAction::SendToServer, StationLines::keyUp());
}

void CatCommandPass::applyFrequencySet(const FrequencySet& set) {
    if (!set.carried()) {
        emitAction(BridgeAction::RefuseSet,
                   QStringLiteral("%1 refused: the station takes frequencies below 100 MHz "
                                  "(8 digits of Hz); nothing was sent")
                       .arg(set.command));
        return;
    }
    picture_.pendingFreqCommand = StationLines::toRadio(set.stationCommand);
    if (set.hz != picture_.frequencyHz()) {
        picture_.setFrequencyHz(set.hz);
        if (connected_) {
            emitAction(BridgeAction::SendToServer, set.stationCommand);
            emitAction(BridgeAction::PauseAfterFrequencySet);
        }
    }
    // The echo is the set command alone; what followed it was handled as commands.
    emitAction(BridgeAction::ReplyToLogger, set.command);
    emitAction(BridgeAction::CopySent, StationLines::toRadio(set.command));
}

QString CatCommandPass::fieldAt(const QString& buffer, qsizetype queryAt) const {
    // A query that came after a frequency set in the same burst reads the new frequency.
    const FrequencySet set = findFrequencySet(buffer);
    return set.carried() && set.at < queryAt ? CatFormats::fieldOfHz(set.hz) : field_;
}

bool CatCommandPass::transmittingAt(const QString& buffer, qsizetype queryAt) const {
    // The record answers the commands in the order they came: "TX;IF;" reads transmit.
    const QStringView before = QStringView(buffer).left(queryAt);
    const qsizetype keyed = lastKeyDown(before);
    const qsizetype released = before.lastIndexOf(QStringLiteral("RX"));
    if (keyed > released)
        return connected_ || picture_.transmitting;
    if (released > keyed)
        return false;
    return picture_.transmitting;
}

BridgeActions CatCommandPass::setFrequency(qint64 hz) {
    actions_.clear();
    const QString field = CatFormats::fieldOfHz(hz);
    const FrequencySet set{0, QStringLiteral("FA") + field + u';', StationLines::loggerFrequencySet(hz),
                           field.toLongLong()};
    keyUpBeforeTheFrequencyMoves(true, !set.carried());
    applyFrequencySet(set);
    return actions_;
}

BridgeActions CatCommandPass::setMode(int modeDigit) {
    actions_.clear();
    applyModeSet(modeDigit >= 0 && modeDigit <= 9 ? QChar(u'0' + modeDigit) : QChar(u'?'));
    return actions_;
}

// TX as the logger's "TX;" keys; RX releases as the logger's "RX;" does (before its pass and
// again in it).
BridgeActions CatCommandPass::key(bool down) {
    actions_.clear();
    if (down) {
        keyDown();
    } else {
        emitAction(BridgeAction::SendToServer, StationLines::keyUp());
        emitAction(BridgeAction::SendToServer, StationLines::keyUp());
    }
    return actions_;
}
