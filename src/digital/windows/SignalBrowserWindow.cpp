#include "SignalBrowserWindow.h"
#include "widgets/ScreenRoom.h"

#include "digital/terminal/Terminal.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>

namespace {
constexpr int kIdRole = Qt::UserRole;
constexpr int kHertzRole = Qt::UserRole + 1;
constexpr int kSquelchLowest = -30, kSquelchHighest = 40;
constexpr int kRefreshMs = 200;
} // namespace

SignalBrowserWindow::SignalBrowserWindow(Terminal& terminal, const QString& folder, QWidget* parent)
    : QDialog(parent), terminal_(terminal), settingsPath_(QDir(folder).filePath(kSettingsFile)),
      list_(new QListWidget), squelch_(new QSpinBox), listenFor_(new QComboBox), news_(new QLabel),
      refreshSoon_(new QTimer(this)) {
    refreshSoon_->setSingleShot(true);
    refreshSoon_->setInterval(kRefreshMs);
    connect(refreshSoon_, &QTimer::timeout, this, &SignalBrowserWindow::refresh);
    setObjectName(QStringLiteral("SignalBrowser"));
    setWindowTitle(QStringLiteral("Signal Browser"));
    setAttribute(Qt::WA_DeleteOnClose);
    list_->setObjectName(QStringLiteral("Signals"));
    list_->setAccessibleName(QStringLiteral("Signals"));
    list_->setAccessibleDescription(
        QStringLiteral("Every signal heard, lowest first. Enter tunes the receiver there."));
    squelch_->setObjectName(QStringLiteral("Squelch"));
    squelch_->setRange(kSquelchLowest, kSquelchHighest);
    squelch_->setSuffix(QStringLiteral(" dB"));
    squelch_->setAccessibleName(QStringLiteral("Squelch, dB"));
    news_->setObjectName(QStringLiteral("NewCallsign"));
    news_->setAccessibleName(QStringLiteral("Newly heard"));
    listenFor_->setObjectName(QStringLiteral("ListenFor"));
    listenFor_->addItems({QStringLiteral("The terminal's mode"), QStringLiteral("CW")});
    listenFor_->setAccessibleName(QStringLiteral("Listen for"));
    auto* listenLabel = new QLabel(QStringLiteral("&Listen for"));
    listenLabel->setBuddy(listenFor_);
    auto* squelchLabel = new QLabel(QStringLiteral("&Squelch"));
    squelchLabel->setBuddy(squelch_);
    auto* top = new QHBoxLayout;
    top->addWidget(listenLabel);
    top->addWidget(listenFor_);
    top->addWidget(squelchLabel);
    top->addWidget(squelch_);
    top->addStretch(1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(list_, 1);
    column->addWidget(news_);

    QSettings settings(settingsPath_, QSettings::IniFormat);
    squelch_->setValue(std::clamp(settings.value(QStringLiteral("squelch"), kSquelchLowest).toInt(),
                                  kSquelchLowest, kSquelchHighest));
    listenFor_->setCurrentIndex(settings.value(QStringLiteral("listenFor")).toString() == QStringLiteral("cw") ? 1 : 0);
    if (!restoreGeometry(settings.value(QStringLiteral("geometry")).toByteArray()))
        resize(560, 360);
    const QRect placed = ScreenRoom::fit(geometry());
    move(placed.topLeft());
    resize(placed.size());

    SignalBrowser& browser = terminal_.browser();
    connect(&browser, &SignalBrowser::rowsChanged, this, [this] {
        if (!refreshSoon_->isActive())
            refreshSoon_->start();
    });
    connect(&browser, &SignalBrowser::newCallsign, this, &SignalBrowserWindow::tellNewCallsign);
    connect(squelch_, &QSpinBox::valueChanged, this, &SignalBrowserWindow::refresh);
    connect(listenFor_, &QComboBox::currentIndexChanged, this, [this](int index) {
        terminal_.browser().setListensForCw(index == 1);
        save(); // the terminal reads the choice when the browser next skims in the background
    });
    connect(list_, &QListWidget::itemActivated, this, &SignalBrowserWindow::tuneToCurrent);
    terminal_.setBrowsing(Terminal::BrowsingFor::Window, true);
    browser.setListensForCw(listenFor_->currentIndex() == 1);
    refresh();
}

SignalBrowserWindow::~SignalBrowserWindow() {
    save();
    terminal_.setBrowsing(Terminal::BrowsingFor::Window, false);
}

QString SignalBrowserWindow::sentence(const SignalBrowser::Row& row) {
    const QString speed =
        row.wpm > 0 ? QStringLiteral(", %1 words per minute").arg(row.wpm) : QString();
    QString text = QStringLiteral("%1 hertz, %2 dB%3: %4")
                       .arg(std::lround(row.hz))
                       .arg(std::lround(row.snrDb))
                       .arg(speed, row.text.simplified());
    if (!row.callsign.isEmpty())
        text += QStringLiteral(" (callsign %1)").arg(row.callsign);
    return text;
}

void SignalBrowserWindow::refresh() {
    const int current = list_->currentItem() ? list_->currentItem()->data(kIdRole).toInt() : -1;
    int row = 0;
    for (const SignalBrowser::Row& signal : terminal_.browser().rows()) {
        if (signal.snrDb < squelch_->value())
            continue;
        QListWidgetItem* item =
            row < list_->count() ? list_->item(row) : new QListWidgetItem(list_);
        const QString shown =
            QStringLiteral("%1 Hz  %2 dB  %3%4%5")
                .arg(std::lround(signal.hz), 4)
                .arg(std::lround(signal.snrDb), 3)
                .arg(signal.wpm > 0 ? QStringLiteral("%1 wpm  ").arg(signal.wpm, 2) : QString())
                .arg(signal.callsign.isEmpty() ? QString()
                                               : QStringLiteral("[%1]  ").arg(signal.callsign))
                .arg(signal.text.simplified());
        if (item->text() != shown) {
            item->setText(shown);
            item->setData(Qt::AccessibleTextRole, sentence(signal));
        }
        item->setData(kIdRole, signal.id);
        item->setData(kHertzRole, signal.hz);
        if (signal.id == current && list_->currentRow() != row)
            list_->setCurrentRow(row);
        ++row;
    }
    while (list_->count() > row)
        delete list_->takeItem(list_->count() - 1);
}

void SignalBrowserWindow::tuneToCurrent() {
    if (QListWidgetItem* item = list_->currentItem())
        terminal_.tuneToSignal(item->data(kHertzRole).toDouble());
}

void SignalBrowserWindow::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && list_->currentItem()) {
        tuneToCurrent(); // Enter tunes; it does not close the window as a dialog's default would
        return;
    }
    QDialog::keyPressEvent(event);
}

// A screen reader hears the line change (Qt 6.4 has no announcement of its own to send).
void SignalBrowserWindow::tellNewCallsign(const QString& callsign, double hz) {
    const QString text = QStringLiteral("New: %1 at %2 hertz").arg(callsign).arg(std::lround(hz));
    news_->setText(text);
    news_->setAccessibleName(text);
    QAccessibleEvent event(news_, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void SignalBrowserWindow::save() const {
    QSettings settings(settingsPath_, QSettings::IniFormat);
    settings.setValue(QStringLiteral("geometry"), saveGeometry());
    settings.setValue(QStringLiteral("squelch"), squelch_->value());
    settings.setValue(QStringLiteral("listenFor"),
                      listenFor_->currentIndex() == 1 ? QStringLiteral("cw") : QStringLiteral("terminal"));
}
