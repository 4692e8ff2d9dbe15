// The terminal's lists, menus, tool buttons and display: what each choice does to the modem.
#include "Terminal.h"

#include "common/NumericText.h"
#include "platform/Dialogs.h"
#include "platform/sound/SoundDuplex.h"

#include <QDir>
#include <QSettings>

using namespace TermCtl;

void Terminal::setDown(const QString& name, bool down) {
    store_.setValue(name, down ? 1 : 0);
}

void Terminal::modeChosen(int channel) {
    modem_.setMode(channel, store_.text(at(modeChoice, channel)));
}

void Terminal::speedChosen(int channel) {
    modem_.setSpeed(channel, NumericText::numericValue(store_.text(at(speedChoice, channel))));
}

void Terminal::rxCarrierChosen() {
    modem_.setReceiveCarrier(0, NumericText::integerValue(store_.text(receiveCarrierBox)));
}

void Terminal::txCarrierChosen() {
    modem_.setTransmitCarrier(NumericText::numericValue(store_.text(transmitCarrierBox)));
}

void Terminal::fillSoundMenus() {
    auto fill = [this](const QString& defaultEntry, const QString& prefix,
                       const QString& defaultName, const QStringList& devices) {
        store_.setText(defaultEntry, defaultName.isEmpty()
                                         ? QStringLiteral("System default")
                                         : QStringLiteral("System default (%1)").arg(defaultName));
        for (int i = 0; i < kSoundEntries; ++i) {
            const QString caption = i < devices.size() ? devices[i] : QString();
            store_.setText(prefix + QString::number(i), caption);
            store_.setVisible(prefix + QString::number(i), !caption.isEmpty());
        }
    };
    fill(defaultTransmitSoundMenu, transmitSoundMenu, platform_.defaultOutput,
         platform_.outputDevices);
    fill(defaultReceiveSoundMenu, receiveSoundMenu, platform_.defaultInput, platform_.inputDevices);
}

void Terminal::soundMenuClicked(const QString& entry) {
    const bool transmit = entry.startsWith(transmitSoundMenu) || entry == defaultTransmitSoundMenu;
    const QString defaultEntry = transmit ? defaultTransmitSoundMenu : defaultReceiveSoundMenu;
    const QString prefix = transmit ? transmitSoundMenu : receiveSoundMenu;
    store_.setValue(defaultEntry, entry == defaultEntry ? 1 : 0);
    for (int i = 0; i < kSoundEntries; ++i)
        store_.setValue(prefix + QString::number(i), entry == prefix + QString::number(i) ? 1 : 0);
    applySoundDevices();
}

QString Terminal::soundEntry(bool transmit) const {
    const QString defaultEntry = transmit ? defaultTransmitSoundMenu : defaultReceiveSoundMenu;
    const QString prefix = transmit ? transmitSoundMenu : receiveSoundMenu;
    QString entry = store_.isTicked(defaultEntry) ? QStringLiteral("-1") : QString();
    for (int i = 0; i < kSoundEntries; ++i) {
        if (store_.isTicked(prefix + QString::number(i)))
            entry = QString::number(i);
    }
    return entry;
}

void Terminal::applySoundDevices() {
    modem_.setSoundDevices(soundEntry(false) + u',' + soundEntry(true));
    startSound();
}

void Terminal::startSound() {
    if (context_.closing)
        return;
    platform_.sound.stop();
    QString why;
    if (!platform_.sound.start(modem_, modem_.inputDevice(), modem_.outputDevice(), &why)) {
        context_.soundLost = why;
        store_.setText(soundStatus,
                       QStringLiteral("Sound card not open: %1. Trying again every %2 s")
                           .arg(why)
                           .arg(kSoundRetryMs / 1000));
        soundRetry_.start();
        return;
    }
    soundRetry_.stop();
    context_.soundLost.clear();
    auto name = [this](bool transmit, int device) {
        const QString entry =
            device < 0
                ? (transmit ? defaultTransmitSoundMenu : defaultReceiveSoundMenu)
                : (transmit ? transmitSoundMenu : receiveSoundMenu) + QString::number(device);
        return store_.text(entry);
    };
    store_.setText(soundStatus,
                   QStringLiteral("Hearing %1, sending to %2")
                       .arg(name(false, modem_.inputDevice()), name(true, modem_.outputDevice())));
}

void Terminal::retrySound() {
    startSound();
}

// The sound card (or the sound server) went away. A transmission cannot go on without it and
// must not hold the station keyed: it ends as TXOFF ends it. Then the devices are tried again.
void Terminal::onSoundFailed(const QString& why) {
    const bool sending =
        modem_.isTransmitting() || transmit_.isSendingMacro() || fileSender_.isSending();
    if (sending)
        transmit_.txOffClicked();
    context_.soundLost = why;
    const QString retry = QStringLiteral("Trying it again every %1 s").arg(kSoundRetryMs / 1000);
    store_.setText(
        soundStatus,
        sending ? QStringLiteral("Sound card gone while sending (%1): transmission ended, "
                                 "transmitter keyed up. %2")
                      .arg(why, retry)
                : QStringLiteral("Sound card gone (%1): nothing is heard. %2").arg(why, retry));
    if (!context_.closing)
        soundRetry_.start();
}

void Terminal::showDualControls(bool dual) {
    for (const QString& name : secondChannelControls())
        store_.setVisible(name, dual);
    geometry_.height = dual ? 5535 + 800 : 4800;
    emit geometryRequested(geometry_);
}

void Terminal::setLargeFont(bool on) {
    largeFont_ = on;
    emit fontSizeChanged(fontSize());
}

void Terminal::largeFontClicked() {
    setLargeFont(!largeFont_);
}

void Terminal::frontClicked() {
    if (store_.isTicked(alwaysOnTopCheck))
        emit topMostRequested(); // unticking takes effect when the window next opens
}

void Terminal::scrollChanged() {
    scrollPos_ = store_.value(displayStartBar);
    emit displayChanged();
}

void Terminal::afcClicked(int channel) {
    modem_.setAfc(channel, store_.isTicked(at(afcButton, channel)));
}

void Terminal::netClicked() {
    modem_.setNetOn(store_.isTicked(netButton));
}

void Terminal::bpfClicked(int index) {
    modem_.setBandPassIndex(index);
    syncButtons();
}

void Terminal::fftClicked(int index) {
    // The buttons: FFT, W.F., SYN (the symbol scope), WAV (the wave).
    static constexpr DisplayKind kDisplays[] = {DisplayKind::Spectrum, DisplayKind::Waterfall,
                                                DisplayKind::Scope, DisplayKind::Scope};
    static constexpr Modem::ScopeKind kScopes[] = {Modem::ScopeKind::None, Modem::ScopeKind::None,
                                                   Modem::ScopeKind::Sync, Modem::ScopeKind::Wave};
    if (index < 0 || index > 3)
        return;
    display_ = kDisplays[index];
    modem_.scopeKind = kScopes[index];
    syncButtons();
    emit displayChanged();
}

void Terminal::dualClicked() {
    if (dualLatched_) {
        dualLatched_ = false;
        setDown(dualButton, false);
        showDualControls(false);
    } else {
        setDown(dualButton, true);
        dualLatched_ = true;
        showDualControls(true);
    }
}

int Terminal::viewIndex() const {
    if (display_ != DisplayKind::Scope)
        return int(display_);
    return modem_.scopeKind == Modem::ScopeKind::Sync ? 2 : 3;
}

void Terminal::syncButtons() {
    for (int i = 0; i < 4; ++i) {
        setDown(at(viewButton, i), viewIndex() == i);
        setDown(at(bandPassButton, i), modem_.bandPassIndex() == i);
    }
}

void Terminal::applyDisplayKind() {
    if (store_.isTicked(at(viewButton, 2)))
        fftClicked(2);
    else if (store_.isTicked(at(viewButton, 3)))
        fftClicked(3);
    else if (store_.isTicked(at(viewButton, 1)))
        fftClicked(1);
    else
        fftClicked(0);
}

bool Terminal::displayClicked(int hz, bool rightButton, int notchAtPointer, int channel) {
    if (!rightButton) {
        // A click ends a carrier search where it stands; otherwise the display tunes the
        // channel to the signal clicked on, as operators expect of a waterfall.
        if (search_.isRunning())
            search_.stop();
        else
            tuneChannel(channel, hz);
        return false;
    }
    if (notchAtPointer != 0) {
        modem_.deleteNotch(notchAtPointer - 1);
        return false;
    }
    clickFreq_ = hz;
    marker_ = hz;
    store_.setEnabled(deleteNotchesMenu, modem_.notchCount() > 0);
    emit displayChanged();
    return true;
}

void Terminal::tuneChannel(int channel, int hz) {
    modem_.setReceiveCarrier(channel, hz);
    if (channel == 0)
        store_.setText(receiveCarrierBox, QString::number(modem_.receiveCarrier(0)));
    else
        store_.setText(secondCarrierLabel, QString::number(modem_.receiveCarrier(1)) + "Hz");
}

void Terminal::popupClosed() {
    marker_ = 0;
    emit displayChanged();
}

void Terminal::setNotchHere() {
    modem_.addNotch(clickFreq_);
}

void Terminal::deleteAllNotches() {
    modem_.deleteNotch(-1);
}

void Terminal::txCarrierHere() {
    modem_.setTransmitCarrier(clickFreq_);
}

void Terminal::levelClicked(int level, int screenX, int screenY) {
    levelClickInfo_ = {QString::number(level), QString::number(screenX), QString::number(screenY)};
}

void Terminal::sendFile() {
    if (context_.closing)
        return;
    fileTarget_ = kFileTargetTerminal;
    emit directoryRequested();
}

void Terminal::help() {
    platform_.dialogs.showMessage(helpText());
}

QString Terminal::helpText() {
    static const char* const lines[] = {
        "TX - Toggle xmit on/off ",
        "TXOFF - toggle xmit off ",
        "F2 - Same as F2 on contest log screen ",
        "Z - Zoom large window ",
        "Talk - When on Vantor will speak the RTTY text as it comes in ",
        "BPF 1 2 3 4 - Filters ",
        "Third Dropdown - Speed of transmission ",
        "Clear - Clear the adjacent list ",
        "List - The list next to the clear button will populate everytime it sees a call ",
        "       that is in the master data base or the QRZ data base (If loaded). ",
        "AFC - Automatic frequency adjust ",
        "Dual - Display dual receive screens ",
        "FFT - Display signal in FFT format ",
        "W.F. - Display signal as a water fall ",
        "F - Toggle always on top",
        "NOTE: Besides the list, you can call a contact by left clicking on the callsign in the "
        "text window. If the input screen call sign is populated the exchange that you click on "
        "will populate the input screen at the cursor postion.",
        "If you are using a virtual audio cable it is usually sound source #1 for non SDR.",
    };
    QString text;
    for (const char* line : lines)
        text += QString::fromLatin1(line) + u'\n';
    return text + u'\n';
}

void Terminal::setBrowsing(BrowsingFor reason, bool on) {
    const bool was = isBrowsing();
    (reason == BrowsingFor::Window ? browsingForWindow_ : browsingForSpots_) = on;
    if (!isBrowsing()) {
        modem_.setListener({});
        return;
    }
    if (was)
        return; // it listens already
    browser_.setMode(ModeList::modes()[modem_.modeIndex(0)], modem_.speed(0));
    // What the operator chose in the browser's window holds when it skims in the background.
    const QSettings chosen(QDir(platform_.folder).filePath(SignalBrowser::kSettingsFile),
                           QSettings::IniFormat);
    browser_.setListensForCw(chosen.value(QStringLiteral("listenFor")).toString() == QStringLiteral("cw"));
    browser_.setCallsignLookup([this](const QString& word) { return callsigns_.callsignIn(word); });
    modem_.setListener([this](const float* samples, size_t count) {
        browser_.receive(std::span<const float>(samples, count));
    });
}

void Terminal::tuneToSignal(double hz) {
    // As a click on the display tunes: the receive box follows, so that a carrier search
    // starts from here (it used to move the modem alone, the box kept the old carrier).
    tuneChannel(0, int(std::lround(hz)));
}
