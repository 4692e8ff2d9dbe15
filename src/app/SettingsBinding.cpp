#include "SettingsBinding.h"

#include "common/ControlStore.h"
#include "common/Controls.h"

namespace SettingsBinding {
namespace {

void applyIndex(ControlStore& store, const QString& list, int index) {
    if (index >= 0 && index < store.items(list).size())
        store.setValue(list, index);
}

void applyTick(ControlStore& store, const QString& box, int value) {
    if (value == 0 || value == 1)
        store.setValue(box, value);
}

void applyListText(ControlStore& store, const QString& list, const QString& text) {
    if (store.items(list).contains(text))
        store.selectItem(list, text);
}

} // namespace

MainSettings fromControls(const ControlStore& store) {
    MainSettings s;
    s.radioPort = store.text(Ctl::radioPortChoice);
    s.frequencyKhz = store.text(Ctl::frequencyBox);
    s.serverAddress = store.text(Ctl::serverAddressBox);
    s.serverPort = store.text(Ctl::serverPortBox);
    s.loginCallsign = store.text(Ctl::loginCallsignBox);
    s.loginPassword = store.text(Ctl::loginPasswordBox);
    s.modeIndex = store.value(Ctl::modeChoice);
    s.keyerPortIndex = store.value(Ctl::keyerPortChoice);
    s.sideToneOn = store.value(Ctl::sideToneCheck);
    s.sideTonePitch = store.text(Ctl::sideTonePitchBox);
    s.cwSpeed = store.text(Ctl::cwSpeedBox);
    s.sideToneVolume = store.value(Ctl::sideToneVolume);
    s.guardTime = store.text(Ctl::guardTimeBox);
    s.guardOn = store.value(Ctl::guardCheck);
    s.inactivityTime = store.text(Ctl::inactivityTimeBox);
    s.inactivityOn = store.value(Ctl::inactivityCheck);
    s.rttyKeyingOn = store.value(Ctl::rttyKeyingCheck);
    s.chatServerOn = store.value(Ctl::chatServerCheck);
    s.chatPort = store.text(Ctl::chatPortBox);
    return s;
}

void applyToControls(const MainSettings& s, ControlStore& store) {
    applyListText(store, Ctl::radioPortChoice, s.radioPort);
    store.setText(Ctl::frequencyBox, s.frequencyKhz);
    store.setText(Ctl::serverAddressBox, s.serverAddress);
    store.setText(Ctl::serverPortBox, s.serverPort);
    store.setText(Ctl::loginCallsignBox, s.loginCallsign);
    store.setText(Ctl::loginPasswordBox, s.loginPassword);
    applyIndex(store, Ctl::modeChoice, s.modeIndex);
    applyIndex(store, Ctl::keyerPortChoice, s.keyerPortIndex);
    applyTick(store, Ctl::sideToneCheck, s.sideToneOn);
    store.setText(Ctl::sideTonePitchBox, s.sideTonePitch);
    store.setText(Ctl::cwSpeedBox, s.cwSpeed);
    if (s.sideToneVolume >= kVolumeMin && s.sideToneVolume <= kVolumeMax)
        store.setValue(Ctl::sideToneVolume, s.sideToneVolume);
    store.setText(Ctl::guardTimeBox, s.guardTime);
    applyTick(store, Ctl::guardCheck, s.guardOn);
    store.setText(Ctl::inactivityTimeBox, s.inactivityTime);
    applyTick(store, Ctl::inactivityCheck, s.inactivityOn);
    applyTick(store, Ctl::rttyKeyingCheck, s.rttyKeyingOn);
    applyTick(store, Ctl::chatServerCheck, s.chatServerOn);
    store.setText(Ctl::chatPortBox, s.chatPort);
}

} // namespace SettingsBinding
