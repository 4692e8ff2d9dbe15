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
    s.soft1Com = store.text(Ctl::Soft1Com);
    s.startFreq = store.text(Ctl::StartFreq);
    s.remoteIP = store.text(Ctl::RemoteIP);
    s.remotePort = store.text(Ctl::RemotePort);
    s.callsign = store.text(Ctl::Callsign);
    s.password = store.text(Ctl::Password);
    s.combo1 = store.value(Ctl::Combo1);
    s.soft2com = store.value(Ctl::Soft2com);
    s.sideTone = store.value(Ctl::SideTone);
    s.hertz = store.text(Ctl::Hertz);
    s.cwSpeed = store.text(Ctl::CWSpeed);
    s.vScroll1 = store.value(Ctl::VScroll1);
    s.guardTime = store.text(Ctl::GuardTime);
    s.enableGuard = store.value(Ctl::EnableGuard);
    s.activeTime = store.text(Ctl::ActiveTime);
    s.enableActive = store.value(Ctl::EnableActive);
    s.keyRTTY = store.value(Ctl::KeyRTTY);
    s.iAmAServer = store.value(Ctl::IAMASERVER);
    s.chatPort = store.text(Ctl::ChatPort);
    return s;
}

void applyToControls(const MainSettings& s, ControlStore& store) {
    applyListText(store, Ctl::Soft1Com, s.soft1Com);
    store.setText(Ctl::StartFreq, s.startFreq);
    store.setText(Ctl::RemoteIP, s.remoteIP);
    store.setText(Ctl::RemotePort, s.remotePort);
    store.setText(Ctl::Callsign, s.callsign);
    store.setText(Ctl::Password, s.password);
    applyIndex(store, Ctl::Combo1, s.combo1);
    applyIndex(store, Ctl::Soft2com, s.soft2com);
    applyTick(store, Ctl::SideTone, s.sideTone);
    store.setText(Ctl::Hertz, s.hertz);
    store.setText(Ctl::CWSpeed, s.cwSpeed);
    if (s.vScroll1 >= kVolumeMin && s.vScroll1 <= kVolumeMax)
        store.setValue(Ctl::VScroll1, s.vScroll1);
    store.setText(Ctl::GuardTime, s.guardTime);
    applyTick(store, Ctl::EnableGuard, s.enableGuard);
    store.setText(Ctl::ActiveTime, s.activeTime);
    applyTick(store, Ctl::EnableActive, s.enableActive);
    applyTick(store, Ctl::KeyRTTY, s.keyRTTY);
    applyTick(store, Ctl::IAMASERVER, s.iAmAServer);
    store.setText(Ctl::ChatPort, s.chatPort);
}

} // namespace SettingsBinding
