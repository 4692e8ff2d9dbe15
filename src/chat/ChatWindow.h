#pragma once

#include <QWidget>

class ChatPanel;
class ControlStore;

// The chat window: the display, the entry box and its buttons and options.
class ChatWindow final : public QWidget {
    Q_OBJECT
public:
    ChatWindow(ChatPanel& panel, ControlStore& chat, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    ChatPanel& panel_;
    ControlStore& chat_;
};
