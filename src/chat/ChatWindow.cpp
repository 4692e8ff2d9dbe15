#include "ChatWindow.h"

#include "ChatControls.h"
#include "ChatPanel.h"
#include "widgets/ControlBinder.h"
#include "common/ControlStore.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
template <typename T> T* named(const QString& name) {
    auto* widget = new T;
    widget->setObjectName(name);
    return widget;
}
} // namespace

ChatWindow::ChatWindow(ChatPanel& panel, ControlStore& chat, QWidget* parent)
    : QWidget(parent, Qt::Window), panel_(panel), chat_(chat) {
    setObjectName(QStringLiteral("Chatfrm"));
    setWindowTitle(QStringLiteral("Chat"));
    auto* display = named<QPlainTextEdit>(ChatCtl::displayBox);
    display->setReadOnly(true);
    display->setAccessibleName(QStringLiteral("Chat lines"));
    auto* entry = named<QPlainTextEdit>(ChatCtl::entryBox);
    entry->setAccessibleName(QStringLiteral("Chat text to send"));
    entry->setMaximumHeight(entry->fontMetrics().height() * 4);
    entry->installEventFilter(this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(display, 0, 0, 1, 4);
    grid->addWidget(named<QPushButton>(ChatCtl::clearDisplayButton), 1, 3);
    grid->addWidget(entry, 2, 0, 1, 3);
    grid->addWidget(named<QPushButton>(ChatCtl::clearEntryButton), 2, 3);
    grid->addWidget(named<QPushButton>(ChatCtl::sendButton), 3, 0);
    grid->addWidget(named<QCheckBox>(ChatCtl::clearAfterSendCheck), 3, 1);
    grid->addWidget(named<QCheckBox>(ChatCtl::sendOnEnterCheck), 3, 2);
    grid->addWidget(named<QPushButton>(ChatCtl::logButton), 4, 0);
    grid->addWidget(named<QPushButton>(ChatCtl::deleteLogButton), 4, 1);
    grid->addWidget(named<QPushButton>(ChatCtl::closeButton), 4, 3);
    grid->setRowStretch(0, 1);

    (new ControlBinder(chat_, this))->bindAll(this, {});
    auto onClick = [this](const QString& name, auto&& handler) {
        connect(findChild<QPushButton*>(name), &QPushButton::clicked, this, handler);
    };
    onClick(ChatCtl::sendButton, [this] { panel_.send(); });
    onClick(ChatCtl::clearDisplayButton, [this] { chat_.setText(ChatCtl::displayBox, QString()); });
    onClick(ChatCtl::clearEntryButton, [this] { chat_.setText(ChatCtl::entryBox, QString()); });
    onClick(ChatCtl::logButton, [this] { panel_.showLog(); });
    onClick(ChatCtl::deleteLogButton, [this] { panel_.deleteLog(); });
    onClick(ChatCtl::closeButton, [this] { close(); });
    resize(520, 380);
}

bool ChatWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched->objectName() == ChatCtl::entryBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && panel_.enterPressed())
            return true; // sent; no line break enters the box
    }
    return QWidget::eventFilter(watched, event);
}

void ChatWindow::closeEvent(QCloseEvent* event) {
    panel_.unload(); // the options are kept; the chat connections stay up
    event->accept();
}
