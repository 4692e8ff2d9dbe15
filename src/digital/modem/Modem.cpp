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

QString Modem::ModeName(int index) const {
    return index >= 0 && index < ModeCount() ? ModeList::modes()[index].name : QString();
}

int Modem::modeIndex(int channel) const { return channels_[size_t(channel)]->mode; }

QString Modem::LangName(int channel) const {
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
    emit ModeChanged(channel, index, ModeList::modes()[index].name);
    emit SpeedChanged(channel, ch.baud);
}

void Modem::setSpeed(int channel, double baud) {
    if (channel < 0 || channel >= kChannels || !(baud > 1 && baud < 1000))
        return;
    channels_[size_t(channel)]->baud = baud;
    rebuildReceiver(channel);
    emit SpeedChanged(channel, baud);
}

double Modem::Speed(int channel) const { return channels_[size_t(channel)]->baud; }

int Modem::RxCarrier(int channel) const {
    return int(std::lround(channels_[size_t(channel)]->carrier));
}

void Modem::setRxCarrier(int channel, int hz) {
    if (channel < 0 || channel >= kChannels || hz < 100 || hz > rate_ / 2 - 100)
        return;
    Channel& ch = *channels_[size_t(channel)];
    ch.carrier = hz;
    ch.setCarrier = hz;
    ch.reportedCarrier = hz;
    ch.receiver->setCarrier(hz);
    if (channel == 0 && bpfIndex_ > 0)
        setBpfIndex(bpfIndex_);
    if (channel == 0 && netOn_)
        setTxCarrier(hz);
}

void Modem::setTxCarrier(double hz) {
    if (!(hz >= 100 && hz <= rate_ / 2 - 100))
        return;
    txCarrier_ = hz;
    emit TxCarrierChanged(TxCarrier());
}

void Modem::setChannelOn(int channel, bool on) {
    if (channel >= 0 && channel < kChannels)
        channels_[size_t(channel)]->on = on;
}

bool Modem::ChannelOn(int channel) const { return channels_[size_t(channel)]->on; }

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
        setTxCarrier(RxCarrier(0));
    emit NetChanged(on);
}

int Modem::SignalToNoise(int channel) const {
    const Channel& ch = *channels_[size_t(channel)];
    return int(std::lround(ch.receiver->signalToNoise()));
}

void Modem::rebuildReceiver(int channel) {
    Channel& ch = *channels_[size_t(channel)];
    ch.receiver = DspFactory::demodulator(ModeList::modes()[ch.mode], {rate_, ch.carrier, ch.baud});
    ch.receiver->setAfc(ch.afc);
}

void Modem::AddNotch(int hz) {
    if (hz > 0 && hz < rate_ / 2)
        notches_.emplace_back(rate_, hz);
}

void Modem::DeleteNotch(int index) {
    if (index < 0)
        notches_.clear();
    else if (index < NotchCount())
        notches_.erase(notches_.begin() + index);
}

int Modem::notchFrequency(int index) const {
    return index >= 0 && index < NotchCount() ? int(notches_[size_t(index)].frequency()) : 0;
}

void Modem::setModemActive(bool active) {
    active_ = active;
    if (!active)
        setTransmit(false);
}

void Modem::receive(const float* samples, size_t count) {
    if (!active_)
        return;
    std::vector<float> audio(samples, samples + count);
    if (bandPass_)
        bandPass_->process(audio.data(), audio.size());
    for (Notch& notch : notches_)
        for (float& x : audio)
            x = notch.process(x);
    if (spectrum_.push(audio.data(), audio.size())) {
        const size_t keep = size_t(rate_ / 50); // 20 ms for the scope
        scope_.assign(audio.end() - std::min(audio.size(), keep), audio.end());
        emit FftReady();
        emit DisplayUpdate();
        reportTiming();
    }
    for (int c = 0; c < kChannels; ++c) {
        Channel& ch = *channels_[size_t(c)];
        if (!ch.on)
            continue;
        const QString text = ch.receiver->process(audio);
        for (QChar character : text)
            emit CharReceived(c, character);
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
    emit RxCarrierChanged(channel, now);
    if (channel == 0 && netOn_)
        setTxCarrier(now);
}

void Modem::reportTiming() {
    // PSK: the sender's symbol clock against ours, in ppm. RTTY: how far the last character
    // came from where the character clock expected it, in hundredths of a millisecond.
    for (int c = 0; c < kChannels; ++c) {
        const Channel& ch = *channels_[size_t(c)];
        if (!ch.on)
            continue;
        if (const PskDemodulator* psk = ch.psk())
            emit TimingReport(c, int(std::lround(psk->clockOffsetPpm())), false);
        else if (const RttyDemodulator* rtty = ch.rtty())
            emit TimingReport(c, rtty->timingHundredthsMs(), true);
    }
}

// Transmitting -------------------------------------------------------------------------

void Modem::setTxState(int state) {
    if (state == txState_)
        return;
    const bool wasSending = txState_ != 0;
    txState_ = state;
    emit TxStateChanged(state);
    if (wasSending != (state != 0))
        emit TxRxSwitched(state != 0);
}

void Modem::setTransmit(bool on) {
    if (on) {
        if (txState_ != 0 || !active_)
            return;
        returnToRx_ = false;
        startModulator();
        setTxState(1);
        return;
    }
    // Stop at once: whatever is queued or half sent is dropped.
    tailSent_ = false;
    txQueue_.clear();
    txBuffer_.clear();
    txRead_ = 0;
    setTxState(0);
}

void Modem::setReturnToRx(bool on) {
    returnToRx_ = on;
    if (on && txState_ == 1)
        setTxState(2);
}

void Modem::TxControl(int command) {
    // 4: a plain tone on the transmit carrier, for tuning; anything else ends it.
    if (command == 4 && txState_ == 0 && active_) {
        startModulator();
        setTxState(4);
    } else if (txState_ == 4) {
        setTransmit(false);
    }
}

void Modem::SendText(const QString& text) {
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
    modulator_ = DspFactory::modulator(ModeList::modes()[modeIndex(0)],
                                       {.sampleRate = rate_, .carrierHz = txCarrier_, .baud = Speed(0)});
    modulator_->start(txBuffer_);
}

void Modem::refill() {
    txBuffer_.clear();
    txRead_ = 0;
    if (tailSent_) { // the tail has gone out whole: now the transmitter may drop
        tailSent_ = false;
        setTxState(0);
        return;
    }
    if (txState_ == 4) {
        modulator_->steadyCarrier(txBuffer_);
        return;
    }
    if (txQueue_.isEmpty() && txState_ == 1 && characterSource_)
        SendText(characterSource_()); // the next character typed, if there is one
    if (!txQueue_.isEmpty()) {
        modulator_->character(txQueue_.front(), txBuffer_);
        txQueue_.remove(0, 1);
        return;
    }
    if (txState_ == 2 || returnToRx_) { // all sent: the tail, then receive
        modulator_->end(txBuffer_);
        tailSent_ = true;
        setTxState(3); // waiting for the tail to go out
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
        while (txRead_ >= txBuffer_.size() && txState_ != 0)
            refill();
        if (txRead_ >= txBuffer_.size()) {
            std::fill(out + n, out + count, 0.0f);
            txBuffer_.clear();
            return;
        }
        out[n] = txBuffer_[txRead_++];
    }
}

double Modem::bpfWidth(int index) {
    static const double widths[] = {0, 1000, 500, 250};
    return index >= 0 && index < 4 ? widths[index] : 0;
}

void Modem::setBpfIndex(int index) {
    if (index < 0 || index > 3)
        return;
    bpfIndex_ = index;
    bandPass_.reset();
    if (index > 0)
        bandPass_ = std::make_unique<BandPass>(rate_, RxCarrier(0), bpfWidth(index));
}

void Modem::setCharset(int, int) {}

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
        connect(this, &Modem::TxRxSwitched, ptt_, &PttPort::setKeyed);
}

void Modem::setPortName(const QString& name) {
    if (ptt_)
        ptt_->setPortName(name);
}

QString Modem::PortName() const { return ptt_ ? ptt_->PortName() : QString(); }

int Modem::PortState() const { return ptt_ ? ptt_->PortState() : 0; }

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
