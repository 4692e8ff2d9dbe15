#include "TerminalControls.h"

#include "common/ControlStore.h"

QStringList TermCtl::secondChannelControls() {
    return {at(modeChoice, 1),         at(speedChoice, 1), at(afcButton, 1),   secondCarrierLabel,
            at(signalToNoiseLabel, 1), at(levelMeter, 1),  secondSpectrumView, at(receiveBox, 1)};
}

QStringList TermCtl::speedItems(int channel) {
    if (channel == 0)
        return {"15.625", "31.25", "45.45", "62.5", "75.0", "125.0", "250.0"};
    return {"15.625", "31.25", "45.45", "62.5", "125.0", "250.0"};
}

QStringList TermCtl::carrierItems() {
    return {"1200", "1500", "1750", "2000"};
}

void populateTerminalControls(ControlStore& store) {
    using namespace TermCtl;
    const std::pair<QString, QString> captions[] = {
        {clearCallsignsButton, "Clear"},
        {searchDownButton, "<"},
        {searchUpButton, ">"},
        {largeFontButton, "&Z"},
        {alwaysOnTopCheck, "F"},
        {transmitButton, "TX"},
        {transmitOffButton, "TXOFF"},
        {netButton, "NET"},
        {cwIdButton, "CW"},
        {dualButton, "Dual"},
        {talkButton, "Talk"},
        {zoomButton, "Z"},
        {exitMenu, "Exit"},
        {sendFileMenu, "Send File"},
        {helpMenu, "Help"},
        {signalBrowserMenu, "Signal Browser"},
        {defaultReceiveSoundMenu, "Default"},
        {defaultTransmitSoundMenu, "Default"},
        {setNotchMenu, "&Set notch on here"},
        {deleteNotchesMenu, "&Delete all notches"},
        {transmitCarrierMenu, "Set &TX Carrier on here"},
    };
    for (const auto& [name, caption] : captions)
        store.setText(name, caption);
    const QStringList views = {"FFT", "W.F.", "SYN", "WAV"};
    for (int i = 0; i < 4; ++i) {
        store.setText(at(viewButton, i), views[i]);
        store.setText(at(bandPassButton, i), QStringLiteral("BPF%1").arg(i + 1));
    }
    for (int ch = 0; ch < 2; ++ch) {
        store.setText(at(afcButton, ch), QStringLiteral("AFC"));
        store.setText(at(signalToNoiseLabel, ch), QStringLiteral("S/N=0dB"));
        store.setItems(at(modeChoice, ch), {});
    }
    store.setText(receiveCarrierBox, QStringLiteral("1500"));
    store.setText(transmitCarrierBox, QStringLiteral("1500"));
    store.setItems(callsignList, {});
    for (const QString& name : secondChannelControls())
        store.setVisible(name, false);
}
