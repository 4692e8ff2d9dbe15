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
    return {Ctl::rtsLight, Ctl::dtrLight, Ctl::ctsLight, Ctl::dsrLight,
            Ctl::tdLight,  Ctl::rdLight,  Ctl::cdLight};
}

void populateMainControls(ControlStore& store, const QStringList& foundDevices) {
    store.setItems(Ctl::radioPortChoice, PortNames::radioPortList(foundDevices));
    store.setValue(Ctl::radioPortChoice, -1);
    store.setItems(Ctl::keyerPortChoice, PortNames::keyerPortList(foundDevices));
    store.setValue(Ctl::keyerPortChoice, -1);
    store.setItems(Ctl::modeChoice, {"LSB", "USB", "CW", "FM", "AM", "RTTY", "CWR"});
    store.setValue(Ctl::modeChoice, 2);

    setTexts(store, {
                        {Ctl::startPortsButton, "Port 1 and 2 Start"},
                        {Ctl::stopPortsButton, "Stop Ports"},
                        {Ctl::virtualLinesNote, "Set DTR/RTS ON on Virtual Connections"},
                        {Ctl::loginLabel, "Login OK"},
                        {Ctl::transmitToLabel, "Xmit to IP:"},
                        {Ctl::receiveFromLabel, "Rcv from IP:"},
                        {Ctl::linkStatusLabel, " Status"},
                        {Ctl::closeLinkButton, "Close"},
                        {Ctl::frequencyBox, "14000.00"},
                        {Ctl::sendToRadioButton, "Send to Radio"},
                        {Ctl::cwDaemonCheck, "cwdaemon (UDP)"},
                        {Ctl::cwDaemonAddressBox, "127.0.0.1:6789"},
                        {Ctl::cwDaemonState, "cwdaemon off"},
                        {Ctl::rigctlCheck, "Hamlib rigctl (TCP)"},
                        {Ctl::rigctlAddressBox, "127.0.0.1:4532"},
                        {Ctl::rigctlState, "Hamlib rigctl off"},
                        {Ctl::spotsCheck, "Spots, DX cluster (TCP)"},
                        {Ctl::spotsAddressBox, "127.0.0.1:7300"},
                        {Ctl::spotsState, "Spots off"},
                        {Ctl::cwHoldBackCheck, "Hold CW back (Esc stops it), seconds ahead"},
                        {Ctl::cwLeadBox, "2"},
                        {Ctl::sendToServerButton, "Send to Corvel"},
                        {Ctl::monitorDataCheck, "Monitor Data"},
                        {Ctl::clearMonitorsButton, "Clear"},
                        {Ctl::sideToneCheck, "Local Side Tone"},
                        {Ctl::sideTonePitchBox, "800"},
                        {Ctl::cwSpeedBox, "24"},
                        {Ctl::applySideToneButton, "Apply"},
                        {Ctl::guardCheck, "Enable Guard"},
                        {Ctl::guardTimeBox, "180"},
                        {Ctl::inactivityCheck, "Non Activity Time"},
                        {Ctl::inactivityTimeBox, "180"},
                        {Ctl::rttyKeyingCheck, "Key RTTY"},
                        {Ctl::chatServerCheck, "I Am A Server"},
                        {Ctl::frequencyChatLabel, "Frequency\nChat"},
                        {Ctl::startupNote, "Important. Start and connect Corvel \r\n"
                                           "first then start this app. When closing \r\n"
                                           "close this app first then Corvel"},
                        {Ctl::loadMenu, "Load"},
                        {Ctl::saveMenu, "Save"},
                        {Ctl::exitMenu, "Exit"},
                        {Ctl::connectMenu, "Connect Corvel"},
                        {Ctl::digitalMenu, "Digital"},
                        {Ctl::expandMenu, "Expand"},
                        {Ctl::chatMenu, "Chat"},
                        {Ctl::aboutMenu, "About"},
                        {Ctl::helpMenu, "Help"},
                    });
    store.setValue(Ctl::sideToneVolume, -500);

    for (const QString& light : radioLineIndicators())
        store.setColour(light, Colours::kLedOff);
    for (const QString& light : {Ctl::receiveLight, Ctl::keyedLight})
        store.setColour(light, Colours::kLedOff);
    store.setColour(Ctl::connectedLight, Colours::kRed);
    store.setColour(Ctl::loginLight, Colours::kGreen);
    store.setColour(Ctl::portOpenLight, Colours::kGreen);
    store.setColour(Ctl::chatLight, Colours::kGreen);
    for (const QString& shown :
         {Ctl::loginLight, Ctl::portOpenLight, Ctl::connectedLight, Ctl::chatLight})
        store.setVisible(shown, false);
}

void populateChatControls(ControlStore& chat) {
    setTexts(chat, {
                       {ChatCtl::sendButton, "Send"},
                       {ChatCtl::clearDisplayButton, "Clear"},
                       {ChatCtl::clearEntryButton, "Clear"},
                       {ChatCtl::clearAfterSendCheck, "Clear after send"},
                       {ChatCtl::sendOnEnterCheck, "Send on Enter Key"},
                       {ChatCtl::logButton, "Log"},
                       {ChatCtl::deleteLogButton, "Del Log"},
                       {ChatCtl::closeButton, "Close"},
                   });
    chat.setVisible(ChatCtl::deleteLogButton, false);
}
