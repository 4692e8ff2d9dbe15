#include "TerminalWindow.h"

#include "DirectoryWindow.h"
#include "SignalBrowserWindow.h"
#include "XmmvView.h"
#include "digital/terminal/Terminal.h"
#include "widgets/ControlBinder.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace TermCtl;

namespace {

// A label whose text the modem keeps changing: wide enough for its longest text, so the
// window does not jump about as the figures change.
QLabel* reportLabel(const QString& name, const QString& accessible, const QString& widest) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setAccessibleName(accessible);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(widest));
    return label;
}

// A line that says what the terminal does: a screen reader speaks its text (what it is about
// is its description), so a sound card gone or a list refused is heard, not just "Sound card".
QLabel* statusLine(const QString& name, const QString& about) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setAccessibleDescription(about);
    label->setWordWrap(true);
    return label;
}

template <typename T> T* named(const QString& name, const QString& accessible = {}) {
    auto* widget = new T;
    widget->setObjectName(name);
    if (!accessible.isEmpty())
        widget->setAccessibleName(accessible);
    return widget;
}

// A modem button: a toggle that stays down, or a plain button.
QPushButton* modemButton(const QString& name, bool toggles, const QString& accessible = {}) {
    auto* button = named<QPushButton>(name, accessible);
    button->setCheckable(toggles);
    button->setAutoDefault(false);
    return button;
}

QComboBox* listBox(const QString& name, const QString& accessible,
                   const QStringList& fixedItems = {}) {
    auto* combo = named<QComboBox>(name, accessible);
    if (!fixedItems.isEmpty()) { // a list whose text may also be any value
        combo->setEditable(true);
        combo->addItems(fixedItems);
        combo->setInsertPolicy(QComboBox::NoInsert);
    }
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

} // namespace

TerminalWindow::TerminalWindow(const TerminalPlatform& platform, QWidget* parent)
    : QMainWindow(parent), terminal_(std::make_unique<Terminal>(platform)),
      folder_(platform.folder) {
    setObjectName(QStringLiteral("VantorVARIF"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildMenus();
    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(pixels(100), 2, pixels(100), 2);
    column->setSpacing(3);
    column->addWidget(buildTextArea(), 1);
    column->addWidget(buildFunctionKeys());
    column->addWidget(buildControlRows());
    column->addWidget(buildDisplays());
    column->addWidget(statusLine(soundStatus, QStringLiteral("Sound card")));
    column->addWidget(statusLine(callsignListStatus, QStringLiteral("Callsign list")));
    setCentralWidget(central);

    QList<QAction*> actions = findChildren<QAction*>();
    (new ControlBinder(terminal_->controls(), this))->bindAll(this, actions);
    wireTerminal();
    wireButtons();
    wireLists();
    bindReceiveBoxes();
    terminal_->load();
    setWindowTitle(QStringLiteral("Vantor Digital Interface"));
    setFontSize(terminal_->fontSize());
    applyDisplay();
}

TerminalWindow::~TerminalWindow() {
    // The widgets (the displays, the directory window, the signal browser) refer to the
    // terminal and its modem: they go first, while the terminal is still there.
    destroying_ = true; // the boxes' events on their way out are no key presses or clicks
    delete directory_;
    delete browser_;
    delete takeCentralWidget();
}

int TerminalWindow::pixels(int twips) const {
    return int(std::lround(twips * logicalDpiY() / 1440.0));
}

int TerminalWindow::twips(int pixels) const {
    return int(std::lround(pixels * 1440.0 / logicalDpiY()));
}

void TerminalWindow::buildMenus() {
    auto action = [this](QMenu* menu, const QString& name, bool checkable = false) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(name);
        a->setCheckable(checkable);
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    connect(action(file, exitMenu), &QAction::triggered, this, &QWidget::close);
    connect(action(file, sendFileMenu), &QAction::triggered, this,
            [this] { terminal_->sendFile(); });
    const std::pair<QString, std::pair<QString, QString>> soundMenus[] = {
        {QStringLiteral("Sound  RX"), {defaultReceiveSoundMenu, receiveSoundMenu}},
        {QStringLiteral("Sound TX"), {defaultTransmitSoundMenu, transmitSoundMenu}}};
    for (const auto& [title, names] : soundMenus) {
        QMenu* menu = menuBar()->addMenu(title);
        QStringList entries{names.first};
        for (int i = 0; i < kSoundEntries; ++i)
            entries << names.second + QString::number(i);
        for (const QString& entry : entries) {
            QAction* a = action(menu, entry, true);
            connect(a, &QAction::triggered, this, [this, a, entry] {
                terminal_->soundMenuClicked(entry);
                a->setChecked(terminal_->controls().isTicked(entry));
            });
        }
    }
    QMenu* view = menuBar()->addMenu(QStringLiteral("View"));
    QAction* browser = action(view, signalBrowserMenu);
    browser->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    connect(browser, &QAction::triggered, this, &TerminalWindow::openSignalBrowser);
    QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
    connect(action(help, helpMenu), &QAction::triggered, this, [this] { terminal_->help(); });

    popup_ = new QMenu(QStringLiteral("Popup"), this);
    connect(action(popup_, setNotchMenu), &QAction::triggered, this,
            [this] { terminal_->setNotchHere(); });
    connect(action(popup_, deleteNotchesMenu), &QAction::triggered, this,
            [this] { terminal_->deleteAllNotches(); });
    popup_->addSeparator();
    connect(action(popup_, transmitCarrierMenu), &QAction::triggered, this,
            [this] { terminal_->txCarrierHere(); });
}

QWidget* TerminalWindow::buildTextArea() {
    auto* area = new QWidget;
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(0, 0, 0, 0);
    for (int ch = 0; ch < 2; ++ch) {
        auto* box = named<QPlainTextEdit>(
            at(receiveBox, ch), ch == 0 ? QStringLiteral("Received text")
                                        : QStringLiteral("Received text, second channel"));
        box->setReadOnly(true);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        box->setUndoRedoEnabled(false);
        box->viewport()->installEventFilter(this);
        column->addWidget(box, 1);
    }
    auto* tx = named<QPlainTextEdit>(transmitBox, QStringLiteral("Text to send"));
    tx->setMaximumHeight(tx->fontMetrics().height() * 3 + 10);
    tx->installEventFilter(this);
    column->addWidget(tx);
    return area;
}

QWidget* TerminalWindow::buildFunctionKeys() {
    auto* row = new QWidget;
    auto* keys = new QHBoxLayout(row);
    keys->setContentsMargins(0, 0, 0, 0);
    keys->setSpacing(2);
    for (int i = 0; i < kFunctionKeys; ++i) {
        auto* key =
            modemButton(at(functionKey, i), false, QStringLiteral("Function key %1").arg(i + 1));
        key->setToolTip(QStringLiteral("Right click to set function key content and name"));
        key->setContextMenuPolicy(Qt::CustomContextMenu);
        key->setMinimumWidth(40);
        keys->addWidget(key);
    }
    return row;
}

QWidget* TerminalWindow::buildControlRows() {
    auto* rows = new QWidget;
    auto* grid = new QGridLayout(rows);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(2);
    int col = 0;
    auto first = [&](QWidget* w) { grid->addWidget(w, 0, col++); };
    first(listBox(at(modeChoice, 0), QStringLiteral("Mode")));
    first(listBox(at(speedChoice, 0), QStringLiteral("Speed"), speedItems(0)));
    first(listBox(receiveCarrierBox, QStringLiteral("Receive carrier, hertz"), carrierItems()));
    first(listBox(transmitCarrierBox, QStringLiteral("Transmit carrier, hertz"), carrierItems()));
    auto* tx = modemButton(transmitButton, true, QStringLiteral("Transmit"));
    tx->setContextMenuPolicy(Qt::CustomContextMenu);
    tx->setToolTip(QStringLiteral("Right click: a steady tone for tuning"));
    first(tx);
    first(modemButton(transmitOffButton, false, QStringLiteral("Transmit off")));
    first(modemButton(at(afcButton, 0), true, QStringLiteral("AFC")));
    first(modemButton(netButton, true, QStringLiteral("NET, transmit on the receive carrier")));
    first(modemButton(searchDownButton, false, QStringLiteral("Search for a signal below")));
    first(modemButton(searchUpButton, false, QStringLiteral("Search for a signal above")));
    first(modemButton(largeFontButton, false, QStringLiteral("Large font")));
    first(named<QCheckBox>(alwaysOnTopCheck, QStringLiteral("Always on top")));
    first(reportLabel(at(signalToNoiseLabel, 0), QStringLiteral("Signal to noise"),
                      QStringLiteral("S/N=-99dB")));
    first(reportLabel(at(timingLabel, 0), QStringLiteral("Timing"), QStringLiteral("-9999ppm")));
    first(reportLabel(languageLabel, QStringLiteral("Character code"), QStringLiteral("Varicode")));
    col = 0;
    auto second = [&](QWidget* w) { grid->addWidget(w, 1, col++); };
    static const char* const views[] = {"Spectrum", "Waterfall", "Sync scope", "Wave scope"};
    for (int i = 0; i < 4; ++i)
        second(modemButton(at(viewButton, i), true, QString::fromLatin1(views[i])));
    for (int i = 0; i < 4; ++i)
        second(modemButton(at(bandPassButton, i), true,
                           QStringLiteral("Band-pass filter %1").arg(i + 1)));
    second(modemButton(cwIdButton, true, QStringLiteral("CW")));
    second(modemButton(dualButton, true, QStringLiteral("Dual receive")));
    second(modemButton(talkButton, true, QStringLiteral("Talk")));
    second(modemButton(zoomButton, true, QStringLiteral("Zoom")));
    second(listBox(at(modeChoice, 1), QStringLiteral("Mode, second channel")));
    second(listBox(at(speedChoice, 1), QStringLiteral("Speed, second channel"), speedItems(1)));
    second(modemButton(at(afcButton, 1), true, QStringLiteral("AFC, second channel")));
    second(reportLabel(secondCarrierLabel, QStringLiteral("Second channel carrier"),
                       QStringLiteral("2999Hz")));
    second(reportLabel(at(signalToNoiseLabel, 1), QStringLiteral("Signal to noise, second channel"),
                       QStringLiteral("S/N=-99dB")));
    second(reportLabel(at(timingLabel, 1), QStringLiteral("Timing, second channel"),
                       QStringLiteral("-9999ppm")));
    grid->setColumnStretch(30, 1);
    return rows;
}

QWidget* TerminalWindow::buildDisplays() {
    Modem& modem = terminal_->modem();
    auto* panel = new QWidget;
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(2);
    auto place = [](QWidget* w, const QString& name, const QString& accessible) {
        w->setObjectName(name);
        w->setAccessibleName(accessible);
        return w;
    };
    for (int ch = 0; ch < 2; ++ch) {
        QWidget* level = place(new XmmvLevel(modem), at(levelMeter, ch),
                               ch == 0 ? QStringLiteral("Signal level")
                                       : QStringLiteral("Signal level, second channel"));
        level->installEventFilter(this);
        grid->addWidget(level, 0, ch == 0 ? 0 : 3, 2, 1);
    }
    auto* view = static_cast<XmmvView*>(
        place(new XmmvView(modem, 0), spectrumView, QStringLiteral("Spectrum display")));
    auto* view1 = static_cast<XmmvView*>(place(new XmmvView(modem, 1), secondSpectrumView,
                                               QStringLiteral("Spectrum display, second channel")));
    grid->addWidget(view, 0, 1);
    grid->addWidget(view1, 0, 2);
    grid->addWidget(place(new AfcIndicator(modem), afcIndicator, QStringLiteral("AFC indicator")),
                    1, 2);
    auto* scroll = named<QScrollBar>(displayStartBar, QStringLiteral("Display start frequency"));
    scroll->setOrientation(Qt::Horizontal);
    scroll->setRange(0, 2000);
    scroll->setSingleStep(50);
    scroll->setPageStep(500);
    grid->addWidget(scroll, 1, 1);
    auto* list = named<QListWidget>(callsignList, QStringLiteral("Callsigns picked up"));
    list->setFixedWidth(pixels(1200));
    grid->addWidget(list, 0, 4);
    grid->addWidget(
        modemButton(clearCallsignsButton, false, QStringLiteral("Clear the callsign list")), 1, 4);
    grid->setColumnStretch(1, 1);
    for (XmmvView* v : {view, view1})
        connect(v, &XmmvView::clickedAt, this,
                [this, v](double hz, Qt::MouseButton button) { displayClicked(v, hz, button); });
    return panel;
}
