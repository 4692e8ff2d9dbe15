#pragma once

#include "CallsignList.h"
#include "CarrierSearch.h"
#include "DisplayKind.h"
#include "FileSender.h"
#include "ReceiveText.h"
#include "TerminalContext.h"
#include "TerminalControls.h"
#include "TransmitText.h"
#include "common/ControlStore.h"
#include "digital/browser/SignalBrowser.h"
#include "digital/modem/Modem.h"
#include "digital/modem/PttPort.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class BackendProvider;
class SoundDuplex;

// What the outside world gives the terminal.
struct TerminalPlatform {
    const Clock& clock;
    Dialogs& dialogs;
    BackendProvider& ports; // for the PTT port
    SoundDuplex& sound;
    QStringList inputDevices; // the sound devices, in the order the system lists them
    QStringList outputDevices;
    QString defaultInput; // the system's default devices, as the menus name them
    QString defaultOutput;
    std::function<void(bool)> keyTransmitter; // the remote transmitter, over the station link
    QString folder; // where MMVARI.POS and MASTER.SCP are (the working folder)
};

// A window position in twips (1/1440 inch), as the settings file keeps it.
struct TwipsRect {
    int top = 1000, left = 1000, height = 4800, width = 10800;
};

// The digital terminal's behaviour without its window: start-up and the settings file,
// the sound menus, the mode, speed and carrier lists, the tool buttons, the display and its
// pop-up menu, and the parts that receive and send.
class Terminal final : public QObject {
    Q_OBJECT
  public:
    inline static const QString kFileTargetTerminal = QStringLiteral("MMVARI");
    static constexpr int kSmallFont = 9;
    static constexpr int kLargeFont = 14;
    static constexpr int kSoundRetryMs = 3000;

    explicit Terminal(TerminalPlatform platform, QObject* parent = nullptr);
    ~Terminal() override;

    ControlStore& controls() { return store_; }
    Modem& modem() { return modem_; }
    TerminalContext& context() { return context_; }
    ReceiveText& receive() { return receive_; }
    TransmitText& transmit() { return transmit_; }
    CarrierSearch& search() { return search_; }
    FileSender& fileSender() { return fileSender_; }
    const CallsignList& callsigns() const { return callsigns_; }

    // While the sound card is gone: one more try to open the chosen devices (every few seconds).
    void retrySound();
    bool soundRetrying() const { return soundRetry_.isActive(); }

    // The window's life.
    void load();
    void activated();
    // Writes MMVARI.POS with the window's place and ends everything that is going on:
    // a transmission stops and the remote transmitter is keyed up first.
    void unload(const TwipsRect& window);
    bool isClosing() const { return context_.closing; }

    const TwipsRect& geometry() const { return geometry_; }
    int minimumHeightTwips() const;
    bool largeFont() const { return largeFont_; }
    int fontSize() const { return largeFont_ ? kLargeFont : kSmallFont; }
    bool isTopMost() const { return store_.isTicked(TermCtl::alwaysOnTopCheck); }
    QString fileTarget() const { return fileTarget_; }
    void clearFileTarget() { fileTarget_.clear(); }
    const QStringList& levelClickInfo() const { return levelClickInfo_; }

    // The display.
    DisplayKind display() const { return display_; }
    int scrollPos() const { return scrollPos_; }
    int marker() const { return marker_; }

    // Operator's choices (the control store holds the new value already).
    void modeChosen(int channel);
    void speedChosen(int channel);
    void rxCarrierChosen();
    void txCarrierChosen();
    void soundMenuClicked(const QString& entry);
    void applySoundDevices();
    void showDualControls(bool dual);
    void largeFontClicked();
    void frontClicked();
    void scrollChanged();
    void afcClicked(int channel);
    void netClicked();
    void bpfClicked(int index);
    void fftClicked(int index);
    void dualClicked();
    // A click on a channel's display: true when the notch pop-up menu is to be shown.
    bool displayClicked(int hz, bool rightButton, int notchAtPointer, int channel = 0);
    void popupClosed();
    void setNotchHere();
    void deleteAllNotches();
    void txCarrierHere();
    void levelClicked(int level, int screenX, int screenY);
    void sendFile();
    void help();
    static QString helpText();

    // The signal browser: it listens while its window is open, or while the spots endpoint
    // wants the stations it hears (the skimmer runs in the background).
    enum class BrowsingFor { Window, Spots };
    SignalBrowser& browser() { return browser_; }
    void setBrowsing(BrowsingFor reason, bool on);
    bool isBrowsing() const { return browsingForWindow_ || browsingForSpots_; }
    // A row chosen in the browser: channel 0 goes to that signal.
    void tuneToSignal(double hz);

  signals:
    void callsignsRead(); // MASTER.SCP has been read (or found missing or refused)
    void geometryRequested(const TwipsRect& twips);
    void fontSizeChanged(int points);
    void topMostRequested();
    void displayChanged();
    void directoryRequested();
    void closeDirectoryRequested();
    void finished(); // closed: its settings are written and nothing of it is on the air

  private:
  public:
    struct PosLine; // one line of MMVARI.POS (the table is beside the reading and writing)

  private:
    static const std::vector<PosLine>& posLines();
    void connectModem();
    void applySettingsFile(const QStringList& lines);
    QStringList settingsLines() const;
    void tickDefaultSoundEntries();
    void openPttPort(const QString& line);
    void applyDisplayKind();
    int viewIndex() const;
    void syncButtons();
    void setDown(const QString& name, bool down);
    void fillSoundMenus();
    void startSound();
    void onSoundFailed(const QString& why);
    QString soundEntry(bool transmit) const;
    void setLargeFont(bool on);
    void showTxRxSwitch(bool toTransmit);
    void tuneChannel(int channel, int hz);
    void keyUpForClosing();
    void startReadingCallsigns();

    TerminalPlatform platform_;
    ControlStore store_;
    Modem modem_;
    SignalBrowser browser_;
    bool browsingForWindow_ = false;
    bool browsingForSpots_ = false;
    PttPort ptt_;
    TerminalContext context_;
    CallsignList callsigns_;
    QTimer soundRetry_; // while the sound card is gone, it is tried again
    // MASTER.SCP is read on a thread of its own: opening the terminal never waits for it.
    QPointer<QThread> callsignReader_;
    std::shared_ptr<std::atomic_bool> stopReadingCallsigns_;
    ReceiveText receive_;
    TransmitText transmit_;
    CarrierSearch search_;
    FileSender fileSender_;
    TwipsRect geometry_;
    bool terminalActivated_ = false;
    bool largeFont_ = false;
    bool dualLatched_ = false;
    QString fileTarget_;
    QStringList levelClickInfo_{QString(), QString(), QString()};
    int clickFreq_ = 0;
    DisplayKind display_ = DisplayKind::Spectrum;
    int scrollPos_ = 0;
    int marker_ = 0;
};
