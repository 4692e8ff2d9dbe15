// The terminal window's bindings: clicks, keys and the terminal's requests.
#include "DirectoryWindow.h"
#include "SignalBrowserWindow.h"
#include "TerminalWindow.h"
#include "widgets/ScreenRoom.h"
#include "XmmvView.h"
#include "digital/terminal/Terminal.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>

using namespace TermCtl;

namespace {
constexpr QChar kBackspace(8);
constexpr QChar kReturn(13);
constexpr QChar kEscape(27);

// The key as the terminal counts key presses: a typed character, or Enter, Escape or
// Backspace. Shift, Ctrl, arrows and the like alone are not key presses.
QChar terminalKey(const QKeyEvent& key) {
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kReturn;
    case Qt::Key_Escape:
        return kEscape;
    case Qt::Key_Backspace:
        return kBackspace;
    default:
        break;
    }
    const QString text = key.text();
    if (text.isEmpty() || (key.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)))
        return {};
    const QChar c = text.front();
    return c.isPrint() || c == u'\t' ? c : QChar();
}
} // namespace

void TerminalWindow::wireTerminal() {
    Terminal& t = *terminal_;
    connect(&t, &Terminal::geometryRequested, this, &TerminalWindow::applyGeometry);
    connect(&t, &Terminal::fontSizeChanged, this, &TerminalWindow::setFontSize);
    connect(&t, &Terminal::displayChanged, this, &TerminalWindow::applyDisplay);
    connect(&t, &Terminal::topMostRequested, this, [this] {
        setWindowFlag(Qt::WindowStaysOnTopHint, true);
        show();
    });
    connect(&t, &Terminal::directoryRequested, this, &TerminalWindow::openDirectory);
    connect(&t, &Terminal::closeDirectoryRequested, this, [this] {
        if (directory_)
            directory_->close();
    });
    connect(&t, &Terminal::finished, this, &QObject::deleteLater);
    auto* tx = findChild<QPlainTextEdit*>(transmitBox);
    connect(tx, &QPlainTextEdit::textChanged, this,
            [this, tx] { terminal_->transmit().setBoxText(tx->toPlainText()); });
    connect(&t.transmit(), &TransmitText::boxCleared, tx, [tx] {
        if (!tx->toPlainText().isEmpty())
            tx->clear();
    });
    connect(&t.receive(), &ReceiveText::listHeightChanged, this, [this](int twips) {
        findChild<QListWidget*>(callsignList)->setFixedHeight(pixels(twips));
    });
}

void TerminalWindow::wireButtons() {
    Terminal& t = *terminal_;
    auto onClick = [this](const QString& name, auto&& handler) {
        connect(findChild<QAbstractButton*>(name), &QAbstractButton::clicked, this, handler);
    };
    onClick(transmitButton, [&t] { t.transmit().txButtonClicked(); });
    connect(findChild<QPushButton*>(transmitButton), &QWidget::customContextMenuRequested, this,
            [&t] { t.transmit().txButtonSecondEvent(); });
    onClick(transmitOffButton, [&t] { t.transmit().txOffClicked(); });
    onClick(netButton, [&t] { t.netClicked(); });
    onClick(dualButton, [&t] { t.dualClicked(); });
    onClick(clearCallsignsButton, [&t] { t.receive().clearList(); });
    onClick(searchDownButton, [&t] { t.search().searchDown(); });
    onClick(searchUpButton, [&t] { t.search().searchUp(); });
    onClick(largeFontButton, [&t] { t.largeFontClicked(); });
    onClick(alwaysOnTopCheck, [&t] { t.frontClicked(); });
    for (int ch = 0; ch < 2; ++ch)
        onClick(at(afcButton, ch), [&t, ch] { t.afcClicked(ch); });
    for (int i = 0; i < 4; ++i) {
        onClick(at(viewButton, i), [&t, i] { t.fftClicked(i); });
        onClick(at(bandPassButton, i), [&t, i] { t.bpfClicked(i); });
    }
    for (int i = 0; i < kFunctionKeys; ++i) {
        onClick(at(functionKey, i), [&t, i] { t.transmit().sendFunctionKey(i); });
        connect(findChild<QPushButton*>(at(functionKey, i)), &QWidget::customContextMenuRequested,
                this, [&t, i] { t.transmit().editFunctionKey(i); });
    }
    connect(findChild<QScrollBar*>(displayStartBar), &QScrollBar::valueChanged, this,
            [&t] { t.scrollChanged(); });
}

void TerminalWindow::wireLists() {
    Terminal& t = *terminal_;
    auto onChoice = [this](const QString& name, auto&& handler) {
        auto* combo = findChild<QComboBox*>(name);
        connect(combo, &QComboBox::activated, this, handler);
        if (combo->isEditable()) { // a value typed in counts once the operator leaves the box
            connect(combo->lineEdit(), &QLineEdit::editingFinished, this,
                    [this, combo, name, handler] {
                        if (terminal_->controls().text(name) == combo->currentText())
                            return;
                        terminal_->controls().setText(name, combo->currentText());
                        handler();
                    });
        }
    };
    for (int ch = 0; ch < 2; ++ch) {
        onChoice(at(modeChoice, ch), [&t, ch] { t.modeChosen(ch); });
        onChoice(at(speedChoice, ch), [&t, ch] { t.speedChosen(ch); });
    }
    onChoice(receiveCarrierBox, [&t] { t.rxCarrierChosen(); });
    onChoice(transmitCarrierBox, [&t] { t.txCarrierChosen(); });
}

void TerminalWindow::bindReceiveBoxes() {
    connect(&terminal_->receive(), &ReceiveText::appended, this,
            [this](int channel, const QString& text) {
                auto* box = findChild<QPlainTextEdit*>(at(receiveBox, channel));
                QTextCursor end(box->document());
                end.movePosition(QTextCursor::End);
                end.insertText(text);
                if (!box->textCursor().hasSelection())
                    box->moveCursor(QTextCursor::End); // the newest text in view
            });
    connect(&terminal_->receive(), &ReceiveText::trimmedFront, this,
            [this](int channel, int count) {
                auto* box = findChild<QPlainTextEdit*>(at(receiveBox, channel));
                QTextCursor oldest(box->document());
                oldest.setPosition(count, QTextCursor::KeepAnchor);
                oldest.removeSelectedText();
            });
    connect(&terminal_->receive(), &ReceiveText::chopped, this, [this](int channel, int count) {
        auto* box = findChild<QPlainTextEdit*>(at(receiveBox, channel));
        QTextCursor end(box->document());
        end.movePosition(QTextCursor::End);
        for (int i = 0; i < count; ++i)
            end.deletePreviousChar();
    });
}

bool TerminalWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !activatedOnce_) {
        activatedOnce_ = true;
        terminal_->activated();
    }
    return QMainWindow::event(event);
}

bool TerminalWindow::eventFilter(QObject* watched, QEvent* event) {
    if (destroying_)
        return false;
    if (watched->objectName() == transmitBox)
        return transmitKey(static_cast<QPlainTextEdit*>(watched), event) ||
               QMainWindow::eventFilter(watched, event);
    for (int ch = 0; ch < 2; ++ch) {
        auto* box = findChild<QPlainTextEdit*>(at(receiveBox, ch));
        if (box && watched == box->viewport())
            return receiveBoxEvent(ch, event) || QMainWindow::eventFilter(watched, event);
    }
    if (event->type() == QEvent::MouseButtonPress && watched->objectName().startsWith(levelMeter)) {
        const QPoint where = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        terminal_->levelClicked(int(terminal_->modem().spectrum().level() * 100), where.x(),
                                where.y());
    }
    return QMainWindow::eventFilter(watched, event);
}

// The transmit box: the terminal sees each key press before the box takes it.
bool TerminalWindow::transmitKey(QPlainTextEdit* box, QEvent* event) {
    if (event->type() == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            terminal_->transmit().focusIn(); // the operator came to the box: a fresh start
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    const QChar key = terminalKey(*static_cast<QKeyEvent*>(event));
    if (key.isNull())
        return false;
    const auto outcome = terminal_->transmit().keyPress(key, box->textCursor().position());
    if (outcome.caretToEnd)
        box->moveCursor(QTextCursor::End);
    return !outcome.boxTakesKey;
}

bool TerminalWindow::receiveBoxEvent(int channel, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        terminal_->receive().setMouseDown(true);
    } else if (event->type() == QEvent::MouseButtonRelease) {
        // Let the box place its caret first, then pick up the word there.
        QTimer::singleShot(0, this, [this, channel] {
            auto* box = findChild<QPlainTextEdit*>(at(receiveBox, channel));
            terminal_->receive().setMouseDown(false);
            terminal_->receive().clickedAt(channel, box->textCursor().position());
        });
    }
    return false;
}

void TerminalWindow::displayClicked(XmmvView* view, double hz, Qt::MouseButton button) {
    const bool right = button == Qt::RightButton;
    const int channel = view->objectName() == secondSpectrumView ? 1 : 0;
    const int notch = right ? view->notchAt(view->xFor(hz)) : 0;
    if (!terminal_->displayClicked(int(std::lround(hz)), right, notch, channel))
        return;
    popup_->exec(QCursor::pos());
    terminal_->popupClosed();
}

void TerminalWindow::applyDisplay() {
    for (const QString& name : {spectrumView, secondSpectrumView}) {
        auto* view = findChild<XmmvView*>(name);
        view->display = terminal_->display();
        view->startHz = terminal_->scrollPos();
        view->markerHz = terminal_->marker();
        view->update();
    }
}

void TerminalWindow::setFontSize(int points) {
    for (const QString& name : {at(receiveBox, 0), at(receiveBox, 1), transmitBox}) {
        auto* box = findChild<QPlainTextEdit*>(name);
        QFont font = box->font();
        font.setPointSize(points);
        box->setFont(font);
    }
}

void TerminalWindow::applyGeometry(const TwipsRect& twips) {
    // The terminal's minimum height, or more when the controls need more room.
    setMinimumHeight(std::max(pixels(terminal_->minimumHeightTwips()), minimumSizeHint().height()));
    QRect wanted(pixels(twips.left), pixels(twips.top), pixels(twips.width),
                 std::max(pixels(twips.height), minimumHeight()));
    wanted = ScreenRoom::fit(wanted); // 6667 x 6667 from a slip of the twips
    move(wanted.topLeft());
    resize(wanted.size());
}

TwipsRect TerminalWindow::currentTwips() const {
    const QRect frame = frameGeometry();
    return {twips(frame.top()), twips(frame.left()), twips(height()), twips(width())};
}

void TerminalWindow::closeEvent(QCloseEvent* event) {
    terminal_->unload(currentTwips()); // finished() follows once nothing of it is running
    event->accept();
}

DirectoryWindow* TerminalWindow::directory() const {
    return directory_;
}

void TerminalWindow::openSignalBrowser() {
    if (!browser_)
        browser_ = new SignalBrowserWindow(*terminal_, folder_, this);
    browser_->show();
    browser_->raise();
    browser_->activateWindow();
}

void TerminalWindow::openDirectory() {
    if (!directory_)
        directory_ = new DirectoryWindow(terminal_->fileSender(), this);
    connect(directory_, &QObject::destroyed, this, [this] { terminal_->clearFileTarget(); });
    directory_->show();
    directory_->raise();
    directory_->activateWindow();
}
