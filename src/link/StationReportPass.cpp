#include "StationReportPass.h"

#include "station/CatFormats.h"
#include "station/StationLines.h"
#include "station/StationPicture.h"
#include "common/ControlStore.h"
#include "common/Controls.h"
#include "common/NumericText.h"

namespace {

QChar charAt(const QString& text, qsizetype at) {
    return at >= 0 && at < text.size() ? text[at] : QChar();
}

bool containsAnyReport(const QString& chunk) {
    for (const QString& marker : StationLines::kReportKeywords)
        if (chunk.contains(marker))
            return true;
    return false;
}

bool isFrequencyDigits(const QString& digits) {
    if (digits.size() != 8 && digits.size() != 11)
        return false;
    return std::all_of(digits.begin(), digits.end(),
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Where the first status report of this kind starts: the marker followed by an 11-digit
// frequency. A marker inside words ("VERIFY") or before anything else is not a report.
qsizetype statusReportAt(const QString& chunk, const QString& marker) {
    for (qsizetype at = chunk.indexOf(marker); at >= 0; at = chunk.indexOf(marker, at + 1)) {
        if (isFrequencyDigits(chunk.mid(at + 2, 11)))
            return at;
    }
    return -1;
}

} // namespace

StationReportPass::StationReportPass(StationPicture& picture, ControlStore& store, const Login& login,
                                     bool connected)
    : picture_(picture), store_(store), login_(login), connected_(connected) {}

BridgeActions StationReportPass::run(QString& chunk) {
    actions_.clear();
    showStatusFrequency(chunk, StationLines::Report::kStatus, true);
    showStatusFrequency(chunk, StationLines::Report::kOtherStatus, false);
    field_ = picture_.frequencyField();
    if (!chunk.isEmpty()) {
        if (!containsAnyReport(chunk))
            return actions_;
        bool done = false;
        if (!statusBranch(chunk, done) || done)
            return actions_;
        if (!modeReport(chunk))
            return actions_;
        altModeReport(chunk);
        clarifierReport(chunk, StationLines::Report::kXit, picture_.xitOn);
        clarifierReport(chunk, StationLines::Report::kRit, picture_.ritOn);
        textReport(chunk);
        vfoReport(chunk, StationLines::Report::kVfoA);
        vfoReport(chunk, StationLines::Report::kVfoB);
        loginAnswers(chunk);
    }
    chunk.clear();
    return actions_;
}

void StationReportPass::showStatusFrequency(const QString& chunk, const QString& marker,
                                            bool clearThird) {
    const qsizetype at = statusReportAt(chunk, marker);
    if (at < 0)
        return;
    QString digits = chunk.mid(at + 2, 11);
    if (clearThird)
        digits[2] = u'0'; // the report's third digit is not part of the frequency
    picture_.setFrequencyHz(digits.toLongLong());
}

bool StationReportPass::statusBranch(QString& chunk, bool& done) {
    const qsizetype at = statusReportAt(chunk, StationLines::Report::kStatus);
    if (at < 0)
        return true;
    if (charAt(chunk, at + 17) == u' ') { // the logger dialect's blank field
        chunk.remove(at + 13, 5);
        chunk.truncate(at + 12 + kMaxTail);
    }
    const QString offset = chunk.mid(at + 13, 5);
    if (!offset.startsWith(u'-') && !offset.startsWith(u'+'))
        return true;
    picture_.setClarifierOffset(offset);
    picture_.ritOn = charAt(chunk, at + 18).digitValue() > 0 ? charAt(chunk, at + 18).digitValue() : 0;
    picture_.xitOn = charAt(chunk, at + 19).digitValue() > 0 ? charAt(chunk, at + 19).digitValue() : 0;
    if (!setMode(qMax(0, charAt(chunk, at + 20).digitValue())))
        return false;
    const QString echo = statusEcho(picture_.modeDigit());
    sendEcho(picture_.modeDigit());
    if (echo.size() >= 21 && echo.mid(5, 3) == QStringLiteral("000"))
        act(BridgeAction::WriteLogger, QStringLiteral("FA") + echo.mid(5, 11) + u';');
    picture_.setFrequencyHz(echo.mid(5, 11).toLongLong());
    done = true; // the chunk stays as it is
    return true;
}

bool StationReportPass::modeReport(QString& chunk) {
    const qsizetype at = chunk.indexOf(StationLines::Report::kMode);
    if (at < 0 || charAt(chunk, at + 2) == u';')
        return true;
    if (chunk.indexOf(u';', at) == at + 3) { // MD2; is read as MD02;
        chunk.insert(at + 2, u'0');
        chunk.truncate(at + 4 + kMaxTail);
    }
    const int digit = qMax(0, charAt(chunk, at + 3).digitValue());
    // The station confirming the mode this logger has just set tells the logger nothing;
    // pushed at it, it would be read where the logger waits for another answer.
    if (!picture_.takeModeConfirmation(digit)) {
        act(BridgeAction::WriteLogger, statusRecordFor(digit));
        act(BridgeAction::WriteLogger, CatFormats::modeAnswer(digit));
    }
    return setMode(digit);
}

void StationReportPass::altModeReport(const QString& chunk) {
    const qsizetype at = chunk.indexOf(StationLines::Report::kOtherMode);
    if (at < 0 || at + 2 >= chunk.size())
        return;
    picture_.setModeIndex(0);
    act(BridgeAction::WriteLogger, statusRecordFor(1));
    act(BridgeAction::WriteLogger, CatFormats::modeAnswer(1));
    sendEcho(1);
}

void StationReportPass::clarifierReport(const QString& chunk, const QString& marker, int& flag) {
    const qsizetype at = chunk.indexOf(marker);
    if (at < 0)
        return;
    const QString report = chunk.mid(at, 4);
    act(BridgeAction::WriteLogger, report);
    flag = charAt(report, 2) == u'1' ? 1 : 0;
}

void StationReportPass::textReport(const QString& chunk) {
    const qsizetype at = chunk.indexOf(StationLines::Report::kText);
    if (at < 0)
        return;
    const QString text = chunk.mid(at, kMaxTail);
    act(BridgeAction::WriteLogger, text);
    act(BridgeAction::CopySent, text);
}

void StationReportPass::vfoReport(const QString& chunk, const QString& marker) {
    const qsizetype at = chunk.indexOf(marker);
    if (at < 0 || charAt(chunk, at + 2) == u';')
        return;
    const qsizetype end = chunk.indexOf(u';', at);
    if (end < 0)
        return; // the rest of the report is still on its way; it is not joined
    QString digits = chunk.mid(at + 2, end - at - 2);
    if (!isFrequencyDigits(digits))
        return; // not a frequency: the picture keeps the one it has
    if (digits.size() == 8)
        digits.prepend(QStringLiteral("000"));
    const qint64 before = picture_.frequencyHz();
    picture_.setFrequencyHz(digits.toLongLong());
    if (picture_.frequencyHz() == before)
        return;
    const QString record = marker + digits + u';';
    act(BridgeAction::WriteLogger, record);
    act(BridgeAction::CopySent, record);
}

void StationReportPass::loginAnswers(const QString& chunk) {
    const QString& callsign = login_.callsign;
    if (StationLines::asksForCallsign(chunk) && !callsign.isEmpty()) {
        const QString answer = StationLines::callsignAnswer(callsign);
        act(BridgeAction::SendLogin, answer);
        act(BridgeAction::CopySent, answer);
    }
    if (StationLines::asksForPassword(chunk)) {
        const QString answer = StationLines::passwordAnswer(login_.password);
        act(BridgeAction::SendLogin, answer);
        act(BridgeAction::CopySent, answer);
    }
    if (StationLines::saysLoginAccepted(chunk)) {
        act(BridgeAction::SendLogin, StationLines::loginAcknowledgement());
        act(BridgeAction::CopySent, StationLines::loginAcknowledgement());
        act(BridgeAction::LoginAccepted);
    }
}

QString StationReportPass::statusRecordFor(int modeDigit) const {
    return CatFormats::statusRecord(field_, picture_.clarifierOffset(), picture_.ritOn,
                                    picture_.xitOn, modeDigit, picture_.transmitting);
}

QString StationReportPass::statusEcho(int modeDigit) const {
    return StationLines::statusEcho(picture_.frequencyField(), picture_.clarifierOffset(), picture_.ritOn,
                                    picture_.xitOn, modeDigit);
}

void StationReportPass::sendEcho(int modeDigit) {
    if (!connected_)
        return;
    const QString echo = statusEcho(modeDigit);
    act(BridgeAction::SendToServer, echo);
    act(BridgeAction::CopySent, echo);
}

bool StationReportPass::setMode(int digit) {
    if (digit > 7) {
        act(BridgeAction::Fail, QStringLiteral("Invalid property value"));
        return false;
    }
    if (digit < 1)
        return true; // a report cut short or garbled names no mode: the mode stays

    picture_.setModeIndex(digit - 1);
    return true;
}
