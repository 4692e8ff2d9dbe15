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
    auto* display = named<QPlainTextEdit>(ChatCtl::Text1);
    display->setReadOnly(true);
    display->setAccessibleName(QStringLiteral("Chat lines"));
    auto* entry = named<QPlainTextEdit>(ChatCtl::Text2);
    entry->setAccessibleName(QStringLiteral("Chat text to send"));
    entry->setMaximumHeight(entry->fontMetrics().height() * 4);
    entry->installEventFilter(this);
    auto* grid = new QGridLayout(this);
    grid->addWidget(display, 0, 0, 1, 4);
    grid->addWidget(named<QPushButton>(ChatCtl::Command3), 1, 3);
    grid->addWidget(entry, 2, 0, 1, 3);
    grid->addWidget(named<QPushButton>(ChatCtl::Command4), 2, 3);
    grid->addWidget(named<QPushButton>(ChatCtl::Command2), 3, 0);
    grid->addWidget(named<QCheckBox>(ChatCtl::ClearAS), 3, 1);
    grid->addWidget(named<QCheckBox>(ChatCtl::EnterKey), 3, 2);
    grid->addWidget(named<QPushButton>(ChatCtl::Command5), 4, 0);
    grid->addWidget(named<QPushButton>(ChatCtl::Command6), 4, 1);
    grid->addWidget(named<QPushButton>(ChatCtl::Command1), 4, 3);
    grid->setRowStretch(0, 1);

    (new ControlBinder(chat_, this))->bindAll(this, {});
    auto onClick = [this](const QString& name, auto&& handler) {
        connect(findChild<QPushButton*>(name), &QPushButton::clicked, this, handler);
    };
    onClick(ChatCtl::Command2, [this] { panel_.send(); });
    onClick(ChatCtl::Command3, [this] { chat_.setText(ChatCtl::Text1, QString()); });
    onClick(ChatCtl::Command4, [this] { chat_.setText(ChatCtl::Text2, QString()); });
    onClick(ChatCtl::Command5, [this] { panel_.showLog(); });
    onClick(ChatCtl::Command6, [this] { panel_.deleteLog(); });
    onClick(ChatCtl::Command1, [this] { close(); });
    resize(520, 380);
}

bool ChatWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched->objectName() == ChatCtl::Text2 && event->type() == QEvent::KeyPress) {
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
