#pragma once

#include "Endpoints.h"
#include "StationRig.h"
#include "common/ControlStore.h"
#include "common/Login.h"
#include "common/StationAddress.h"
#include "common/LogFile.h"
#include "common/MonitorBoxes.h"
#include "PortController.h"
#include "SettingsCommands.h"
#include "WindowSize.h"
#include "cat/FrequencyStepper.h"
#include "cat/LoggerCat.h"
#include "cat/LoggerPort.h"
#include "station/StationPicture.h"
#include "chat/ChatClient.h"
#include "chat/ChatPanel.h"
#include "chat/ChatServer.h"
#include "keyer/CwStation.h"
#include "keyer/SideTone.h"
#include "keyer/WinKeyer.h"
#include "station/ChatLines.h"
#include "station/LinkState.h"
#include "station/ServerLine.h"
#include "link/LinkHealth.h"
#include "link/ServerReceiver.h"
#include "link/StationLink.h"
#include "link/TransmitterHold.h"
#include "link/Watchdogs.h"
#include "platform/PausingWait.h"

#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <functional>

class Clock;
class Dialogs;
class SoundDuplex;
struct TerminalPlatform;
class FileDialogs;
class BackendProvider;
class ToneOutput;

// What the outside world gives the program.
struct AppPlatform {
    const Clock& clock;
    Dialogs& dialogs;
    FileDialogs& fileDialogs;
    BackendProvider& ports;
    ToneOutput& toneOutput; // the side tone's sound card (or file)
    // Ends the process at once, skipping the shut-down sequence.
    std::function<void()> endProcessAtOnce;
};

// The digital terminal's sound card and the names of the sound devices; without one the
// terminal runs with no sound.
struct ModemSound {
    SoundDuplex* duplex = nullptr;
    std::function<QStringList()> inputNames, outputNames;
    std::function<QString()> defaultInputName, defaultOutputName;
};

// The main window's behaviour without the window: start-up, first activation, the commands
// of its buttons and menus, and the way out.
class AppCore final : public QObject {
    Q_OBJECT
public:
    static inline const QString kServerArgument = QStringLiteral("SERVER");

    AppCore(AppPlatform platform, QString commandLine, QObject* parent = nullptr);
    ~AppCore() override;

    ControlStore& controls() { return store_; }
    PortController& ports() { return ports_; }
    MonitorBoxes& monitors() { return monitors_; }
    WindowSize& windowSize() { return windowSize_; }
    SettingsCommands& settings() { return settings_; }
    LogFile& log() { return log_; }
    StationPicture& picture() { return picture_; }
    ServerLine& serverLine() { return serverLine_; }
    QTcpSocket& serverSocket() { return stationSocket_; }
    LoggerCat& loggerCat() { return loggerCat_; }
    FrequencyStepper& stepper() { return stepper_; }
    StationLink& stationLink() { return stationLink_; }
    ServerReceiver& receiver() { return receiver_; }
    Watchdogs& watchdogs() { return watchdogs_; }
    LinkHealth& linkHealth() { return linkHealth_; }
    LinkState& linkState() { return link_; }
    TransmitterHold& transmitterHold() { return hold_; }
    WinKeyer& winKeyer() { return winKeyer_; }
    CwStation& cwStation() { return cwStation_; }
    Endpoints& endpoints() { return endpoints_; }
    ControlStore& chatControls() { return chatStore_; }
    ChatServer& chatServer() { return chatServer_; }
    ChatClient& chatClient() { return chatClient_; }
    ChatPanel& chatPanel() { return chatPanel_; }
    SideTone& sideTone() { return sideTone_; }
    const PausingWait& pausingWait() const { return wait_; }
    const Login& login() const { return login_; }
    const StationAddress& stationAddress() const { return address_; }
    void setModemSound(ModemSound sound) { modemSound_ = std::move(sound); }
    // What the digital terminal is given when the "Digital" menu opens it.
    TerminalPlatform terminalPlatform();

    const QString& commandLine() const { return commandLine_; }
    const QString& iniFileName() const { return iniFileName_; }
    int ledOffColor() const { return ledOffColor_; }
    bool isLoggedIn() const { return link_.loggedIn; }
    bool hasEnded() const { return ended_; }

    void startUp();
    // The last step of start-up, once the window is on the screen: the station link.
    void connectAtStartup();
    void firstActivation();
    void closeButton(); // "Close": drop the links, let the logger's last bytes go, end
    // A tick of "Close" under way (its timer's): the next step once the link has closed, or
    // the logger's bytes have drained, or the step's time is up.
    void continueClosing();
    void exitProgram(); // "Exit", and any other request to close the main window
    void digitalMenu();
    // The operator ticked or unticked "I Am A Server".
    void chatServerBoxClicked();
    void about();

signals:
    // The other windows (help, directory, digital terminal, chat) are to be closed.
    void unloadOtherWindows();
    // The program has run its shut-down sequence and ends now.
    void programEnded();

private:
    void shutDown();
    void releaseTransmitterAtTheEnd();
    void takeOverALeftHold();
    void resendKeyUpAfterStop(double stoppedAt);
    void tellMarkProblemOnce();
    void tell(const QString& text);
    void onControlChanged(const QString& name, ControlStore::Aspect aspect);
    void takeTypedValue(const QString& box);
    void onTick();
    void wirePorts();
    void wireStationLink();
    void wireTimers();

    AppPlatform platform_;
    QString commandLine_;
    QString iniFileName_;
    // A file of its own beside the settings file (Endpoints.ini, ChatAllow.txt).
    QString besideTheSettings(const QString& fileName) const {
        return QFileInfo(iniFileName_).absoluteDir().filePath(fileName);
    }
    ControlStore store_;
    Login login_; // mirrored from the login boxes
    StationAddress address_; // mirrored from the address and port boxes
    PausingWait wait_;
    MonitorBoxes monitors_;
    WindowSize windowSize_;
    SettingsCommands settings_;
    PortController ports_;
    LogFile log_;
    StationPicture picture_;
    LoggerPort loggerPort_{ports_.radioPort(), picture_}; // the one writer to the logger
    QTcpSocket stationSocket_; // the station server link
    ServerLine serverLine_;
    CwStation cwStation_; // the CW of the keyer port, the radio port's KY and the endpoints
    StationRig stationRig_; // the station as the Hamlib endpoint sees it
    Endpoints endpoints_;
    LoggerCat loggerCat_;
    FrequencyStepper stepper_;
    LinkState link_;
    TransmitterHold hold_; // what this program owes the station's transmitter
    ControlStore chatStore_; // the chat window's controls
    ChatServer chatServer_;
    ChatClient chatClient_;
    ChatPanel chatPanel_;
    StationLink stationLink_;
    ServerReceiver receiver_;
    Watchdogs watchdogs_;
    LinkHealth linkHealth_;
    SideTone sideTone_;
    WinKeyer winKeyer_;
    QTimer tickTimer_; // every 100 ms: the side tone, the CW station, the endpoints
    QTimer senderTimer_; // the periodic sender
    QTimer secondTimer_; // the watchdogs' second
    QTimer closeTimer_;  // "Close" under way
    enum class CloseStage { None, LinkClosing, LoggerDraining };
    CloseStage closeStage_ = CloseStage::None;
    double closeStageEndsAt_ = 0; // on the monotonic clock
    int ledOffColor_ = 0;
    bool firstActivationDone_ = false;
    bool ended_ = false;
    bool markProblemTold_ = false;
    int ticks_ = 0;
    ModemSound modemSound_;
};
