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
    connect(addAction(file, Ctl::MenuLoad), &QAction::triggered, this,
            [this] { core_.settings().load(); });
    connect(addAction(file, Ctl::MenuSave), &QAction::triggered, this,
            [this] { core_.settings().save(); });
    file->addSeparator();
    connect(addAction(file, Ctl::MenuExit), &QAction::triggered, this,
            [this] { core_.exitProgram(); });
    connect(addAction(menuBar(), Ctl::Connect), &QAction::triggered, this,
            [this] { core_.stationLink().Connect_Click(); });
    connect(addAction(menuBar(), Ctl::Dig), &QAction::triggered, this,
            [this] { toggleTerminal(); });
    connect(addAction(menuBar(), Ctl::Expand), &QAction::triggered, this,
            [this] { core_.windowSize().toggle(); });
    connect(addAction(menuBar(), Ctl::Chat), &QAction::triggered, this,
            [this] { core_.chatPanel().show(); });
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("HelpMenu"));
    connect(addAction(help, Ctl::Abt), &QAction::triggered, this, [this] { core_.about(); });
    connect(addAction(help, Ctl::hlp), &QAction::triggered, this, &MainWindow::showHelp);
}

QWidget* MainWindow::buildNote() {
    auto* note = named<QLabel>(Ctl::Text2);
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
    grid->addWidget(named<QComboBox>(Ctl::Soft1Com), 0, 1);
    auto* radioPath = named<QLabel>(Ctl::RadioPortPath);
    radioPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(radioPath, 1, 0, 1, 3);
    grid->addWidget(caption(QStringLiteral("Winkeyer Virtual Port")), 2, 0);
    grid->addWidget(named<QComboBox>(Ctl::Soft2com), 2, 1);
    auto* keyerPath = named<QLabel>(Ctl::KeyerPortPath);
    keyerPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(keyerPath, 3, 0, 1, 3);

    auto* buttons = new QHBoxLayout;
    auto* start = named<QPushButton>(Ctl::Command1);
    start->setToolTip(QStringLiteral("Click this button to start Zarnik translation"));
    auto* stop = named<QPushButton>(Ctl::Command2);
    stop->setToolTip(
        QStringLiteral("This button stops Zarnik translation but does not disconnect from Corvel"));
    buttons->addWidget(start);
    buttons->addWidget(stop);
    buttons->addWidget(labelledLight(Ctl::Shape3, QStringLiteral("Port open")));
    grid->addLayout(buttons, 4, 0, 1, 3);

    auto* lines = new QGridLayout;
    lines->addWidget(caption(QStringLiteral("Port #1")), 1, 0);
    const QStringList names{Ctl::RTS, Ctl::DTR, Ctl::CTS, Ctl::DSR, Ctl::TD, Ctl::RD, Ctl::CD};
    for (int i = 0; i < names.size(); ++i) {
        lines->addWidget(caption(names[i]), 0, i + 1, Qt::AlignHCenter);
        lines->addWidget(named<IndicatorLight>(names[i]), 1, i + 1, Qt::AlignHCenter);
    }
    lines->setColumnStretch(names.size() + 1, 1);
    grid->addLayout(lines, 5, 0, 1, 3);
    grid->addWidget(named<QLabel>(Ctl::Label17), 6, 0, 1, 3);
    return group;
}

QGroupBox* MainWindow::buildLinkGroup() {
    auto* group = new QGroupBox(QStringLiteral("Corvel station server"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(caption(QStringLiteral("Remote IP")), 0, 0);
    grid->addWidget(lineEdit(Ctl::RemoteIP, 15), 0, 1);
    grid->addWidget(caption(QStringLiteral("Port")), 0, 2);
    grid->addWidget(lineEdit(Ctl::RemotePort, 6), 0, 3);
    grid->addWidget(caption(QStringLiteral("Login Callsign:")), 1, 0);
    grid->addWidget(lineEdit(Ctl::Callsign, 12), 1, 1);
    grid->addWidget(caption(QStringLiteral("Login Password:")), 2, 0);
    auto* password = lineEdit(Ctl::Password, 12);
    password->setEchoMode(QLineEdit::Password);
    grid->addWidget(password, 2, 1);

    auto* lights = new QGridLayout;
    lights->addWidget(labelledLight(Ctl::Shape4, QStringLiteral("Connected")), 0, 0);
    lights->addWidget(labelledLight(Ctl::Shape1, QString(), Ctl::Label7), 0, 1);
    lights->addWidget(labelledLight(Ctl::RCVIP, QString(), Ctl::Label16), 1, 0);
    lights->addWidget(named<QLabel>(Ctl::Label12), 1, 1);
    lights->addWidget(named<QLabel>(Ctl::Label15), 2, 0, 1, 2);
    grid->addLayout(lights, 3, 0, 1, 4);
    grid->addWidget(named<QPushButton>(Ctl::Command4), 4, 3);
    return group;
}

QGroupBox* MainWindow::buildRadioGroup() {
    auto* group = new QGroupBox(QStringLiteral("Radio"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(named<QLabel>(Ctl::Label11), 0, 0);
    grid->addWidget(lineEdit(Ctl::StartFreq, 9), 0, 1);
    auto* up = named<QToolButton>(Ctl::Command3);
    up->setArrowType(Qt::UpArrow);
    auto* down = named<QToolButton>(Ctl::Command8);
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
    grid->addWidget(named<QComboBox>(Ctl::Combo1), 1, 1);
    grid->addWidget(caption(QStringLiteral("Send ASCII to port 1 or port 3")), 2, 0, 1, 4);
    grid->addWidget(named<QLineEdit>(Ctl::Text4), 3, 0, 1, 4);
    grid->addWidget(named<QPushButton>(Ctl::Command6), 4, 0, 1, 2);
    grid->addWidget(named<QPushButton>(Ctl::Command9), 4, 2, 1, 2);
    return group;
}

QGroupBox* MainWindow::buildKeyerGroup() {
    auto* group = new QGroupBox(QStringLiteral("Keyer and side tone"));
    auto* grid = new QGridLayout(group);
    auto* sideTone = named<QCheckBox>(Ctl::SideTone);
    sideTone->setToolTip(QStringLiteral("Check this if want ZarnikControl to generate a CW side tone"));
    grid->addWidget(sideTone, 0, 0, 1, 2);
    grid->addWidget(caption(QStringLiteral("Hertz")), 1, 0);
    grid->addWidget(lineEdit(Ctl::Hertz, 5), 1, 1);
    grid->addWidget(caption(QStringLiteral("CW")), 2, 0);
    grid->addWidget(lineEdit(Ctl::CWSpeed, 3), 2, 1);
    auto* apply = named<QPushButton>(Ctl::Command5);
    apply->setToolTip(QStringLiteral(
        "Change the tone by changing the number above then apply the changes with this button"));
    grid->addWidget(apply, 3, 0, 1, 2);
    auto* volume = named<QSlider>(Ctl::VScroll1);
    volume->setOrientation(Qt::Vertical);
    volume->setRange(-3000, 0);
    volume->setMinimumHeight(70);
    auto* hold = named<QCheckBox>(Ctl::CwHoldBack);
    hold->setToolTip(QStringLiteral("Hand CW to the station only this many seconds ahead, so that the "
                                    "logger's Esc can stop a message (the station cannot take back what it has)"));
    grid->addWidget(hold, 4, 0, 1, 2);
    auto* lead = lineEdit(Ctl::CwLead, 3);
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
    grid->addWidget(named<QCheckBox>(Ctl::EnableGuard), 0, 0);
    grid->addWidget(lineEdit(Ctl::GuardTime, 5), 0, 1);
    grid->addWidget(labelledLight(Ctl::Shape2, QStringLiteral("Keyed")), 0, 2);
    grid->addWidget(caption(QStringLiteral("Guard Time in Seconds")), 1, 0, 1, 3);
    grid->addWidget(named<QCheckBox>(Ctl::EnableActive), 2, 0);
    grid->addWidget(lineEdit(Ctl::ActiveTime, 5), 2, 1);
    grid->addWidget(named<QCheckBox>(Ctl::KeyRTTY), 3, 0);
    return group;
}

QGroupBox* MainWindow::buildEndpointsGroup() {
    auto* group = new QGroupBox(QStringLiteral("Network endpoints for Linux loggers (no password)"));
    auto* grid = new QGridLayout(group);
    const struct {
        QString on, address, state, spoken, tip;
    } doors[] = {{Ctl::CwDaemonOn, Ctl::CwDaemonAddress, Ctl::CwDaemonState, QStringLiteral("cwdaemon"),
                  QStringLiteral("Key CW for tlf, xlog and CQRLOG through the cwdaemon protocol")},
                 {Ctl::RigctlOn, Ctl::RigctlAddress, Ctl::RigctlState, QStringLiteral("Hamlib rigctl"),
                  QStringLiteral("The rig for WSJT-X, fldigi, CQRLOG and rigctl as Hamlib NET rigctl (model 2)")}};
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
    grid->addWidget(named<QCheckBox>(Ctl::IAMASERVER), 0, 0, 1, 2);
    grid->addWidget(caption(QStringLiteral("Chat port")), 1, 0);
    grid->addWidget(lineEdit(Ctl::ChatPort, 6), 1, 1);
    grid->addWidget(labelledLight(Ctl::Shape5, QStringLiteral("Chat link")), 2, 0, 1, 2);
    return group;
}

QGroupBox* MainWindow::buildMonitorGroup() {
    auto* group = new QGroupBox(QStringLiteral("Monitors"));
    auto* grid = new QGridLayout(group);
    grid->addWidget(named<QCheckBox>(Ctl::Check1), 0, 0);
    grid->addWidget(named<QPushButton>(Ctl::Command7), 0, 2, Qt::AlignRight);
    grid->addWidget(caption(QStringLiteral("Data From Zarnik ")), 1, 0);
    grid->addWidget(caption(QStringLiteral("Data From Corvel")), 1, 1);
    grid->addWidget(caption(QStringLiteral("Data To Zarnik or Corvel")), 1, 2);
    grid->addWidget(monitorBox(Ctl::Text1), 2, 0);
    grid->addWidget(monitorBox(Ctl::Text5), 2, 1);
    grid->addWidget(monitorBox(Ctl::Text6), 2, 2);
    grid->setRowStretch(2, 1);
    return group;
}

void MainWindow::wireButtons() {
    auto onClick = [this](const QString& name, auto&& handler) {
        auto* button = findChild<QAbstractButton*>(name);
        connect(button, &QAbstractButton::clicked, this, handler);
    };
    onClick(Ctl::Command1, [this] { core_.ports().InitPorts(); });
    onClick(Ctl::Command2, [this] { core_.ports().stopPorts(); });
    onClick(Ctl::Command4, [this] { core_.closeButton(); });
    onClick(Ctl::Command7, [this] { core_.monitors().clearAll(); });
    onClick(Ctl::Command6, [this] { core_.stepper().sendToRadio(); });
    onClick(Ctl::Command9, [this] { core_.stepper().sendToCorvel(); });
    connect(findChild<QLineEdit*>(Ctl::Callsign), &QLineEdit::editingFinished, this,
            [this] { core_.stationLink().callsignLeft(); });
    connect(findChild<QCheckBox*>(Ctl::IAMASERVER), &QCheckBox::clicked, this,
            [this] { core_.chatServerBoxClicked(); });
    for (const QString& name : {Ctl::Label7, Ctl::Label11, Ctl::EnableActive, Ctl::EnableGuard})
        findChild<QWidget*>(name)->installEventFilter(this);
    for (const QString& name : {Ctl::Command3, Ctl::Command8}) {
        auto* step = findChild<QToolButton*>(name);
        const bool up = name == Ctl::Command3;
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
    terminal_->show();
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
    core_.controls().setVisible(Ctl::Text2, false);
    QMainWindow::mousePressEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QString name = watched->objectName();
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (name == Ctl::Label7 && press)
        core_.stationLink().toggleLogin();
    if (name == Ctl::Label11 && press)
        core_.chatClient().ConnectChat();
    if (name == Ctl::EnableActive) {
        if (press)
            core_.watchdogs().activeBoxPressed();
        if (event->type() == QEvent::ToolTip)
            static_cast<QWidget*>(watched)->setToolTip(core_.watchdogs().activeToolTip());
    }
    if (name == Ctl::EnableGuard) {
        if (press)
            core_.watchdogs().guardBoxPressed();
        if (event->type() == QEvent::ToolTip)
            static_cast<QWidget*>(watched)->setToolTip(core_.watchdogs().guardToolTip());
    }
    const bool stepButton =
        watched->objectName() == Ctl::Command3 || watched->objectName() == Ctl::Command8;
    if (stepButton && (event->type() == QEvent::MouseButtonPress ||
                       event->type() == QEvent::MouseButtonRelease)) {
        // Other mouse buttons step by 1 kHz; the buttons themselves only know the left one.
        if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton) {
            if (event->type() == QEvent::MouseButtonPress)
                core_.stepper().press(watched->objectName() == Ctl::Command3, false);
            else
                core_.stepper().release();
            return true;
        }
    }
    if (watched->objectName() == Ctl::Text2 && event->type() == QEvent::MouseButtonPress)
        core_.controls().setVisible(Ctl::Text2, false);
    return QMainWindow::eventFilter(watched, event);
}
