#include "SignalBrowser.h"
#include "SignalBrowserChannel.h"

#include "digital/modem/DspFactory.h"

#include <QSet>
#include <algorithm>
#include <cmath>

namespace {
// A found signal this close to a receiver is that receiver's: the finder's estimate wanders
// by a few hertz, a neighbour is at least the shape's spacing away.
constexpr double kSameSignalShare = 0.4; // of the spacing
constexpr int kLongestWord = 16;         // longer is no callsign
constexpr double kWordEndSeconds = 1.5;  // a station silent this long has ended its word,
constexpr double kWordEndDots = 40;      // or a slow CW sender this many dots: a hand's "0" is
                                         // five long dashes, printed once its gap is decided
constexpr double kRttyPassBauds = 0.9;   // either side of the tones, for their keying
constexpr double kRttyEdgeHz = 40;       // from pass to stop
constexpr double kCwFindAboveDb = -18; // keyed code's spectrum stands low; its receiver judges
// Further from a station taken out than its copy's reach, what is left of its keying's skirt
// stands this far under it (as the finder saw the station before it was taken out); a weak
// station beside it stands higher.
constexpr double kCwLeftSkirtBelowDb = 25;
constexpr double kCwMovedHz = 10;        // CW's filters are some 30 Hz wide: a finder's wander
                                         // of a few hertz while a station fades is no move
} // namespace

// How long a station prints nothing before its last word is taken as whole. A slow CW sender's
// long character (PY2AB's "2" at 16 wpm with long dashes) prints nothing for longer than the
// 1.5 s that serve the faster modes, and would split the call in two.
double SignalBrowser::wordEndSeconds(const Channel& channel) {
    const int wpm = wpmOf(channel);
    return wpm > 0 ? std::max(kWordEndSeconds, kWordEndDots * 1.2 / wpm) : kWordEndSeconds;
}

int SignalBrowser::wpmOf(const Channel& channel) {
    return channel.cw ? channel.cw->wpm() : 0;
}

// CW: the receiver's own S/N of the keyed carrier, which the spectrum of keyed code shows
// far lower; the other modes: the finder's.
double SignalBrowser::snrOf(const Channel& channel) {
    return channel.cw && channel.cw->wpm() > 0 ? channel.cw->signalToNoise() : channel.snrDb;
}

SignalBrowser::SignalBrowser(double sampleRate, QObject* parent)
    : QObject(parent), decimator_(sampleRate), finder_(decimator_.outputRate()),
      mode_(ModeList::modes()[ModeList::kBpskIndex]), baud_(mode_.defaultBaud),
      shape_(SignalFinder::pskShape(baud_)) {}

SignalBrowser::~SignalBrowser() = default;

void SignalBrowser::setMode(const ModeList::Mode& mode, double baud) {
    mode_ = mode;
    baud_ = baud > 0 ? baud : mode.defaultBaud;
    startAgain();
}

void SignalBrowser::setListensForCw(bool on) {
    if (on == cw_)
        return;
    cw_ = on;
    startAgain();
}

void SignalBrowser::startAgain() {
    shape_ = cw_                            ? SignalFinder::cwShape()
             : ModeList::isPsk(mode_.kind) ? SignalFinder::pskShape(baud_)
                                           : SignalFinder::rttyShape(baud_, mode_.shiftHz);
    channels_.clear(); // receivers of the old mode are of no use
    heldBack_.clear();
    heldBackFirstCleaned_.clear();
    recentBand_.clear();
    recentFirstCleaned_.clear();
    rebuildRows();
}

void SignalBrowser::setCallsignLookup(
    std::function<std::optional<QString>(const QString&)> lookup) {
    lookup_ = std::move(lookup);
}

void SignalBrowser::setOwnCall(const QString& call) {
    ownCall_ = call;
    for (auto& channel : channels_)
        if (channel->picker)
            channel->picker->setOwnCall(call);
}

QString SignalBrowser::spotMode() const {
    if (cw_)
        return QStringLiteral("CW");
    if (!ModeList::isPsk(mode_.kind))
        return QStringLiteral("RTTY");
    const QString kind = mode_.kind == ModeList::Kind::Qpsk ? QStringLiteral("QPSK") : QStringLiteral("PSK");
    return kind + QString::number(std::lround(baud_)); // 31.25 baud: PSK31, 62.5: PSK63
}

void SignalBrowser::receive(std::span<const float> samples) {
    decimated_.clear();
    decimator_.process(samples, decimated_);
    if (decimated_.empty())
        return;
    heard_ += qint64(decimated_.size());
    decode(decimated_);
    // The last seconds, for a receiver that starts on a signal found only now (CW: and for
    // the copy of its station).
    const std::vector<float>& heard = cw_ ? cleaned_ : decimated_;
    keepRecent(recent_, heard);
    if (cw_)
        keepRecent(recentBand_, decimated_);
    // CW: the finder looks at the band without the strong stations, whose keying would
    // raise the noise it measures and hide the weak ones beside them.
    if (finder_.push(heard))
        updateSignals();
}

void SignalBrowser::decode(std::span<const float> samples) {
    bool changed = false;
    if (cw_)
        takeOutStrongStations(samples);
    for (auto& channel : channels_) {
        if (!channel->inUse)
            continue;
        std::span<const float> heard = samples;
        if (cw_)
            heard = channel->copy ? withOwnStation(*channel) : std::span<const float>(cleaned_);
        changed = feed(*channel, heard) || changed;
    }
    if (changed)
        rebuildRows();
}

void SignalBrowser::keepRecent(std::vector<float>& recent, std::span<const float> samples) const {
    recent.insert(recent.end(), samples.begin(), samples.end());
    const auto keep = size_t(SignalBrowserShared::kCatchUpSeconds * decimator_.outputRate());
    if (recent.size() > 2 * keep)
        recent.erase(recent.begin(), recent.end() - long(keep));
}

// One receiver's share of the sound; true when it printed something.
bool SignalBrowser::feed(Channel& channel, std::span<const float> samples) {
    std::span<const float> heard = samples;
    if (channel.filter) {
        filtered_.assign(samples.begin(), samples.end());
        channel.filter->process(filtered_.data(), filtered_.size());
        heard = filtered_;
    }
    const QString text = channel.receiver->process(heard);
    if (channel.cw)
        for (const CwDemodulator::RepeatedWord& word : channel.cw->takeRepeatedWords())
            for (const CallsignPicker::Call& call :
                 channel.picker->takeRepeated(word.read.together, word.read.earlier, word.heard))
                emit spotted(call.call, channel.hz, snrOf(channel), call.calledCq, wpmOf(channel));
    if (text.isEmpty())
        return false;
    channel.lastText = seconds();
    for (const CallsignPicker::Call& call : channel.picker->take(text))
        emit spotted(call.call, channel.hz, snrOf(channel), call.calledCq, wpmOf(channel));
    for (QChar c : text) {
        if (c == u'\r' || c == u'\n')
            c = u' ';
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            continue;
        channel.text += c;
        ++channel.received;
        if (c != u' ') {
            channel.word = (channel.word + c.toUpper()).right(kLongestWord);
            continue;
        }
        lookForCallsign(channel); // a whole word: K1AB is not taken for the K1ABC being sent
        channel.word.clear();
    }
    channel.text = channel.text.right(kTextLength);
    return true;
}

void SignalBrowser::lookForCallsign(Channel& channel) {
    if (!lookup_ || channel.word.size() < 3)
        return;
    const std::optional<QString> callsign = lookup_(channel.word);
    if (!callsign || *callsign == channel.callsign)
        return;
    bool shownBefore = false;
    for (const Row& row : rows_)
        shownBefore = shownBefore || row.callsign == *callsign;
    channel.callsign = *callsign;
    if (!shownBefore)
        emit newCallsign(*callsign, channel.hz);
}

SignalBrowser::Channel* SignalBrowser::channelNear(double hz) {
    Channel* nearest = nullptr;
    for (auto& channel : channels_) {
        const double distance = std::abs(channel->hz - hz);
        if (channel->inUse && distance < kSameSignalShare * shape_.spacingHz &&
            (!nearest || distance < std::abs(nearest->hz - hz)))
            nearest = channel.get();
    }
    return nearest;
}

void SignalBrowser::updateSignals() {
    const double now = seconds();
    for (const SignalFinder::Found& found : finder_.find(shape_, cw_ ? kCwFindAboveDb : kFindAboveDb))
        take(found);
    for (auto& channel : channels_) {
        if (!channel->inUse)
            continue;
        if (now - channel->lastText > wordEndSeconds(*channel)) // it stopped: its last word is whole
            for (const CallsignPicker::Call& call : channel->picker->endOfText())
                emit spotted(call.call, channel->hz, snrOf(*channel), call.calledCq, wpmOf(*channel));
        if (channel->takenOut) // out of what the finder sees, but its receiver hears it
            channel->lastSeen = now;
        if (now - channel->lastSeen > kSilentSeconds)
            channel->inUse = false; // gone quiet: its receiver waits for the next signal
    }
    rebuildRows();
}

void SignalBrowser::take(const SignalFinder::Found& found) {
    if (Channel* channel = channelNear(found.hz)) {
        channel->lastSeen = seconds();
        if (channel->takenOut)
            return; // the finder sees only what is left of it: its receiver knows better
        channel->snrDb = found.snrDb;
        const double moved = cw_ ? kCwMovedHz : 0.1 * baud_;
        if (std::abs(channel->hz - found.hz) > moved) { // the sender has moved
            channel->hz = found.hz;
            channel->receiver->setCarrier(found.hz);
            channel->filter = filterFor(found.hz);
            channel->copying = channel->takenOut = false; // a copy starts again on the new tone
            channel->copied.clear();
        }
        return;
    }
    if (cw_ && std::any_of(channels_.begin(), channels_.end(), [&](const auto& c) {
            if (!c->inUse || !c->takenOut)
                return false;
            const double distance = std::abs(c->hz - found.hz);
            return distance < SignalBrowserShared::kCwCopyReachHz ||
                   (distance < shape_.skirtReachHz && c->snrDb - found.snrDb > kCwLeftSkirtBelowDb);
        }))
        return;
    auto free =
        std::find_if(channels_.begin(), channels_.end(), [](const auto& c) { return !c->inUse; });
    if (free == channels_.end()) {
        if (int(channels_.size()) >= kMaxSignals)
            return; // the strongest come first: the rest wait for a place
        channels_.push_back(std::make_unique<Channel>());
        free = channels_.end() - 1;
    }
    Channel& channel = **free;
    if (channel.receiver) {
        channel.receiver->setCarrier(found.hz);
        channel.receiver->reset(); // nothing of the last signal is left
    } else {
        channel.receiver = receiverFor(found.hz);
    }
    // A PSK receiver's AFC could pull it onto a neighbour 50 Hz away, so the finder tunes it;
    // RTTY's AFC reaches less far than its neighbours are, and corrects what a strong
    // neighbour's skirts do to the finder's estimate.
    channel.receiver->setAfc(!cw_ && !ModeList::isPsk(mode_.kind));
    CwDemodulator* cw = dynamic_cast<CwDemodulator*>(channel.receiver.get());
    std::unique_ptr<KeyedCarrierCopy> copy;
    if (cw)
        copy = std::make_unique<KeyedCarrierCopy>(decimator_.outputRate(), found.hz);
    channel = Channel{.receiver = std::move(channel.receiver),
                      .filter = filterFor(found.hz),
                      .picker = std::make_unique<CallsignPicker>(
                          [this](const QString& call) { return lookup_ && lookup_(call) == call; }, ownCall_),
                      .cw = cw,
                      .copy = std::move(copy),
                      .inUse = true,
                      .id = nextId_++,
                      .hz = found.hz,
                      .snrDb = found.snrDb,
                      .lastSeen = seconds(),
                      .lastText = seconds()};
    // The finder takes a signal a second or two after it began, a weak one beside a louder
    // station often only when that one pauses: the new receiver first hears those seconds, so
    // that the row begins with the station's first words (its CQ and call), and a call it
    // sends again has its earlier renditions to be heard with.
    const auto keep = size_t(SignalBrowserShared::kCatchUpSeconds * decimator_.outputRate());
    const std::vector<float> before(recent_.end() - long(std::min(keep, recent_.size())), recent_.end());
    feed(channel, before);
}

// RTTY's receivers decide each bit with a filter one bit long, which lets a neighbour's tone
// 80 Hz off through: each gets its station cut out of the band first, its own tones and their
// keying passed, the next station's tones stopped. PSK needs none (its receive filter is
// narrow enough for a neighbour 50 Hz away).
std::unique_ptr<Demodulator> SignalBrowser::receiverFor(double hz) const {
    if (cw_)
        return std::make_unique<CwDemodulator>(decimator_.outputRate(), hz);
    return DspFactory::demodulator(
        mode_, {.sampleRate = decimator_.outputRate(), .carrierHz = hz, .baud = baud_});
}

std::unique_ptr<BandPass> SignalBrowser::filterFor(double hz) const {
    if (cw_ || ModeList::isPsk(mode_.kind))
        return nullptr; // CW's receiver has filters of its own
    const double width = mode_.shiftHz + 2 * kRttyPassBauds * baud_;
    return std::make_unique<BandPass>(decimator_.outputRate(), hz, width, kRttyEdgeHz);
}

void SignalBrowser::rebuildRows() {
    rows_.clear();
    for (const auto& channel : channels_) {
        if (!channel->inUse)
            continue;
        // CW: a row once its receiver hears a station (the finder tries every faint peak).
        if (channel->cw && !channel->cw->hearsSignal() && channel->text.isEmpty())
            continue;
        rows_.push_back({channel->id, channel->hz, snrOf(*channel), channel->text, channel->callsign,
                         channel->received, wpmOf(*channel)});
    }
    std::sort(rows_.begin(), rows_.end(), [](const Row& a, const Row& b) { return a.hz < b.hz; });
    emit rowsChanged();
}
