#include "Modem.h"

#include "DspFactory.h"
#include "PttPort.h"
#include "digital/dsp/BandPass.h"
#include "digital/dsp/PskDemodulator.h"
#include "digital/dsp/RttyDemodulator.h"

#include <cmath>

namespace {
constexpr int kDefaultCarrier = 1500;
} // namespace

struct Modem::Channel {
    int mode = ModeList::kBpskIndex;
    double baud = 31.25;
    double carrier = kDefaultCarrier;
    bool on = true;
    bool afc = true;
    int reportedCarrier = kDefaultCarrier;
    double setCarrier = kDefaultCarrier; // where the operator put it
    std::unique_ptr<Demodulator> receiver;
    // The mode's own displays: the sync scope and the symbol clock for PSK, the character
    // clock for RTTY.
    const PskDemodulator* psk() const { return dynamic_cast<const PskDemodulator*>(receiver.get()); }
    const RttyDemodulator* rtty() const { return dynamic_cast<const RttyDemodulator*>(receiver.get()); }
};

Modem::Modem(double sampleRate, QObject* parent)
    : QObject(parent), rate_(sampleRate), spectrum_(sampleRate) {
    for (int c = 0; c < kChannels; ++c) {
        channels_.push_back(std::make_unique<Channel>());
        channels_.back()->on = c == 0;
        rebuildReceiver(c);
    }
}

Modem::~Modem() = default;

QString Modem::modeName(int index) const {
    return index >= 0 && index < modeCount() ? ModeList::modes()[index].name : QString();
}

int Modem::modeIndex(int channel) const { return channels_[size_t(channel)]->mode; }

QString Modem::alphabetName(int channel) const {
    return ModeList::modes()[modeIndex(channel)].language;
}

void Modem::setMode(int channel, const QString& name) {
    const int index = ModeList::indexOf(name);
    if (index < 0 || channel < 0 || channel >= kChannels)
        return;
    Channel& ch = *channels_[size_t(channel)];
    ch.mode = index;
    ch.baud = ModeList::modes()[index].defaultBaud;
    rebuildReceiver(channel);
    emit modeChanged(channel, index, ModeList::modes()[index].name);
    emit speedChanged(channel, ch.baud);
}

void Modem::setSpeed(int channel, double baud) {
    if (channel < 0 || channel >= kChannels || !(baud > 1 && baud < 1000))
        return;
    channels_[size_t(channel)]->baud = baud;
    rebuildReceiver(channel);
    emit speedChanged(channel, baud);
}

double Modem::speed(int channel) const {
    return channels_[size_t(channel)]->baud;
}

int Modem::receiveCarrier(int channel) const {
    return int(std::lround(channels_[size_t(channel)]->carrier));
}

void Modem::setReceiveCarrier(int channel, int hz) {
    if (channel < 0 || channel >= kChannels || hz < 100 || hz > rate_ / 2 - 100)
        return;
    Channel& ch = *channels_[size_t(channel)];
    ch.carrier = hz;
    ch.setCarrier = hz;
    ch.reportedCarrier = hz;
    ch.receiver->setCarrier(hz);
    if (channel == 0 && bpfIndex_ > 0)
        setBandPassIndex(bpfIndex_);
    if (channel == 0 && netOn_)
        setTransmitCarrier(hz);
}

void Modem::setTransmitCarrier(double hz) {
    if (!(hz >= 100 && hz <= rate_ / 2 - 100))
        return;
    txCarrier_ = hz;
    emit transmitCarrierChanged(transmitCarrier());
}

void Modem::setChannelOn(int channel, bool on) {
    if (channel >= 0 && channel < kChannels)
        channels_[size_t(channel)]->on = on;
}

bool Modem::channelOn(int channel) const {
    return channels_[size_t(channel)]->on;
}

void Modem::setAfc(int channel, bool on) {
    if (channel < 0 || channel >= kChannels)
        return;
    Channel& ch = *channels_[size_t(channel)];
    ch.afc = on;
    ch.receiver->setAfc(on);
}

void Modem::setNetOn(bool on) {
    netOn_ = on;
    if (on)
        setTransmitCarrier(receiveCarrier(0));
    emit netChanged(on);
}

int Modem::signalToNoise(int channel) const {
    const Channel& ch = *channels_[size_t(channel)];
    return int(std::lround(ch.receiver->signalToNoise()));
}

void Modem::rebuildReceiver(int channel) {
    Channel& ch = *channels_[size_t(channel)];
    ch.receiver = DspFactory::demodulator(ModeList::modes()[ch.mode], {rate_, ch.carrier, ch.baud});
    ch.receiver->setAfc(ch.afc);
}

void Modem::addNotch(int hz) {
    if (hz > 0 && hz < rate_ / 2)
        notches_.emplace_back(rate_, hz);
}

void Modem::deleteNotch(int index) {
    if (index < 0)
        notches_.clear();
    else if (index < notchCount())
        notches_.erase(notches_.begin() + index);
}

int Modem::notchFrequency(int index) const {
    return index >= 0 && index < notchCount() ? int(notches_[size_t(index)].frequency()) : 0;
}

void Modem::setActive(bool active) {
    active_ = active;
    if (!active)
        setTransmit(false);
}

void Modem::receive(const float* samples, size_t count) {
    if (!active_)
        return;
    if (listener_)
        listener_(samples, count);
    std::vector<float> audio(samples, samples + count);
    if (bandPass_)
        bandPass_->process(audio.data(), audio.size());
    for (Notch& notch : notches_)
        for (float& x : audio)
            x = notch.process(x);
    if (spectrum_.push(audio.data(), audio.size())) {
        const size_t keep = size_t(rate_ / 50); // 20 ms for the scope
        scope_.assign(audio.end() - std::min(audio.size(), keep), audio.end());
        emit spectrumReady();
        emit displaysDue();
        reportTiming();
    }
    for (int c = 0; c < kChannels; ++c) {
        Channel& ch = *channels_[size_t(c)];
        if (!ch.on)
            continue;
        const QString text = ch.receiver->process(audio);
        for (QChar character : text)
            emit characterReceived(c, character);
        followAfc(c);
    }
}

void Modem::followAfc(int channel) {
    Channel& ch = *channels_[size_t(channel)];
    ch.carrier = ch.receiver->carrier();
    const int now = int(std::lround(ch.carrier));
    if (now == ch.reportedCarrier)
        return;
    ch.reportedCarrier = now;
    emit receiveCarrierChanged(channel, now);
    if (channel == 0 && netOn_)
        setTransmitCarrier(now);
}

void Modem::reportTiming() {
    // PSK: the sender's symbol clock against ours, in ppm. RTTY: how far the last character
    // came from where the character clock expected it, in hundredths of a millisecond.
    for (int c = 0; c < kChannels; ++c) {
        const Channel& ch = *channels_[size_t(c)];
        if (!ch.on)
            continue;
        if (const PskDemodulator* psk = ch.psk())
            emit timingReport(c, int(std::lround(psk->clockOffsetPpm())), false);
        else if (const RttyDemodulator* rtty = ch.rtty())
            emit timingReport(c, rtty->timingHundredthsMs(), true);
    }
}

// Transmitting -------------------------------------------------------------------------

void Modem::setTxState(TransmitState state) {
    if (state == txState_)
        return;
    const bool wasSending = txState_ != TransmitState::Receiving;
    txState_ = state;
    emit transmitStateChanged(state);
    if (wasSending != (state != TransmitState::Receiving))
        emit transmittingChanged(state != TransmitState::Receiving);
}

void Modem::setTransmit(bool on) {
    if (on) {
        if (txState_ != TransmitState::Receiving || !active_)
            return;
        returnToRx_ = false;
        startModulator();
        setTxState(TransmitState::Sending);
        return;
    }
    // Stop at once: whatever is queued or half sent is dropped.
    tailSent_ = false;
    txQueue_.clear();
    txBuffer_.clear();
    txRead_ = 0;
    setTxState(TransmitState::Receiving);
}

void Modem::setReturnToRx(bool on) {
    returnToRx_ = on;
    if (on && txState_ == TransmitState::Sending)
        setTxState(TransmitState::ReturnAsked);
}

void Modem::startTone() {
    if (txState_ == TransmitState::Receiving && active_) {
        startModulator();
        setTxState(TransmitState::Tone);
    }
}

void Modem::sendText(const QString& text) {
    for (QChar c : text) {
        if (c == QChar(8) && !txQueue_.isEmpty())
            txQueue_.chop(1); // not yet sent: simply taken back
        else
            txQueue_ += c;
    }
}

void Modem::startModulator() {
    txBuffer_.clear();
    txRead_ = 0;
    modulator_ =
        DspFactory::modulator(ModeList::modes()[modeIndex(0)],
                              {.sampleRate = rate_, .carrierHz = txCarrier_, .baud = speed(0)});
    modulator_->start(txBuffer_);
}

void Modem::refill() {
    txBuffer_.clear();
    txRead_ = 0;
    if (tailSent_) { // the tail has gone out whole: now the transmitter may drop
        tailSent_ = false;
        setTxState(TransmitState::Receiving);
        return;
    }
    if (txState_ == TransmitState::Tone) {
        modulator_->steadyCarrier(txBuffer_);
        return;
    }
    if (txQueue_.isEmpty() && txState_ == TransmitState::Sending && characterSource_)
        sendText(characterSource_()); // the next character typed, if there is one
    if (!txQueue_.isEmpty()) {
        modulator_->character(txQueue_.front(), txBuffer_);
        txQueue_.remove(0, 1);
        return;
    }
    if (txState_ == TransmitState::ReturnAsked || returnToRx_) { // all sent: the tail, then receive
        modulator_->end(txBuffer_);
        tailSent_ = true;
        setTxState(TransmitState::TailGoingOut); // waiting for the tail to go out
        return;
    }
    modulator_->idle(txBuffer_);
}

void Modem::renderTx(float* out, size_t count) {
    if (!active_) {
        std::fill(out, out + count, 0.0f);
        return;
    }
    for (size_t n = 0; n < count; ++n) {
        // A character with no code makes no samples: the next piece follows without a gap.
        while (txRead_ >= txBuffer_.size() && txState_ != TransmitState::Receiving)
            refill();
        if (txRead_ >= txBuffer_.size()) {
            std::fill(out + n, out + count, 0.0f);
            txBuffer_.clear();
            return;
        }
        out[n] = txBuffer_[txRead_++];
    }
}

double Modem::bandPassWidth(int index) {
    static const double widths[] = {0, 1000, 500, 250};
    return index >= 0 && index < 4 ? widths[index] : 0;
}

void Modem::setBandPassIndex(int index) {
    if (index < 0 || index > 3)
        return;
    bpfIndex_ = index;
    bandPass_.reset();
    if (index > 0)
        bandPass_ = std::make_unique<BandPass>(rate_, receiveCarrier(0), bandPassWidth(index));
}

void Modem::setSoundDevices(const QString& devices) {
    bool okIn = false, okOut = false;
    const int in = devices.section(u',', 0, 0).trimmed().toInt(&okIn);
    const int out = devices.section(u',', 1, 1).trimmed().toInt(&okOut);
    inputDevice_ = okIn ? in : -1;
    outputDevice_ = okOut ? out : -1;
}

void Modem::attachPtt(PttPort* ptt) {
    ptt_ = ptt;
    if (ptt_)
        connect(this, &Modem::transmittingChanged, ptt_, &PttPort::setKeyed);
}

void Modem::setPortName(const QString& name) {
    if (ptt_)
        ptt_->setPortName(name);
}

QString Modem::pttPortName() const {
    return ptt_ ? ptt_->portName() : QString();
}

bool Modem::pttPortOpen() const {
    return ptt_ && ptt_->isOpen();
}

std::vector<std::complex<double>> Modem::symbolScope(int channel) const {
    const Channel& ch = *channels_[size_t(channel)];
    const PskDemodulator* psk = ch.psk();
    if (!psk)
        return {};
    return {psk->recentTurns().begin(), psk->recentTurns().end()};
}

double Modem::afcOffset(int channel) const {
    const Channel& ch = *channels_[size_t(channel)];
    return ch.carrier - ch.setCarrier;
}
