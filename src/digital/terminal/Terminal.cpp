#include "Terminal.h"

#include "digital/modem/ModeList.h"

#include "MmvariPos.h"
#include "common/NumericText.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/sound/SoundDuplex.h"

#include <QDir>
#include <QTime>

using namespace TermCtl;

Terminal::Terminal(TerminalPlatform platform, QObject* parent)
    : QObject(parent), platform_(std::move(platform)), modem_(SoundDuplex::kSampleRate),
      ptt_(platform_.ports), context_{.store = store_,
                                      .modem = modem_,
                                      .clock = platform_.clock,
                                      .dialogs = platform_.dialogs,
                                      .keyTransmitter = platform_.keyTransmitter,
                                      .soundLost = {}},
      receive_(context_, callsigns_), transmit_(context_), search_(context_),
      fileSender_(context_) {
    populateTerminalControls(store_);
    modem_.attachPtt(&ptt_);
    context_.closeDirectory = [this] { emit closeDirectoryRequested(); };
    context_.tuneReceiveCarrier = [this](int hz) { tuneChannel(0, hz); };
    connectModem();
    soundRetry_.setInterval(kSoundRetryMs);
    connect(&soundRetry_, &QTimer::timeout, this, &Terminal::retrySound);
    connect(&modem_, &Modem::soundLost, this, &Terminal::onSoundFailed);
}

Terminal::~Terminal() {
    soundRetry_.stop();
    if (callsignReader_) {
        *stopReadingCallsigns_ = true;
        callsignReader_->wait();
    }
    platform_.sound.stop();
    ptt_.setKeyed(false);
}

void Terminal::connectModem() {
    connect(&modem_, &Modem::characterReceived, &receive_, &ReceiveText::charReceived);
    modem_.setCharacterSource([this] { return transmit_.nextCharacter(); });
    // The browser listens for the mode and speed of channel 0.
    auto followChannel0 = [this](int channel) {
        if (channel == 0 && isBrowsing())
            browser_.setMode(ModeList::modes()[modem_.modeIndex(0)], modem_.speed(0));
    };
    connect(&modem_, &Modem::modeChanged, this,
            [followChannel0](int channel, int, const QString&) { followChannel0(channel); });
    connect(&modem_, &Modem::speedChanged, this,
            [followChannel0](int channel, double) { followChannel0(channel); });
    connect(&modem_, &Modem::transmitStateChanged, &transmit_,
            &TransmitText::onTransmitStateChanged);
    connect(&modem_, &Modem::transmittingChanged, this, &Terminal::showTxRxSwitch);
    connect(&modem_, &Modem::displaysDue, this, [this] {
        for (int ch = 0; ch < 2; ++ch)
            store_.setText(at(signalToNoiseLabel, ch),
                           QStringLiteral("S/N=%1dB").arg(modem_.signalToNoise(ch)));
    });
    connect(&modem_, &Modem::speedChanged, this, [this](int channel, double baud) {
        store_.setText(at(speedChoice, channel), NumericText::shortestDecimal(baud));
    });
    connect(&modem_, &Modem::timingReport, this, [this](int channel, int value, bool inMs) {
        store_.setText(at(timingLabel, channel),
                       inMs ? NumericText::shortestDecimal(value * 0.01) + "ms"
                            : QString::number(value) + "ppm");
    });
    connect(&modem_, &Modem::transmitCarrierChanged, this,
            [this](int hz) { store_.setText(transmitCarrierBox, QString::number(hz)); });
    connect(&modem_, &Modem::receiveCarrierChanged, this, [this](int channel, int hz) {
        if (channel == 0)
            store_.setText(receiveCarrierBox, QString::number(hz));
        else
            store_.setText(secondCarrierLabel, QString::number(hz) + "Hz");
    });
    connect(&modem_, &Modem::netChanged, this, [this](bool on) { setDown(netButton, on); });
    connect(&modem_, &Modem::modeChanged, this, [this](int channel, int index, const QString&) {
        store_.setValue(at(modeChoice, channel), index);
        store_.setText(languageLabel, modem_.alphabetName(channel));
    });
}

void Terminal::showTxRxSwitch(bool toTransmit) {
    const QString time = platform_.clock.now().time().toString(QStringLiteral("hh:mm:ss"));
    receive_.appendNote(0, QStringLiteral("<%1 %2>\n").arg(toTransmit ? "TX" : "RX", time));
}

void Terminal::load() {
    for (int i = 0; i < kFunctionKeys; ++i)
        store_.setText(at(functionKey, i), QString());
    fillSoundMenus();
    scrollPos_ = store_.value(displayStartBar);
    QStringList modes;
    for (int i = 0; i < modem_.modeCount(); ++i)
        modes << modem_.modeName(i);
    for (int ch = 0; ch < 2; ++ch) {
        store_.setItems(at(modeChoice, ch), modes);
        store_.setValue(at(modeChoice, ch), modem_.modeIndex(ch));
        store_.setText(at(speedChoice, ch), NumericText::shortestDecimal(modem_.speed(ch)));
    }
    store_.setText(languageLabel, modem_.alphabetName(0));
    store_.setText(receiveCarrierBox, QString::number(modem_.receiveCarrier(0)));
    store_.setText(transmitCarrierBox, QString::number(modem_.transmitCarrier()));
    store_.setText(secondCarrierLabel, QString::number(modem_.receiveCarrier(1)) + "Hz");
    syncButtons();
    modem_.setNetOn(store_.isTicked(netButton));
    modem_.setAfc(0, store_.isTicked(at(afcButton, 0)));
    modem_.setAfc(1, store_.isTicked(at(afcButton, 1)));
    modem_.setActive(true);
    modem_.setChannelOn(1, true);
    startReadingCallsigns();
    const auto lines = MmvariPos::read(QDir(platform_.folder).filePath(MmvariPos::kFileName));
    if (lines)
        applySettingsFile(*lines);
    else
        startSound(); // the modem's own default devices
}

void Terminal::startReadingCallsigns() {
    auto stop = std::make_shared<std::atomic_bool>(false);
    auto reading = std::make_shared<CallsignList::Reading>();
    const QString path = QDir(platform_.folder).filePath(CallsignList::kFileName);
    QThread* reader = QThread::create([path, stop, reading] { *reading = CallsignList::read(path, *stop); });
    connect(reader, &QThread::finished, this, [this, reading] {
        callsigns_.adopt(std::move(reading->calls));
        store_.setText(callsignListStatus, reading->problem);
        emit callsignsRead();
    });
    connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    callsignReader_ = reader;
    stopReadingCallsigns_ = stop;
    reader->start(QThread::LowPriority);
}

void Terminal::activated() {
    if (terminalActivated_)
        return;
    terminalActivated_ = true;
    context_.terminalActive = true;
}

void Terminal::unload(const TwipsRect& window) {
    if (context_.closing)
        return;
    context_.terminalActive = false;
    keyUpForClosing();
    geometry_ = window;
    QString why;
    if (!MmvariPos::write(QDir(platform_.folder).filePath(MmvariPos::kFileName), settingsLines(),
                          &why))
        qWarning("MMVARI.POS not written: %s", qPrintable(why));
    largeFont_ = false;
    emit finished();
}

// A closing terminal leaves nothing on the air: a transmission under way (typed, a macro or
// a file) ends here and the remote transmitter is keyed up before anything else goes.
void Terminal::keyUpForClosing() {
    const bool sending =
        modem_.isTransmitting() || transmit_.isSendingMacro() || fileSender_.isSending();
    context_.closing = true;
    search_.stop();
    transmit_.stop();
    fileSender_.stop();
    if (sending)
        context_.keyTransmitter(false);
    modem_.setTransmit(false);
    platform_.sound.stop();
    emit closeDirectoryRequested();
}

int Terminal::minimumHeightTwips() const {
    return store_.isVisible(at(modeChoice, 1)) ? 4600 : 2900;
}
