#include "SignalBrowser.h"

#include "digital/dsp/BandPass.h"
#include "digital/dsp/CwDemodulator.h"
#include "digital/dsp/KeyedCarrierCopy.h"
#include "digital/modem/DspFactory.h"
#include "digital/skimmer/CallsignPicker.h"

#include <QSet>
#include <algorithm>
#include <cmath>

struct SignalBrowser::Channel {
    std::unique_ptr<Demodulator> receiver;
    std::unique_ptr<BandPass> filter; // RTTY: the station cut out of the band first
    std::unique_ptr<CallsignPicker> picker;
    CwDemodulator* cw = nullptr; // the receiver, when it is CW's: for the sender's speed
    std::unique_ptr<KeyedCarrierCopy> copy; // CW: its station, for the others to take out
    std::vector<float> rebuilt{};           // the copy of the block being heard
    std::vector<float> copied{};            // and of the last seconds
    bool copying = false;                   // its station is strong enough to be copied
    bool takenOut = false;                  // out of what the others hear, this block
    bool inUse = false;
    int id = 0;
    double hz = 0;
    double snrDb = 0;
    double lastSeen = 0; // seconds
    double lastText = 0; // seconds: when its receiver last printed
    QString text{};
    QString word{}; // the word being received, for callsigns
    QString callsign{};
    qint64 received = 0;
};

namespace {
// A found signal this close to a receiver is that receiver's: the finder's estimate wanders
// by a few hertz, a neighbour is at least the shape's spacing away.
constexpr double kSameSignalShare = 0.4; // of the spacing
constexpr int kLongestWord = 16;         // longer is no callsign
constexpr double kWordEndSeconds = 1.5;  // a station silent this long has ended its word
constexpr double kRttyPassBauds = 0.9;   // either side of the tones, for their keying
constexpr double kRttyEdgeHz = 40;       // from pass to stop
constexpr double kCwFindAboveDb = -18; // keyed code's spectrum stands low; its receiver judges
constexpr double kCatchUpSeconds = 8;   // of sound a receiver hears first when it starts
constexpr double kCwCopyAboveDb = 3;    // a station this strong is copied
constexpr double kCwCopyHysteresisDb = 3; // and stays copied until this much weaker
constexpr double kCwTakeOutAboveDb = 3; // and this strong, copied well enough to take out:
// its copy takes this much of it out on its own tone. A poor copy (a fast hand at +5 dB) takes
// out little of its station and puts its own errors into the neighbours' sound instead.
constexpr double kCwCopyDepthDb = 8;
// Within this of a station taken out, a peak the finder sees is what is left of that
// station's skirt, not a station of its own.
constexpr double kCwCopyReachHz = 50;
// A station with one this much stronger this close is left in: its copy, learned from a band
// the stronger one is in, would carry some of that one's keying to its neighbours.
constexpr double kCwOvershadowHz = 150, kCwOvershadowDb = 3;
// Further off, what is left of its keying's skirt stands this far under it (as the finder
// saw the station before it was taken out); a weak station beside it stands higher.
constexpr double kCwLeftSkirtBelowDb = 25;
constexpr double kCwMovedHz = 10;        // CW's filters are some 30 Hz wide: a finder's wander
                                         // of a few hertz while a station fades is no move
} // namespace

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
    recentBand_.clear();
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
            heard = channel->takenOut ? withOwnStation(*channel) : std::span<const float>(cleaned_);
        changed = feed(*channel, heard) || changed;
    }
    if (changed)
        rebuildRows();
}

// CW: the receivers hear the band held back as long as the copies are late, with the strong
// stations' copies taken out. A strong station's keying buries a weak neighbour's code.
void SignalBrowser::takeOutStrongStations(std::span<const float> samples) {
    if (heldBack_.empty())
        heldBack_.assign(size_t(KeyedCarrierCopy::delaySamples(decimator_.outputRate())), 0.0f);
    heldBack_.insert(heldBack_.end(), samples.begin(), samples.end());
    cleaned_.assign(heldBack_.begin(), heldBack_.begin() + long(samples.size()));
    heldBack_.erase(heldBack_.begin(), heldBack_.begin() + long(samples.size()));
    for (auto& channel : channels_) {
        if (!channel->inUse || !channel->copy || !keepsCopying(*channel))
            continue;
        channel->copy->process(samples, channel->rebuilt);
        const bool wasTakenOut = channel->takenOut;
        channel->takenOut = worthTakingOut(*channel);
        if (channel->takenOut && !wasTakenOut)
            takeOutOfTheRecentBand(*channel);
        keepRecent(channel->copied, channel->rebuilt);
        if (channel->takenOut)
            for (size_t i = 0; i < cleaned_.size(); ++i)
                cleaned_[i] -= channel->rebuilt[i];
    }
}

// A station is copied while it is heard at +3 dB or more, and until it falls under 0 dB: the
// copies cost a third of what the receivers do. A copy that starts learns the station from the
// last seconds first.
bool SignalBrowser::keepsCopying(Channel& channel) {
    const double above = channel.copying ? kCwCopyAboveDb - kCwCopyHysteresisDb : kCwCopyAboveDb;
    const bool strong = channel.cw->hearsSignal() && channel.cw->signalToNoise() >= above;
    if (!strong) {
        channel.copying = channel.takenOut = false;
        channel.copied.clear();
        return false;
    }
    if (!channel.copying) {
        channel.copying = true;
        channel.copy->setCarrier(channel.hz);
        const auto keep = size_t(kCatchUpSeconds * decimator_.outputRate());
        channel.copy->process(std::span<const float>(recentBand_).last(std::min(keep, recentBand_.size())),
                              channel.copied);
    }
    return true;
}

// A strong station heard and its copy learned and good, with no stronger one close beside it (a
// receiver on a strong station's skirt hears that station, and its copy would be that
// station's) and none clearly stronger near it.
bool SignalBrowser::worthTakingOut(const Channel& channel) const {
    if (!channel.copy->learned() || !channel.cw->hearsSignal())
        return false;
    const double snr = channel.cw->signalToNoise();
    if (snr < kCwTakeOutAboveDb || channel.copy->takenOutDb() < kCwCopyDepthDb)
        return false;
    return std::none_of(channels_.begin(), channels_.end(), [&](const auto& other) {
        if (!other->inUse || other.get() == &channel || !other->cw || !other->cw->hearsSignal())
            return false;
        const double distance = std::abs(other->hz - channel.hz), stronger = other->cw->signalToNoise() - snr;
        return (distance < kCwCopyReachHz && stronger > 0) ||
               (distance < kCwOvershadowHz && stronger > kCwOvershadowDb);
    });
}

// A station taken out only now leaves the last seconds too, for a receiver that starts on its
// weak neighbour: the finder takes the weak one later than the strong one.
void SignalBrowser::takeOutOfTheRecentBand(const Channel& channel) {
    const size_t count = std::min(channel.copied.size(), recent_.size());
    const size_t band = recent_.size() - count, copied = channel.copied.size() - count;
    for (size_t i = 0; i < count; ++i)
        recent_[band + i] -= channel.copied[copied + i];
}

void SignalBrowser::keepRecent(std::vector<float>& recent, std::span<const float> samples) const {
    recent.insert(recent.end(), samples.begin(), samples.end());
    const auto keep = size_t(kCatchUpSeconds * decimator_.outputRate());
    if (recent.size() > 2 * keep)
        recent.erase(recent.begin(), recent.end() - long(keep));
}

// The band without the strong stations, but for the channel's own.
std::span<const float> SignalBrowser::withOwnStation(const Channel& channel) {
    own_.resize(cleaned_.size());
    for (size_t i = 0; i < own_.size(); ++i)
        own_[i] = cleaned_[i] + channel.rebuilt[i];
    return own_;
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
        if (now - channel->lastText > kWordEndSeconds) // it stopped: its last word is whole
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
            return distance < kCwCopyReachHz ||
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
    const auto keep = size_t(kCatchUpSeconds * decimator_.outputRate());
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
