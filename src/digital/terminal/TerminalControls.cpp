#include "TerminalControls.h"

#include "common/ControlStore.h"

QStringList TermCtl::secondChannelControls() {
    return {at(CBMode, 1), at(CBSpeed, 1), at(BtnAFC, 1), LFQ,
            at(LSN, 1),    at(XMMVLvl, 1), XMMVView1,     at(RxWindow, 1)};
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
        {Command1, "Clear"},
        {Command4, "<"},
        {Command5, ">"},
        {Command6, "&Z"},
        {Front, "F"},
        {BtnTX, "TX"},
        {BtnTXOFF, "TXOFF"},
        {BtnNET, "NET"},
        {BtnCW, "CW"},
        {Dual, "Dual"},
        {TalkBTN, "Talk"},
        {ZoomBTN, "Z"},
        {ex, "Exit"},
        {SFile, "Send File"},
        {HH, "Help"},
        {DF, "Default"},
        {TXDF, "Default"},
        {mnuSetNotch, "&Set notch on here"},
        {mnuDelAllNotches, "&Delete all notches"},
        {mnuTxCarrier, "Set &TX Carrier on here"},
    };
    for (const auto& [name, caption] : captions)
        store.setText(name, caption);
    const QStringList views = {"FFT", "W.F.", "SYN", "WAV"};
    for (int i = 0; i < 4; ++i) {
        store.setText(at(BtnFFT, i), views[i]);
        store.setText(at(BtnBPF, i), QStringLiteral("BPF%1").arg(i + 1));
    }
    for (int ch = 0; ch < 2; ++ch) {
        store.setText(at(BtnAFC, ch), QStringLiteral("AFC"));
        store.setText(at(LSN, ch), QStringLiteral("S/N=0dB"));
        store.setItems(at(CBMode, ch), {});
    }
    store.setText(CBRX, QStringLiteral("1500"));
    store.setText(CBTX, QStringLiteral("1500"));
    store.setItems(List1, {});
    for (const QString& name : secondChannelControls())
        store.setVisible(name, false);
}
