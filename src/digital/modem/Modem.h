#pragma once

#include "ModeList.h"
#include "digital/dsp/DspBlocks.h"
#include "platform/sound/SoundDuplex.h"
#include "Notch.h"
#include "Spectrum.h"

#include <QObject>
#include <QString>
#include <complex>
#include <functional>
#include <memory>
#include <vector>

class BandPass;
class PskDemodulator;
class PttPort;
class RttyDemodulator;

// The digital terminal's sound-card modem, with the operations and events the terminal uses,
// under their names. Audio comes in through receive() and goes out through renderTx(); what
// feeds them (sound card or file) is not its business.
class Modem final : public QObject, public DuplexClient {
    Q_OBJECT
public:
    static constexpr int kChannels = 2;

    enum class TransmitState {
        Receiving,
        Sending,
        ReturnAsked,  // the queue is being sent, then the tail
        TailGoingOut, // waiting for the end of the transmission to go out
        Tone,         // a plain carrier, for tuning
    };
    Q_ENUM(TransmitState)
    // What the scope display shows.
    enum class ScopeKind { None, Sync, Wave };

    explicit Modem(double sampleRate = 48000, QObject* parent = nullptr);
    ~Modem() override;

    // Modes, speeds, carriers.
    int modeCount() const { return int(ModeList::modes().size()); }
    QString modeName(int index) const;
    void setMode(int channel, const QString& name);
    int modeIndex(int channel) const;
    QString alphabetName(int channel) const;
    void setSpeed(int channel, double baud);
    double speed(int channel) const;
    int receiveCarrier(int channel) const;
    void setReceiveCarrier(int channel, int hz);
    int transmitCarrier() const { return int(std::lround(txCarrier_)); }
    void setTransmitCarrier(double hz);
    void setChannelOn(int channel, bool on);
    bool channelOn(int channel) const;
    void setAfc(int channel, bool on);
    void setNetOn(bool on);
    bool netOn() const { return netOn_; }
    int signalToNoise(int channel) const;
    // Off, the modem is parked: it ignores what it hears, sends silence and drops a
    // transmission at once. On (as it starts) it works.
    void setActive(bool active);
    bool isActive() const { return active_; }

    // Displays and filters.
    ScopeKind scopeKind = ScopeKind::None;
    int bandPassIndex() const { return bpfIndex_; }
    void setBandPassIndex(int index); // 0 off; 1..3 ever narrower around channel 0's carrier
    static double bandPassWidth(int index);

    // Sound devices: "input,output" device numbers, -1 for the default device.
    void setSoundDevices(const QString& devices);
    int inputDevice() const { return inputDevice_; }
    int outputDevice() const { return outputDevice_; }

    // The PTT port (when one is attached).
    void attachPtt(PttPort* ptt);
    void setPortName(const QString& name);
    QString pttPortName() const;
    bool pttPortOpen() const;

    // Notches.
    void addNotch(int hz);
    void deleteNotch(int index); // -1: all
    int notchCount() const { return int(notches_.size()); }
    int notchFrequency(int index) const;

    // Transmitting.
    void setTransmit(bool on);
    bool isTransmitting() const { return txState_ != TransmitState::Receiving; }
    void setReturnToRx(bool on);
    void sendText(const QString& text);
    // Where a transmission takes its next character from when its queue runs dry: the
    // transmit box, which gives one character (or none) at a time so that the operator can
    // still edit what has not gone.
    void setCharacterSource(std::function<QString()> source) { characterSource_ = std::move(source); }
    int pendingCharacters() const { return int(txQueue_.size()); }
    void startTone(); // a plain carrier for tuning, until the transmission is ended
    TransmitState transmitState() const { return txState_; }

    // Audio.
    void receive(const float* samples, size_t count);
    // Who else hears the band as it comes, before any filter (the signal browser); none: no one.
    void setListener(std::function<void(const float*, size_t)> listener) {
        listener_ = std::move(listener);
    }
    void renderTx(float* out, size_t count);
    double sampleRate() const { return rate_; }
    const Spectrum& spectrum() const { return spectrum_; }
    // The latest samples heard, for the scope (oldest first).
    const std::vector<float>& scope() const { return scope_; }
    // The latest PSK symbol decisions of a channel as unit vectors (empty for RTTY).
    std::vector<std::complex<double>> symbolScope(int channel) const;
    // How far AFC has moved a channel from the carrier it was set to, in Hz.
    double afcOffset(int channel) const;
    // The sound side (DuplexClient).
    void captured(const float* samples, size_t count) override { receive(samples, count); }
    void playback(float* out, size_t count) override { renderTx(out, count); }
    void soundFailed(const QString& why) override { emit soundLost(why); }

  signals:
    void characterReceived(int channel, QChar character);
    void soundLost(const QString& why);
    void transmitStateChanged(Modem::TransmitState state);
    void transmittingChanged(bool toTransmit);
    void receiveCarrierChanged(int channel, int hz);
    void transmitCarrierChanged(int hz);
    void speedChanged(int channel, double baud);
    void modeChanged(int channel, int index, const QString& name);
    void netChanged(bool on);
    void spectrumReady();
    void timingReport(int channel, int value, bool inHundredthsOfMs);
    void displaysDue();

  private:
    struct Channel;
    void rebuildReceiver(int channel);
    void reportTiming();
    void followAfc(int channel); // reports a carrier the AFC has moved
    void setTxState(TransmitState state);
    void refill();
    void startModulator();

    double rate_;
    bool active_ = true;
    std::vector<std::unique_ptr<Channel>> channels_;
    std::vector<Notch> notches_;
    int bpfIndex_ = 0;
    std::unique_ptr<BandPass> bandPass_;
    int inputDevice_ = -1, outputDevice_ = -1;
    PttPort* ptt_ = nullptr;
    Spectrum spectrum_;
    std::vector<float> scope_;
    double txCarrier_ = 1500;
    bool netOn_ = false;
    TransmitState txState_ = TransmitState::Receiving;
    bool returnToRx_ = false;
    bool tailSent_ = false; // the buffer holds the end of the transmission
    QString txQueue_;
    std::vector<float> txBuffer_;
    size_t txRead_ = 0;
    std::unique_ptr<Modulator> modulator_; // made afresh for each transmission
    std::function<QString()> characterSource_;
    std::function<void(const float*, size_t)> listener_;
};
