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
//
// Transmit states: 0 receiving, 1 sending, 2 return to receive asked (the queue is being sent),
// 3 waiting for the end of the transmission to go out, 4 a plain tone.
class Modem final : public QObject, public DuplexClient {
    Q_OBJECT
public:
    static constexpr int kChannels = 2;

    explicit Modem(double sampleRate = 48000, QObject* parent = nullptr);
    ~Modem() override;

    // Modes, speeds, carriers.
    int ModeCount() const { return int(ModeList::modes().size()); }
    QString ModeName(int index) const;
    void setMode(int channel, const QString& name);
    int modeIndex(int channel) const;
    QString LangName(int channel) const;
    void setSpeed(int channel, double baud);
    double Speed(int channel) const;
    int RxCarrier(int channel) const;
    void setRxCarrier(int channel, int hz);
    int TxCarrier() const { return int(std::lround(txCarrier_)); }
    void setTxCarrier(double hz);
    void setChannelOn(int channel, bool on);
    bool ChannelOn(int channel) const;
    void setAfc(int channel, bool on);
    void setNetOn(bool on);
    bool NetOn() const { return netOn_; }
    int SignalToNoise(int channel) const;
    // Off, the modem is parked: it ignores what it hears, sends silence and drops a
    // transmission at once. On (as it starts) it works.
    void setModemActive(bool active);
    bool ModemActive() const { return active_; }

    // Displays and filters.
    int ScopeKind = 0; // 0 none, 1 sync scope, 2 wave scope
    int BpfIndex() const { return bpfIndex_; }
    void setBpfIndex(int index); // 0 off; 1..3 ever narrower around channel 0's carrier
    static double bpfWidth(int index);
    // PSK carries 7-bit ASCII (varicode's alphabet), RTTY upper-case letters, figures and
    // signs; characters with no code are left out. The character set only tells the
    // terminal's fonts how to show text, so it is taken and has no effect on the air.
    void setCharset(int channel, int charset);
    int FontCharset() const { return 0; } // the fonts are Unicode
    // The displays are widgets bound to the modem itself, so there is no handle to pass.
    long DrawHandle() const { return 0; }

    // Sound devices: "input,output" device numbers, -1 for the default device.
    void setSoundDevices(const QString& devices);
    int inputDevice() const { return inputDevice_; }
    int outputDevice() const { return outputDevice_; }

    // The PTT port (when one is attached).
    void attachPtt(PttPort* ptt);
    void setPortName(const QString& name);
    QString PortName() const;
    int PortState() const;

    // Notches.
    void AddNotch(int hz);
    void DeleteNotch(int index); // -1: all
    int NotchCount() const { return int(notches_.size()); }
    int notchFrequency(int index) const;

    // Transmitting.
    void setTransmit(bool on);
    bool Transmit() const { return txState_ != 0; }
    void setReturnToRx(bool on);
    void SendText(const QString& text);
    // Where a transmission takes its next character from when its queue runs dry: the
    // transmit box, which gives one character (or none) at a time so that the operator can
    // still edit what has not gone.
    void setCharacterSource(std::function<QString()> source) { characterSource_ = std::move(source); }
    int TxPending() const { return int(txQueue_.size()); }
    void TxControl(int command);
    int txState() const { return txState_; }

    // Audio.
    void receive(const float* samples, size_t count);
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
    void soundFailed(const QString& why) override { emit SoundFailed(why); }

signals:
    void CharReceived(int channel, QChar character);
    void SoundFailed(const QString& why);
    void TxStateChanged(int state);
    void TxRxSwitched(bool toTransmit);
    void RxCarrierChanged(int channel, int hz);
    void TxCarrierChanged(int hz);
    void SpeedChanged(int channel, double baud);
    void ModeChanged(int channel, int index, const QString& name);
    void NetChanged(bool on);
    void FftReady();
    void TimingReport(int channel, int value, bool inHundredthsOfMs);
    void DisplayUpdate();

private:
    struct Channel;
    void rebuildReceiver(int channel);
    void reportTiming();
    void followAfc(int channel); // reports a carrier the AFC has moved
    void setTxState(int state);
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
    int txState_ = 0;
    bool returnToRx_ = false;
    bool tailSent_ = false; // the buffer holds the end of the transmission
    QString txQueue_;
    std::vector<float> txBuffer_;
    size_t txRead_ = 0;
    std::unique_ptr<Modulator> modulator_; // made afresh for each transmission
    std::function<QString()> characterSource_;
};
