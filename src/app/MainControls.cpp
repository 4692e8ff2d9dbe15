#include "MainControls.h"

#include "common/ControlStore.h"
#include "common/Controls.h"
#include "chat/ChatControls.h"
#include "platform/serial/PortNames.h"

namespace {

void setTexts(ControlStore& store, std::initializer_list<std::pair<QString, QString>> texts) {
    for (const auto& [name, text] : texts)
        store.setText(name, text);
}

} // namespace

QStringList radioLineIndicators() {
    return {Ctl::RTS, Ctl::DTR, Ctl::CTS, Ctl::DSR, Ctl::TD, Ctl::RD, Ctl::CD};
}

void populateMainControls(ControlStore& store, const QStringList& foundDevices) {
    store.setItems(Ctl::Soft1Com, PortNames::radioPortList(foundDevices));
    store.setValue(Ctl::Soft1Com, -1);
    store.setItems(Ctl::Soft2com, PortNames::keyerPortList(foundDevices));
    store.setValue(Ctl::Soft2com, -1);
    store.setItems(Ctl::Combo1, {"LSB", "USB", "CW", "FM", "AM", "RTTY", "CWR"});
    store.setValue(Ctl::Combo1, 2);

    setTexts(store, {
                        {Ctl::Command1, "Port 1 and 2 Start"},
                        {Ctl::Command2, "Stop Ports"},
                        {Ctl::Label17, "Set DTR/RTS ON on Virtual Connections"},
                        {Ctl::Label7, "Login OK"},
                        {Ctl::Label12, "Xmit to IP:"},
                        {Ctl::Label16, "Rcv from IP:"},
                        {Ctl::Label15, " Status"},
                        {Ctl::Command4, "Close"},
                        {Ctl::StartFreq, "14000.00"},
                        {Ctl::Command6, "Send to Radio"},
                        {Ctl::CwDaemonOn, "cwdaemon (UDP)"},
                        {Ctl::CwDaemonAddress, "127.0.0.1:6789"},
                        {Ctl::CwDaemonState, "cwdaemon off"},
                        {Ctl::RigctlOn, "Hamlib rigctl (TCP)"},
                        {Ctl::RigctlAddress, "127.0.0.1:4532"},
                        {Ctl::RigctlState, "Hamlib rigctl off"},
                        {Ctl::CwHoldBack, "Hold CW back (Esc stops it), seconds ahead"},
                        {Ctl::CwLead, "2"},
                        {Ctl::Command9, "Send to Corvel"},
                        {Ctl::Check1, "Monitor Data"},
                        {Ctl::Command7, "Clear"},
                        {Ctl::SideTone, "Local Side Tone"},
                        {Ctl::Hertz, "800"},
                        {Ctl::CWSpeed, "24"},
                        {Ctl::Command5, "Apply"},
                        {Ctl::EnableGuard, "Enable Guard"},
                        {Ctl::GuardTime, "180"},
                        {Ctl::EnableActive, "Non Activity Time"},
                        {Ctl::ActiveTime, "180"},
                        {Ctl::KeyRTTY, "Key RTTY"},
                        {Ctl::IAMASERVER, "I Am A Server"},
                        {Ctl::Label11, "Frequency\nChat"},
                        {Ctl::Text2, "Important. Start and connect Corvel \r\n"
                                     "first then start this app. When closing \r\n"
                                     "close this app first then Corvel"},
                        {Ctl::MenuLoad, "Load"},
                        {Ctl::MenuSave, "Save"},
                        {Ctl::MenuExit, "Exit"},
                        {Ctl::Connect, "Connect Corvel"},
                        {Ctl::Dig, "Digital"},
                        {Ctl::Expand, "Expand"},
                        {Ctl::Chat, "Chat"},
                        {Ctl::Abt, "About"},
                        {Ctl::hlp, "Help"},
                    });
    store.setValue(Ctl::VScroll1, -500);

    for (const QString& light : radioLineIndicators())
        store.setColour(light, Colours::kLedOff);
    for (const QString& light : {Ctl::RCVIP, Ctl::Shape2})
        store.setColour(light, Colours::kLedOff);
    store.setColour(Ctl::Shape4, Colours::kRed);
    store.setColour(Ctl::Shape1, Colours::kGreen);
    store.setColour(Ctl::Shape3, Colours::kGreen);
    store.setColour(Ctl::Shape5, Colours::kGreen);
    for (const QString& shown : {Ctl::Shape1, Ctl::Shape3, Ctl::Shape4, Ctl::Shape5})
        store.setVisible(shown, false);
}

void populateChatControls(ControlStore& chat) {
    setTexts(chat, {
                       {ChatCtl::Command2, "Send"},
                       {ChatCtl::Command3, "Clear"},
                       {ChatCtl::Command4, "Clear"},
                       {ChatCtl::ClearAS, "Clear after send"},
                       {ChatCtl::EnterKey, "Send on Enter Key"},
                       {ChatCtl::Command5, "Log"},
                       {ChatCtl::Command6, "Del Log"},
                       {ChatCtl::Command1, "Close"},
                   });
    chat.setVisible(ChatCtl::Command6, false);
}
