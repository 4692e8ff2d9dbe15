// CW: the strong stations copied and taken out of what the other receivers hear.
#include "SignalBrowser.h"
#include "SignalBrowserChannel.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kCopyAboveDb = 0;      // a station this strong is copied
constexpr double kCopyHysteresisDb = 3; // and stays copied until this much weaker
constexpr double kTakeOutAboveDb = 0;   // and this strong, copied well enough to take out:
// its copy takes this much of it out on its own tone. A poor copy (a fast hand at +5 dB) takes
// out little of its station and puts its own errors into the neighbours' sound instead.
constexpr double kCopyDepthDb = 8;
using SignalBrowserShared::kCwCopyReachHz; // a copy there would be the stronger station's
// A station with one this much stronger this close is left in: its copy, learned from a band
// the stronger one is in, would carry some of that one's keying to its neighbours.
constexpr double kOvershadowHz = 150, kOvershadowDb = 3;
// A station with one this much stronger this close is copied in the second stage, from the
// band without the first stage's stations (and stays there until that one is only 3 dB
// stronger, so that the copy is not learned anew as the two fade).
constexpr double kSecondStageHz = 250, kSecondStageDb = 6, kSecondStageHysteresisDb = 3;

// `in` into the line; out of it, as many samples from `delay` samples before.
void holdBack(std::vector<float>& line, int delay, std::span<const float> in, std::vector<float>& out) {
    if (line.empty())
        line.assign(size_t(delay), 0.0f);
    line.insert(line.end(), in.begin(), in.end());
    out.assign(line.begin(), line.begin() + long(in.size()));
    line.erase(line.begin(), line.begin() + long(in.size()));
}

void subtract(std::vector<float>& band, const std::vector<float>& copy) {
    for (size_t i = 0; i < band.size() && i < copy.size(); ++i)
        band[i] -= copy[i];
}
} // namespace

// The receivers hear the band held back as long as the copies are late, with the strong
// stations' copies taken out: a strong station's keying buries a weak neighbour's code. A
// station's copy hears its neighbours too, and one much stronger beside it spoils it; so the
// copies are made in two stages. The first copies the stations with none much stronger near
// from the band itself; the second copies the others from the band with the first stage's
// stations taken out, a copy's delay later. The receivers hear the band held back twice.
void SignalBrowser::takeOutStrongStations(std::span<const float> samples) {
    const int delay = KeyedCarrierCopy::delaySamples(decimator_.outputRate());
    for (auto& channel : channels_)
        if (channel->inUse && channel->copy)
            chooseStage(*channel);
    holdBack(heldBack_, delay, samples, firstCleaned_);
    for (auto& channel : channels_) {
        if (!channel->inUse || !channel->copy)
            continue;
        const bool out = channel->stage == 1 && keepsCopying(*channel) && copyAndJudge(*channel, samples);
        if (out)
            subtract(firstCleaned_, channel->rebuilt);
        // What came out goes back into the channel's own receiver's sound, a stage later.
        noCopy_.assign(samples.size(), 0.0f);
        holdBack(channel->takenLate, delay, out ? channel->rebuilt : noCopy_, channel->own);
    }
    keepRecent(recentFirstCleaned_, firstCleaned_);
    holdBack(heldBackFirstCleaned_, delay, firstCleaned_, cleaned_);
    for (auto& channel : channels_) {
        if (!channel->inUse || !channel->copy || channel->stage != 2 || !keepsCopying(*channel))
            continue;
        if (copyAndJudge(*channel, firstCleaned_)) {
            subtract(cleaned_, channel->rebuilt);
            channel->own = channel->rebuilt;
        }
    }
}

// A station with a much stronger one near is copied in the second stage. Moved, its copy
// learns anew from the band of its stage.
void SignalBrowser::chooseStage(Channel& channel) {
    if (!channel.cw->hearsSignal())
        return;
    const double snr = channel.cw->signalToNoise();
    const double over = channel.stage == 2 ? kSecondStageDb - kSecondStageHysteresisDb : kSecondStageDb;
    const bool second = std::any_of(channels_.begin(), channels_.end(), [&](const auto& other) {
        return other->inUse && other.get() != &channel && other->cw && other->cw->hearsSignal() &&
               other->stage == 1 && std::abs(other->hz - channel.hz) < kSecondStageHz &&
               other->cw->signalToNoise() - snr > over;
    });
    const int stage = second ? 2 : 1;
    if (stage == channel.stage)
        return;
    channel.stage = stage;
    channel.copying = channel.takenOut = false;
    channel.copied.clear();
}

// The station copied from `band`, and whether it is now taken out.
bool SignalBrowser::copyAndJudge(Channel& channel, std::span<const float> band) {
    channel.copy->process(band, channel.rebuilt);
    const bool wasTakenOut = channel.takenOut;
    channel.takenOut = worthTakingOut(channel);
    if (channel.takenOut && !wasTakenOut)
        takeOutOfTheRecentBand(channel);
    keepRecent(channel.copied, channel.rebuilt);
    return channel.takenOut;
}

// A station is copied while it is heard at 0 dB or more, and until it falls under -3 dB. A
// copy that starts learns the station from the last seconds of its stage's band first.
bool SignalBrowser::keepsCopying(Channel& channel) {
    const double above = channel.copying ? kCopyAboveDb - kCopyHysteresisDb : kCopyAboveDb;
    const bool strong = channel.cw->hearsSignal() && channel.cw->signalToNoise() >= above;
    if (!strong) {
        channel.copying = channel.takenOut = false;
        channel.copied.clear();
        return false;
    }
    if (!channel.copying) {
        channel.copying = true;
        channel.copy->setCarrier(channel.hz);
        const auto keep = size_t(SignalBrowserShared::kCatchUpSeconds * decimator_.outputRate());
        const std::vector<float>& recent = channel.stage == 1 ? recentBand_ : recentFirstCleaned_;
        channel.copy->process(std::span<const float>(recent).last(std::min(keep, recent.size())), channel.copied);
    }
    return true;
}

// A strong station heard and its copy learned and good, with no stronger one close beside it (a
// receiver on a strong station's skirt hears that station, and its copy would be that
// station's) and none clearly stronger near it, in the band its copy heard.
bool SignalBrowser::worthTakingOut(const Channel& channel) const {
    if (!channel.copy->learned() || !channel.cw->hearsSignal())
        return false;
    const double snr = channel.cw->signalToNoise();
    if (snr < kTakeOutAboveDb || channel.copy->takenOutDb() < kCopyDepthDb)
        return false;
    return std::none_of(channels_.begin(), channels_.end(), [&](const auto& other) {
        if (!other->inUse || other.get() == &channel || !other->cw || !other->cw->hearsSignal())
            return false;
        if (channel.stage == 2 && other->stage == 1 && other->takenOut)
            return false; // not in the band its copy heard
        const double distance = std::abs(other->hz - channel.hz), stronger = other->cw->signalToNoise() - snr;
        return (distance < kCwCopyReachHz && stronger > 0) || (distance < kOvershadowHz && stronger > kOvershadowDb);
    });
}

// A station taken out only now leaves the last seconds too, for a receiver that starts on its
// weak neighbour: the finder takes the weak one later than the strong one. A first-stage
// copy is a stage's delay ahead of the sound the receivers hear.
void SignalBrowser::takeOutOfTheRecentBand(const Channel& channel) {
    const size_t ahead = channel.stage == 1 ? size_t(KeyedCarrierCopy::delaySamples(decimator_.outputRate())) : 0;
    if (channel.copied.size() <= ahead)
        return;
    const size_t count = std::min(channel.copied.size() - ahead, recent_.size());
    const size_t band = recent_.size() - count, copied = channel.copied.size() - ahead - count;
    for (size_t i = 0; i < count; ++i)
        recent_[band + i] -= channel.copied[copied + i];
}

// The band without the strong stations, but for the channel's own.
std::span<const float> SignalBrowser::withOwnStation(const Channel& channel) {
    own_.resize(cleaned_.size());
    for (size_t i = 0; i < own_.size(); ++i)
        own_[i] = cleaned_[i] + (i < channel.own.size() ? channel.own[i] : 0.0f);
    return own_;
}
