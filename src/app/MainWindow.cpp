#include "MainWindow.h"

#include "AppCore.h"
#include "widgets/ControlBinder.h"
#include "digital/terminal/Terminal.h"
#include "digital/windows/TerminalWindow.h"
#include "common/Controls.h"
#include "HelpWindow.h"
#include "chat/ChatWindow.h"
#include "widgets/IndicatorLight.h"
#include "platform/serial/PortFolder.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(const QString& name, QWidget* parent = nullptr) {
    auto* widget = new T(parent);
    widget->setObjectName(name);
    return widget;
}

QLabel* caption(const QString& text) { return new QLabel(text); }

QLineEdit* lineEdit(const QString& name, int widthChars) {
    auto* edit = named<QLineEdit>(name);
    const int width = edit->fontMetrics().horizontalAdvance(QString(widthChars, u'0')) + 16;
    edit->setMinimumWidth(width);
    edit->setMaximumWidth(width);
    return edit;
}

// A light with its caption to the right.
QWidget* labelledLight(const QString& lightName, const QString& text, const QString& labelName = {}) {
    auto* box = new QWidget;
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(named<IndicatorLight>(lightName));
    auto* label = labelName.isEmpty() ? caption(text) : named<QLabel>(labelName);
    row->addWidget(label);
    row->addStretch();
    return box;
}

QPlainTextEdit* monitorBox(const QString& name) {
    auto* box = named<QPlainTextEdit>(name);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setMinimumHeight(60);
    return box;
}

} // namespace

MainWindow::MainWindow(AppCore& core, QWidget* parent) : QMainWindow(parent), core_(core) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("ZarnikControl"));
    buildMenus();

    auto* central = new QWidget;
    auto* columns = new QHBoxLayout(central);
    auto* essentials = new QVBoxLayout;
    essentials->addWidget(buildNote());
    essentials->addWidget(buildPortsGroup());
    essentials->addWidget(buildLinkGroup());
    essentials->addWidget(buildRadioGroup());
    essentials->addStretch();
    columns->addLayout(essentials);

    expandedPart_ = new QWidget;
    auto* extras = new QGridLayout(expandedPart_);
    extras->setContentsMargins(0, 0, 0, 0);
    extras->addWidget(buildKeyerGroup(), 0, 0);
    extras->addWidget(buildChatGroup(), 0, 1);
    extras->addWidget(buildWatchdogGroup(), 1, 0, 1, 2);
    extras->addWidget(buildEndpointsGroup(), 2, 0, 1, 2);
    extras->addWidget(buildMonitorGroup(), 3, 0, 1, 2);
    extras->setRowStretch(3, 1);
    columns->addWidget(expandedPart_, 1);
    setCentralWidget(central);

    binder_ = new ControlBinder(core_.controls(), this);
    binder_->bindAll(this, actions_);
    wireButtons();
    connect(&core_.windowSize(), &WindowSize::sizeChanged, this, &MainWindow::applySize);
    connect(&core_, &AppCore::unloadOtherWindows, this, [this] {
        if (help_)
            help_->close();
        if (chat_)
            chat_->close();
        if (terminal_)
            terminal_->close();
    });
    connect(&core_.chatPanel(), &ChatPanel::shownChanged, this, &MainWindow::showChat);
    applySize(core_.windowSize().twips());
}

void MainWindow::buildMenus() {
    auto addAction = [this](QWidget* menu, const QString& name) {
        auto* action = new QAction(this);
        action->setObjectName(name);
        menu->addAction(action);
        actions_ << action;
        return action;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("FileMenu"));
    connect(addAction(file, Ctl::loadMenu), &QAction::triggered, this,
            [this] { core_.settings().load(); });
    connect(addAction(file, Ctl::saveMenu), &QAction::triggered, this,
            [this] { core_.settings().save(); });
    file->addSeparator();
    connect(addAction(file, Ctl::exitMenu), &QAction::triggered, this,
            [this] { core_.exitProgram(); });
    connect(addAction(menuBar(), Ctl::connectMenu), &QAction::triggered, this,
            [this] { core_.stationLink().connectClicked(); });
    connect(addAction(menuBar(), Ctl::digitalMenu), &QAction::triggered, this,
            [this] { toggleTerminal(); });
    connect(addAction(menuBar(), Ctl::expandMenu), &QAction::triggered, this,
            [this] { core_.windowSize().toggle(); });
    connect(addAction(menuBar(), Ctl::chatMenu), &QAction::triggered, this,
            [this] { core_.chatPanel().show(); });
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    connect(addAction(help, Ctl::aboutMenu), &QAction::triggered, this, [this] { core_.about(); });
    connect(addAction(help, Ctl::helpMenu), &QAction::triggered, this, &MainWindow::showHelp);
}

QWidget* MainWindow::buildNote() {
    auto* note = named<QLabel>(Ctl::startupNote);
    note->setFrameShape(QFrame::StyledPanel);
    note->setStyleSheet(QStringLiteral("QLabel { background: #fff8d0; color: #402000; padding: 4px; }"));
    note->setToolTip(QStringLiteral("Click to hide this note"));
    note->installEventFilter(this);
    return note;
}

QGroupBox* MainWindow::buildPortsGroup() {
    auto* group = new QGroupBox(QStringLiteral("Ports"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(caption(QStringLiteral("Port #1  Virtual Port")), 0, 0);
    grid->addWidget(named<QComboBox>(Ctl::radioPortChoice), 0, 1);
    auto* radioPath = named<QLabel>(Ctl::radioPortPath);
    radioPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(radioPath, 1, 0, 1, 3);
    grid->addWidget(caption(QStringLiteral("Winkeyer Virtual Port")), 2, 0);
    grid->addWidget(named<QComboBox>(Ctl::keyerPortChoice), 2, 1);
    auto* keyerPath = named<QLabel>(Ctl::keyerPortPath);
    keyerPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(keyerPath, 3, 0, 1, 3);

    auto* buttons = new QHBoxLayout;
    auto* start = named<QPushButton>(Ctl::startPortsButton);
    start->setToolTip(QStringLiteral("Click this button to start Zarnik translation"));
    auto* stop = named<QPushButton>(Ctl::stopPortsButton);
    stop->setToolTip(
        QStringLiteral("This button stops Zarnik translation but does not disconnect from Corvel"));
    buttons->addWidget(start);
    buttons->addWidget(stop);
    buttons->addWidget(labelledLight(Ctl::portOpenLight, QStringLiteral("Port open")));
    grid->addLayout(buttons, 4, 0, 1, 3);

    auto* lines = new QGridLayout;
    lines->addWidget(caption(QStringLiteral("Port #1")), 1, 0);
    const QStringList names{Ctl::rtsLight, Ctl::dtrLight, Ctl::ctsLight, Ctl::dsrLight,
                            Ctl::tdLight,  Ctl::rdLight,  Ctl::cdLight};
    for (int i = 0; i < names.size(); ++i) {
        lines->addWidget(caption(names[i]), 0, i + 1, Qt::AlignHCenter);
        lines->addWidget(named<IndicatorLight>(names[i]), 1, i + 1, Qt::AlignHCenter);
    }
    lines->setColumnStretch(names.size() + 1, 1);
    grid->addLayout(lines, 5, 0, 1, 3);
    grid->addWidget(named<QLabel>(Ctl::virtualLinesNote), 6, 0, 1, 3);
    return group;
}

QGroupBox* MainWindow::buildLinkGroup() {
    auto* group = new QGroupBox(QStringLiteral("Corvel station server"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(caption(QStringLiteral("Remote IP")), 0, 0);
    grid->addWidget(lineEdit(Ctl::serverAddressBox, 15), 0, 1);
    grid->addWidget(caption(QStringLiteral("Port")), 0, 2);
    grid->addWidget(lineEdit(Ctl::serverPortBox, 6), 0, 3);
    grid->addWidget(caption(QStringLiteral("Login Callsign:")), 1, 0);
    grid->addWidget(lineEdit(Ctl::loginCallsignBox, 12), 1, 1);
    grid->addWidget(caption(QStringLiteral("Login Password:")), 2, 0);
    auto* password = lineEdit(Ctl::loginPasswordBox, 12);
    password->setEchoMode(QLineEdit::Password);
    grid->addWidget(password, 2, 1);

    auto* lights = new QGridLayout;
    lights->addWidget(labelledLight(Ctl::connectedLight, QStringLiteral("Connected")), 0, 0);
    lights->addWidget(labelledLight(Ctl::loginLight, QString(), Ctl::loginLabel), 0, 1);
    lights->addWidget(labelledLight(Ctl::receiveLight, QString(), Ctl::receiveFromLabel), 1, 0);
    lights->addWidget(named<QLabel>(Ctl::transmitToLabel), 1, 1);
    lights->addWidget(named<QLabel>(Ctl::linkStatusLabel), 2, 0, 1, 2);
    grid->addLayout(lights, 3, 0, 1, 4);
    grid->addWidget(named<QPushButton>(Ctl::closeLinkButton), 4, 3);
    return group;
}

QGroupBox* MainWindow::buildRadioGroup() {
    auto* group = new QGroupBox(QStringLiteral("Radio"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(named<QLabel>(Ctl::frequencyChatLabel), 0, 0);
    grid->addWidget(lineEdit(Ctl::frequencyBox, 9), 0, 1);
    auto* up = named<QToolButton>(Ctl::frequencyUpButton);
    up->setArrowType(Qt::UpArrow);
    auto* down = named<QToolButton>(Ctl::frequencyDownButton);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* step : {up, down}) {
        step->setToolTip(QStringLiteral("Hold to step: left button 0.1 kHz, other buttons 1 kHz"));
        step->installEventFilter(this);
    }
    auto* steps = new QHBoxLayout;
    steps->addWidget(up);
    steps->addWidget(down);
    steps->addStretch();
    grid->addLayout(steps, 0, 2, 1, 2);
    grid->addWidget(caption(QStringLiteral("Mode")), 1, 0);
    grid->addWidget(named<QComboBox>(Ctl::modeChoice), 1, 1);
    grid->addWidget(caption(QStringLiteral("Send ASCII to port 1 or port 3")), 2, 0, 1, 4);
    grid->addWidget(named<QLineEdit>(Ctl::sendTextBox), 3, 0, 1, 4);
    grid->addWidget(named<QPushButton>(Ctl::sendToRadioButton), 4, 0, 1, 2);
    grid->addWidget(named<QPushButton>(Ctl::sendToServerButton), 4, 2, 1, 2);
    return group;
}

QGroupBox* MainWindow::buildKeyerGroup() {
    auto* group = new QGroupBox(QStringLiteral("Keyer and side tone"));
    auto* grid = new QGridLayout(group);
    auto* sideTone = named<QCheckBox>(Ctl::sideToneCheck);
    sideTone->setToolTip(QStringLiteral("Check this if want ZarnikControl to generate a CW side tone"));
    grid->addWidget(sideTone, 0, 0, 1, 2);
    grid->addWidget(caption(QStringLiteral("Hertz")), 1, 0);
    grid->addWidget(lineEdit(Ctl::sideTonePitchBox, 5), 1, 1);
    grid->addWidget(caption(QStringLiteral("CW")), 2, 0);
    grid->addWidget(lineEdit(Ctl::cwSpeedBox, 3), 2, 1);
    auto* apply = named<QPushButton>(Ctl::applySideToneButton);
    apply->setToolTip(QStringLiteral(
        "Change the tone by changing the number above then apply the changes with this button"));
    grid->addWidget(apply, 3, 0, 1, 2);
    auto* volume = named<QSlider>(Ctl::sideToneVolume);
    volume->setOrientation(Qt::Vertical);
    volume->setRange(-3000, 0);
    volume->setMinimumHeight(70);
    auto* hold = named<QCheckBox>(Ctl::cwHoldBackCheck);
    hold->setToolTip(QStringLiteral("Hand CW to the station only this many seconds ahead, so that the "
                                    "logger's Esc can stop a message (the station cannot take back what it has)"));
    grid->addWidget(hold, 4, 0, 1, 2);
    auto* lead = lineEdit(Ctl::cwLeadBox, 3);
    lead->setAccessibleName(QStringLiteral("CW lead in seconds"));
    connect(lead, &QLineEdit::editingFinished, this, [this] { core_.endpoints().apply(); });
    grid->addWidget(lead, 4, 2);
    grid->addWidget(caption(QStringLiteral("Vol")), 0, 2, Qt::AlignHCenter);
    grid->addWidget(volume, 1, 2, 3, 1, Qt::AlignHCenter);
    return group;
}

QGroupBox* MainWindow::buildWatchdogGroup() {
    auto* group = new QGroupBox(QStringLiteral("Transmit guard"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(named<QCheckBox>(Ctl::guardCheck), 0, 0);
    grid->addWidget(lineEdit(Ctl::guardTimeBox, 5), 0, 1);
    grid->addWidget(labelledLight(Ctl::keyedLight, QStringLiteral("Keyed")), 0, 2);
    grid->addWidget(caption(QStringLiteral("Guard Time in Seconds")), 1, 0, 1, 3);
    grid->addWidget(named<QCheckBox>(Ctl::inactivityCheck), 2, 0);
    grid->addWidget(lineEdit(Ctl::inactivityTimeBox, 5), 2, 1);
    grid->addWidget(named<QCheckBox>(Ctl::rttyKeyingCheck), 3, 0);
    return group;
}

QGroupBox* MainWindow::buildEndpointsGroup() {
    auto* group = new QGroupBox(QStringLiteral("Network endpoints for Linux loggers (no password)"));
    auto* grid = new QGridLayout(group);
    const struct {
        QString on, address, state, spoken, tip;
    } doors[] = {
        {Ctl::cwDaemonCheck, Ctl::cwDaemonAddressBox, Ctl::cwDaemonState,
         QStringLiteral("cwdaemon"),
         QStringLiteral("Key CW for tlf, xlog and CQRLOG through the cwdaemon protocol")},
        {Ctl::rigctlCheck, Ctl::rigctlAddressBox, Ctl::rigctlState, QStringLiteral("Hamlib rigctl"),
         QStringLiteral(
             "The rig for WSJT-X, fldigi, CQRLOG and rigctl as Hamlib NET rigctl (model 2)")},
        {Ctl::spotsCheck, Ctl::spotsAddressBox, Ctl::spotsState, QStringLiteral("Spots"),
         QStringLiteral("The stations the signal browser hears, as DX-cluster spots for the "
                        "bandmaps of tlf and CQRLOG (telnet)")}};
    int row = 0;
    for (const auto& door : doors) {
        auto* box = named<QCheckBox>(door.on);
        box->setToolTip(door.tip);
        grid->addWidget(box, row, 0);
        auto* address = lineEdit(door.address, 16);
        address->setAccessibleName(door.spoken + QStringLiteral(" address and port"));
        connect(address, &QLineEdit::editingFinished, this, [this] { core_.endpoints().apply(); });
        grid->addWidget(address, row++, 1);
        auto* state = named<QLabel>(door.state); // its text, spoken as it stands, names the door
        state->setAccessibleDescription(door.spoken + QStringLiteral(" state"));
        grid->addWidget(state, row++, 0, 1, 2);
    }
    return group;
}

QGroupBox* MainWindow::buildChatGroup() {
    auto* group = new QGroupBox(QStringLiteral("Chat"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(named<QCheckBox>(Ctl::chatServerCheck), 0, 0, 1, 2);
    grid->addWidget(caption(QStringLiteral("Chat port")), 1, 0);
    grid->addWidget(lineEdit(Ctl::chatPortBox, 6), 1, 1);
    grid->addWidget(labelledLight(Ctl::chatLight, QStringLiteral("Chat link")), 2, 0, 1, 2);
    return group;
}

QGroupBox* MainWindow::buildMonitorGroup() {
    auto* group = new QGroupBox(QStringLiteral("Monitors"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(named<QCheckBox>(Ctl::monitorDataCheck), 0, 0);
    grid->addWidget(named<QPushButton>(Ctl::clearMonitorsButton), 0, 2, Qt::AlignRight);
    grid->addWidget(caption(QStringLiteral("Data From Zarnik ")), 1, 0);
    grid->addWidget(caption(QStringLiteral("Data From Corvel")), 1, 1);
    grid->addWidget(caption(QStringLiteral("Data To Zarnik or Corvel")), 1, 2);
    grid->addWidget(monitorBox(Ctl::fromLoggerMonitor), 2, 0);
    grid->addWidget(monitorBox(Ctl::fromServerMonitor), 2, 1);
    grid->addWidget(monitorBox(Ctl::outgoingMonitor), 2, 2);
    grid->setRowStretch(2, 1);
    return group;
}

void MainWindow::wireButtons() {
    auto onClick = [this](const QString& name, auto&& handler) {
        auto* button = findChild<QAbstractButton*>(name);
        connect(button, &QAbstractButton::clicked, this, handler);
    };
    onClick(Ctl::startPortsButton, [this] { core_.ports().initPorts(); });
    onClick(Ctl::stopPortsButton, [this] { core_.ports().stopPorts(); });
    onClick(Ctl::closeLinkButton, [this] { core_.closeButton(); });
    onClick(Ctl::clearMonitorsButton, [this] { core_.monitors().clearAll(); });
    onClick(Ctl::sendToRadioButton, [this] { core_.stepper().sendToRadio(); });
    onClick(Ctl::sendToServerButton, [this] { core_.stepper().sendToCorvel(); });
    connect(findChild<QLineEdit*>(Ctl::loginCallsignBox), &QLineEdit::editingFinished, this,
            [this] { core_.stationLink().callsignLeft(); });
    connect(findChild<QCheckBox*>(Ctl::chatServerCheck), &QCheckBox::clicked, this,
            [this] { core_.chatServerBoxClicked(); });
    for (const QString& name :
         {Ctl::loginLabel, Ctl::frequencyChatLabel, Ctl::inactivityCheck, Ctl::guardCheck})
        findChild<QWidget*>(name)->installEventFilter(this);
    for (const QString& name : {Ctl::frequencyUpButton, Ctl::frequencyDownButton}) {
        auto* step = findChild<QToolButton*>(name);
        const bool up = name == Ctl::frequencyUpButton;
        // The left button goes through the button itself, so it looks pressed while held.
        connect(step, &QToolButton::pressed, this, [this, up] { core_.stepper().press(up, true); });
        connect(step, &QToolButton::released, this, [this] { core_.stepper().release(); });
    }
}

QSize MainWindow::pixelsFor(QSize twips) const {
    // The classic sizes assume 15 twips to the pixel and a 13-pixel system font; a larger
    // font scales the window with it, so that the same controls fit.
    const double scale = qMax(1.0, fontMetrics().height() / 13.0);
    return QSize(qRound(twips.width() / 15.0 * scale), qRound(twips.height() / 15.0 * scale));
}

void MainWindow::applySize(QSize twips) {
    expandedPart_->setVisible(core_.windowSize().isExpanded());
    const QSize wanted = pixelsFor(twips).expandedTo(minimumSizeHint());
    setMinimumSize(minimumSizeHint());
    resize(wanted);
}

TerminalWindow* MainWindow::terminalWindow() const { return terminal_; }

void MainWindow::toggleTerminal() {
    core_.digitalMenu();
    if (terminal_ && terminal_->isVisible()) {
        terminal_->close();
        return;
    }
    if (terminal_ && terminal_->terminal().isClosing())
        return; // the closing one is still ending a transmission
    terminal_ = new TerminalWindow(core_.terminalPlatform(), this);
    terminal_->setWindowFlag(Qt::Window);
    skimForSpots(terminal_->terminal());
    terminal_->show();
}

// While the terminal receives and the spots endpoint listens, the browser skims the band in
// the background, and the calls it picks go out as spots.
void MainWindow::skimForSpots(Terminal& terminal) {
    SignalBrowser& browser = terminal.browser();
    browser.setOwnCall(core_.login().callsign);
    connect(&browser, &SignalBrowser::spotted, this,
            [this, &browser](const QString& call, double hz, double snrDb, bool calledCq, int wpm) {
                core_.endpoints().spot(call, hz, snrDb, calledCq, browser.spotMode(), wpm);
            });
    terminal.setBrowsing(Terminal::BrowsingFor::Spots, core_.endpoints().wantsSpots());
    connect(&core_.endpoints(), &Endpoints::spotsWantedChanged, &terminal,
            [&terminal](bool wanted) { terminal.setBrowsing(Terminal::BrowsingFor::Spots, wanted); });
}

void MainWindow::showChat(bool shown) {
    if (!shown) {
        if (chat_)
            chat_->hide();
        return;
    }
    if (!chat_)
        chat_ = new ChatWindow(core_.chatPanel(), core_.chatControls(), this);
    chat_->show();
    chat_->raise();
}

void MainWindow::showHelp() {
    if (!help_)
        help_ = new HelpWindow(PortFolder::path(), this);
    help_->show();
    help_->raise();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !activatedOnce_) {
        activatedOnce_ = true;
        core_.firstActivation();
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The window manager's close ends the program as "Exit" does: a window left open after
    // its links and log were closed would only look alive.
    core_.exitProgram();
    event->accept();
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    core_.controls().setVisible(Ctl::startupNote, false);
    QMainWindow::mousePressEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QString name = watched->objectName();
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (name == Ctl::loginLabel && press)
        core_.stationLink().toggleLogin();
    if (name == Ctl::frequencyChatLabel && press)
        core_.chatClient().connectToServer();
    if (name == Ctl::inactivityCheck) {
        if (press)
            core_.watchdogs().activeBoxPressed();
        if (event->type() == QEvent::ToolTip)
            static_cast<QWidget*>(watched)->setToolTip(core_.watchdogs().activeToolTip());
    }
    if (name == Ctl::guardCheck) {
        if (press)
            core_.watchdogs().guardBoxPressed();
        if (event->type() == QEvent::ToolTip)
            static_cast<QWidget*>(watched)->setToolTip(core_.watchdogs().guardToolTip());
    }
    const bool stepButton = watched->objectName() == Ctl::frequencyUpButton ||
                            watched->objectName() == Ctl::frequencyDownButton;
    if (stepButton && (event->type() == QEvent::MouseButtonPress ||
                       event->type() == QEvent::MouseButtonRelease)) {
        // Other mouse buttons step by 1 kHz; the buttons themselves only know the left one.
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
            if (event->type() == QEvent::MouseButtonPress)
                core_.stepper().press(watched->objectName() == Ctl::frequencyUpButton, false);
            else
                core_.stepper().release();
            return true;
        }
    }
    if (watched->objectName() == Ctl::startupNote && event->type() == QEvent::MouseButtonPress)
        core_.controls().setVisible(Ctl::startupNote, false);
    return QMainWindow::eventFilter(watched, event);
}
