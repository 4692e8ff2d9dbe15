#include "AppCore.h"

#include "CommandLineOptions.h"
#include "cat/LoggerPort.h"
#include "common/Controls.h"
#include "common/NumericText.h"
#include "MainControls.h"
#include "chat/ChatControls.h"
#include "endpoints/EndpointSettings.h"
#include "digital/terminal/Terminal.h"
#include "platform/sound/SoundDuplex.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/serial/PortNames.h"
#include "settings/SettingsFile.h"
#include "station/StationLines.h"
#include "platform/net/UnreadBytes.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {
// How long "Close" lets the logger's last bytes drain before it ends anyway: a logger that
// stopped reading must not keep the program from ending.
constexpr double kOutputDrainSeconds = 5.0;
constexpr int kTickMs = 100;
constexpr int kCloseTickMs = 20;
// How long the end of the program waits for its last station lines to be written.
constexpr int kLastWordsMs = 1000;
// How long "Close" waits for the station link to finish closing (its last lines written):
// a station that stopped reading must not keep the program from ending.
constexpr double kSocketCloseSeconds = 10.0;

// A port box: empty is no port.
std::optional<int> portIn(const QString& text) {
    if (text.trimmed().isEmpty())
        return std::nullopt;
    return NumericText::integerValue(text);
}

QString settingsFileFor(const QString& commandLine) {
    if (commandLine.isEmpty() || commandLine == AppCore::kServerArgument)
        return SettingsCommands::kDefaultFile;
    return commandLine;
}
} // namespace

AppCore::AppCore(AppPlatform platform, QString commandLine, QObject* parent)
    : QObject(parent), platform_(std::move(platform)), commandLine_(std::move(commandLine)),
      iniFileName_(settingsFileFor(commandLine_)), wait_(platform_.clock), monitors_(store_),
      windowSize_(store_),
      settings_(store_, iniFileName_, platform_.dialogs, platform_.fileDialogs),
      ports_({.store = store_,
              .dialogs = platform_.dialogs,
              .provider = platform_.ports,
              .commandLine = commandLine_,
              .endProcessAtOnce = platform_.endProcessAtOnce}),
      picture_(store_), serverLine_(stationSocket_),
      cwStation_({.server = serverLine_,
                  .store = store_,
                  .sideTone = sideTone_,
                  .clock = platform_.clock,
                  .tell = [this](const QString& text) { tell(text); }}),
      stationRig_({.picture = picture_,
                   .server = serverLine_,
                   .monitors = monitors_,
                   .logger = loggerPort_,
                   .cw = cwStation_}),
      endpoints_({.store = store_,
                  .login = login_,
                  .cw = cwStation_,
                  .server = serverLine_,
                  .clock = platform_.clock,
                  .rig = stationRig_,
                  .cwPitchHz = [this] { return sideTone_.pitchHz(); },
                  .settingsPath = besideTheSettings(EndpointSettings::kFileName),
                  .tell = [this](const QString& text) { tell(text); }}),
      loggerCat_({.port = ports_.radioPort(),
                  .logger = loggerPort_,
                  .picture = picture_,
                  .server = serverLine_,
                  .monitors = monitors_,
                  .store = store_,
                  .wait = wait_,
                  .dialogs = platform_.dialogs,
                  .initPorts = [this] { ports_.initPorts(); },
                  .clock = platform_.clock,
                  .keyer = {.sendText = [this](const QString& text) { cwStation_.sendText(text); },
                            .setSpeed = [this](int wpm) { cwStation_.setSpeed(wpm); },
                            .speed = [this] { return cwStation_.speed(); },
                            .abort = [this] { cwStation_.abort(); }}}),
      stepper_({.picture = picture_,
                .logger = loggerPort_,
                .server = serverLine_,
                .monitors = monitors_,
                .store = store_}),
      hold_(platform_.clock, QDir::current().filePath(TransmitterHold::kMarkFileName)),
      chatServer_({.store = store_,
                   .chat = chatStore_,
                   .address = address_,
                   .log = log_,
                   .clientConnected = [this] { return chatClient_.isConnected(); },
                   .sendThroughClient = [this](const QString& text) { chatClient_.send(text); },
                   .allowListPath = besideTheSettings(ChatAllowList::kFileName),
                   .clock = platform_.clock}),
      chatClient_({.store = store_,
                   .login = login_,
                   .address = address_,
                   .chat = chatStore_,
                   .clock = platform_.clock,
                   .dialogs = platform_.dialogs}),
      chatPanel_({.store = store_,
                  .login = login_,
                  .address = address_,
                  .chat = chatStore_,
                  .server = chatServer_,
                  .client = chatClient_,
                  .log = log_}),
      stationLink_({.socket = stationSocket_,
                    .server = serverLine_,
                    .link = link_,
                    .store = store_,
                    .monitors = monitors_,
                    .clock = platform_.clock,
                    .address = address_,
                    .dialogs = platform_.dialogs,
                    .commandLine = commandLine_,
                    .endProcessAtOnce = platform_.endProcessAtOnce,
                    .initPorts = [this] { ports_.initPorts(); },
                    .hold = hold_}),
      receiver_({.socket = stationSocket_,
                 .server = serverLine_,
                 .link = link_,
                 .picture = picture_,
                 .store = store_,
                 .login = login_,
                 .monitors = monitors_,
                 .writeLogger = [this](const QString& text) { loggerPort_.write(text); },
                 .log = log_,
                 .clock = platform_.clock,
                 .dialogs = platform_.dialogs,
                 .chat = chatPanel_,
                 .linkLost = [this] { stationLink_.linkLost(); },
                 .loginAccepted = [this] { stationLink_.loginAccepted(); },
                 .bytesRead = [this](qint64 bytes) { hold_.noteBytesRead(bytes); }}),
      watchdogs_({.server = serverLine_,
                  .link = link_,
                  .picture = picture_,
                  .store = store_,
                  .clock = platform_.clock}),
      linkHealth_({.socket = stationSocket_,
                   .server = serverLine_,
                   .link = link_,
                   .clock = platform_.clock,
                   .transmitting = [this] { return picture_.transmitting || hold_.holds(); },
                   .linkDead = [this](const QString& why) { stationLink_.linkDead(why); },
                   .resumed = [this](double stoppedAt) { resendKeyUpAfterStop(stoppedAt); }}),
      sideTone_({.store = store_,
                 .dialogs = platform_.dialogs,
                 .output = platform_.toneOutput,
                 .cwSpeed = [this] { return cwStation_.speed(); }}),
      winKeyer_({.port = ports_.keyerPort(),
                 .store = store_,
                 .dialogs = platform_.dialogs,
                 .cw = cwStation_}) {
    populateMainControls(store_, PortNames::foundDevices());
    populateChatControls(chatStore_);
    ledOffColor_ = Colours::kLedOff;
    connect(&store_, &ControlStore::changed, this, &AppCore::onControlChanged);
    for (const QString& box : {Ctl::cwSpeedBox, Ctl::guardTimeBox, Ctl::inactivityTimeBox,
                               Ctl::loginCallsignBox, Ctl::loginPasswordBox, Ctl::serverAddressBox,
                               Ctl::serverPortBox, Ctl::chatPortBox, Ctl::sideTonePitchBox})
        takeTypedValue(box);
    wirePorts();
    wireStationLink();
    wireTimers();
}

// The logger's two ports: their events go to the radio's CAT and to the keyer.
void AppCore::wirePorts() {
    connect(&ports_.radioPort(), &CommPort::commEvent, &loggerCat_, &LoggerCat::onCommEvent);
    connect(&ports_.keyerPort(), &CommPort::commEvent, &winKeyer_, &WinKeyer::onKeyerPortEvent);
}

// The station link's socket and line: what is sent is noted by the picture and the hold,
// what arrives goes to the receiver, and a link that goes ends the CW being keyed.
void AppCore::wireStationLink() {
    connect(&serverLine_, &ServerLine::lineSent, this, [this](const QString& line) {
        picture_.noteServerLine(line);
        hold_.noteLineSent(line, UnreadBytes::of(stationSocket_));
        tellMarkProblemOnce();
    });
    connect(&stationSocket_, &QTcpSocket::stateChanged, this, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::UnconnectedState)
            cwStation_.linkGone();
    });
    connect(&stationSocket_, &QTcpSocket::readyRead, &receiver_, &ServerReceiver::onDataArrived);
}

// The program's own clocks: the 100 ms tick, the periodic sender, the watchdogs' second and
// "Close" under way.
void AppCore::wireTimers() {
    tickTimer_.setInterval(kTickMs);
    connect(&tickTimer_, &QTimer::timeout, this, &AppCore::onTick);
    senderTimer_.setInterval(Watchdogs::kSenderTickMs);
    connect(&senderTimer_, &QTimer::timeout, &watchdogs_, &Watchdogs::senderTick);
    secondTimer_.setInterval(Watchdogs::kSecondTickMs);
    connect(&secondTimer_, &QTimer::timeout, &watchdogs_, &Watchdogs::secondTick);
    connect(&secondTimer_, &QTimer::timeout, &linkHealth_, &LinkHealth::secondTick);
    closeTimer_.setInterval(kCloseTickMs);
    connect(&closeTimer_, &QTimer::timeout, this, &AppCore::continueClosing);
}

// The link's socket outlives the parts its signals reach (it is closed as it goes): they
// must not hear it then.
AppCore::~AppCore() { disconnect(&stationSocket_, nullptr, this, nullptr); }

void AppCore::startUp() {
    settings_.readAtStartup();
    if (store_.isTicked(Ctl::sideToneCheck))
        sideTone_.startToneBuffer(false);
    if (!log_.open())
        platform_.dialogs.showMessage(
            SettingsFile::unexpectedErrorText({75, QStringLiteral("Path/File access error"),
                                               QFileInfo(log_.path()).absoluteFilePath(), log_.errorString()}));
    takeOverALeftHold();
    ports_.refreshPortLocations();
    tickTimer_.start();
    senderTimer_.start();
}

void AppCore::connectAtStartup() { stationLink_.connectAtStartup(); }

// The last run here ended (was killed, crashed, lost its power) while it held the station's
// transmitter: the key-up goes out first after the next login, and the operator is told.
void AppCore::takeOverALeftHold() {
    if (!hold_.takeOverLeftMark())
        return;
    const QString note = QStringLiteral("The last run ended while it held the station's transmitter: the "
                                        "key-up (%1) goes out first after the login")
                             .arg(StationLines::keyUp());
    tell(note);
}

// A line for the operator that must not be missed: the server monitor, the log and standard
// error (a station may be watched by no one).
void AppCore::tell(const QString& text) {
    monitors_.copyFromServer(text + QStringLiteral("\r\n"));
    log_.writeLine(platform_.clock.now().toString(QStringLiteral("hh:mm:ss dd.MM.yyyy ")) + text);
    std::fprintf(stderr, "zarnikcontrol: %s\n", qPrintable(text));
}

// Without the mark a crash while keyed would leave the station keyed at the next start: the
// operator is told once, in the log, the server monitor and on standard error.
void AppCore::tellMarkProblemOnce() {
    if (hold_.markProblem().isEmpty() || markProblemTold_)
        return;
    markProblemTold_ = true;
    tell(QStringLiteral("The transmitter mark cannot be kept (%1): if the program is killed while "
                        "keyed, the next start will not know to send the key-up")
             .arg(hold_.markProblem()));
}

// The program was stopped with a key-up on its way that the station has not been heard to
// get: it is written again, now that the link is judged afresh.
void AppCore::resendKeyUpAfterStop(double stoppedAt) {
    if (!hold_.keyed() && hold_.keyUpUnheard() && hold_.keyUpWrittenAt() <= stoppedAt)
        serverLine_.send(StationLines::keyUp());
}

void AppCore::onControlChanged(const QString& name, ControlStore::Aspect aspect) {
    if (aspect == ControlStore::Aspect::Text)
        takeTypedValue(name);
    const bool portChosen = aspect == ControlStore::Aspect::Value &&
                            (name == Ctl::radioPortChoice || name == Ctl::keyerPortChoice);
    if (portChosen && !ports_.radioPort().isOpen())
        ports_.refreshPortLocations();
}

// The boxes whose numbers the logic keeps: what the operator types there (or the settings
// file puts there) is the number from now on.
void AppCore::takeTypedValue(const QString& box) {
    const QString text = store_.text(box);
    if (box == Ctl::cwSpeedBox)
        cwStation_.takeTypedSpeed(NumericText::integerValue(text));
    else if (box == Ctl::guardTimeBox)
        watchdogs_.setGuardLimit(NumericText::numericValue(text));
    else if (box == Ctl::inactivityTimeBox)
        watchdogs_.setIdleLimit(NumericText::numericValue(text));
    else if (box == Ctl::loginCallsignBox)
        login_.callsign = text;
    else if (box == Ctl::loginPasswordBox)
        login_.password = text;
    else if (box == Ctl::serverAddressBox)
        address_.host = text.trimmed();
    else if (box == Ctl::serverPortBox)
        address_.port = portIn(text);
    else if (box == Ctl::chatPortBox)
        address_.chatPort = portIn(text);
    else if (box == Ctl::sideTonePitchBox)
        sideTone_.takeTypedPitch(text);
}

void AppCore::firstActivation() {
    if (firstActivationDone_)
        return;
    firstActivationDone_ = true;
    ledOffColor_ = Colours::kLedOff;
    chatServer_.resetCount();
    chatPanel_.load();
    if (store_.isTicked(Ctl::chatServerCheck))
        chatServer_.startListening();
    secondTimer_.start();
}

void AppCore::onTick() {
    sideTone_.step();
    cwStation_.tick();
    endpoints_.tick();
    if (++ticks_ % 10 == 0)
        chatServer_.cleanUpSlots();
}

void AppCore::chatServerBoxClicked() {
    if (!store_.isTicked(Ctl::chatServerCheck))
        return;
    store_.setVisible(Ctl::startupNote, false);
    chatServer_.startListening();
}

void AppCore::closeButton() {
    if (closeStage_ != CloseStage::None || ended_)
        return;
    releaseTransmitterAtTheEnd();
    link_.loggedIn = false;
    link_.serverRxBusy = false;
    link_.serverMsgBusy = false;
    stationSocket_.close();
    closeStage_ = CloseStage::LinkClosing;
    closeStageEndsAt_ = platform_.clock.monotonicSeconds() + kSocketCloseSeconds;
    closeTimer_.start();
    continueClosing();
}

void AppCore::continueClosing() {
    // A clock that stands still (a test's) never reaches a time: each step goes at once.
    const bool timeUp = platform_.clock.standsStill() ||
                        platform_.clock.monotonicSeconds() >= closeStageEndsAt_;
    if (closeStage_ == CloseStage::LinkClosing) {
        if (stationSocket_.state() != QAbstractSocket::UnconnectedState && !timeUp)
            return;
        link_.linkUp = false;
        store_.setText(Ctl::connectMenu, QStringLiteral("Connect"));
        store_.setVisible(Ctl::connectedLight, false);
        store_.setVisible(Ctl::loginLight, false);
        chatClient_.close();
        if (store_.isTicked(Ctl::chatServerCheck))
            chatServer_.closeAll();
        closeStage_ = CloseStage::LoggerDraining;
        closeStageEndsAt_ = platform_.clock.monotonicSeconds() + kOutputDrainSeconds;
    }
    if (closeStage_ == CloseStage::LoggerDraining) {
        if (ports_.radioPort().outBufferCount() > 0 && !platform_.clock.standsStill() &&
            platform_.clock.monotonicSeconds() < closeStageEndsAt_)
            return;
        closeStage_ = CloseStage::None;
        closeTimer_.stop();
        exitProgram();
    }
}

void AppCore::exitProgram() {
    if (ended_)
        return;
    shutDown();
    ended_ = true;
    stepper_.stop();
    closeTimer_.stop();
    wait_.endAllWaits();
    emit programEnded();
}

void AppCore::shutDown() {
    emit unloadOtherWindows();
    releaseTransmitterAtTheEnd();
    chatPanel_.unload();
    if (iniFileName_ == SettingsCommands::kDefaultFile) {
        if (QString why; !settings_.writeAtShutdown(&why)) {
            log_.writeLine(QStringLiteral("Settings not saved at ") +
                           platform_.clock.now().toString(QStringLiteral("hh:mm:ss dd.MM.yyyy")) +
                           QStringLiteral(": ") + why);
            std::fprintf(stderr, "zarnikcontrol: settings not saved: %s\n", qPrintable(why));
        }
        log_.close();
    }
    if (QString why; !endpoints_.save(&why))
        std::fprintf(stderr, "zarnikcontrol: %s not saved: %s\n", qPrintable(EndpointSettings::kFileName),
                     qPrintable(why));
    tickTimer_.stop();
    senderTimer_.stop();
    secondTimer_.stop();
    sideTone_.stop();
    // What the closing windows said last (the terminal's key-up) goes out before the link is
    // dropped: an abort throws away whatever is still waiting to be written.
    if (stationSocket_.bytesToWrite() > 0)
        stationSocket_.waitForBytesWritten(kLastWordsMs);
    stationSocket_.abort();
    chatClient_.close();
}

// Every orderly end releases a transmitter this program holds while the link still carries
// the key-up, and listens a moment for the station: a key-up it has been heard to get leaves
// no mark for the next start. (The terminal's own key-up has gone as its window closed.)
void AppCore::releaseTransmitterAtTheEnd() {
    if (stationSocket_.state() != QAbstractSocket::ConnectedState)
        return;
    if (hold_.keyed() || hold_.keyUpOwed()) {
        const bool owed = hold_.keyUpOwed();
        serverLine_.send(StationLines::keyUp());
        if (owed)
            hold_.noteOwedKeyUpSent();
        serverLine_.send(StationLines::statusRequest());
        std::fprintf(stderr, "zarnikcontrol: ending: key-up (%s) sent to the station\n",
                     qPrintable(StationLines::keyUp()));
    }
    if (!hold_.keyUpUnheard())
        return;
    // Nothing the station says now is acted on; it only tells that the key-up arrived.
    disconnect(&stationSocket_, &QTcpSocket::readyRead, &receiver_, nullptr);
    QDeadlineTimer deadline(kLastWordsMs);
    while (hold_.keyUpUnheard() && !deadline.hasExpired()) {
        if (stationSocket_.bytesAvailable() == 0 && !stationSocket_.waitForReadyRead(int(deadline.remainingTime())))
            break;
        hold_.noteBytesRead(stationSocket_.readAll().size());
    }
}

void AppCore::digitalMenu() { ports_.stopPorts(); }

TerminalPlatform AppCore::terminalPlatform() {
    static NoSoundDuplex noSound;
    auto names = [](const std::function<QStringList()>& list) { return list ? list() : QStringList(); };
    auto name = [](const std::function<QString()>& one) { return one ? one() : QString(); };
    return {.clock = platform_.clock,
            .dialogs = platform_.dialogs,
            .ports = platform_.ports,
            .sound = modemSound_.duplex ? *modemSound_.duplex : noSound,
            .inputDevices = names(modemSound_.inputNames),
            .outputDevices = names(modemSound_.outputNames),
            .defaultInput = name(modemSound_.defaultInputName),
            .defaultOutput = name(modemSound_.defaultOutputName),
            .keyTransmitter = [this](bool on) { serverLine_.send(StationLines::keying(on)); },
            .folder = QDir::currentPath()};
}

void AppCore::about() { platform_.dialogs.showMessage(CommandLineOptions::versionText()); }
