#pragma once

#include <QMainWindow>
#include <QPointer>

class AppCore;
class ControlBinder;
class HelpWindow;
class ChatWindow;
class TerminalWindow;
class Terminal;
class QGroupBox;
class QAction;

// The main window: lays out the controls, mirrors the control store, and turns clicks and
// menu choices into calls on the core. It holds no rule of its own.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppCore& core, QWidget* parent = nullptr);
    TerminalWindow* terminalWindow() const;

    // Twips to pixels for this screen and font, so the two classic sizes hold the layout.
    QSize pixelsFor(QSize twips) const;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    QWidget* buildNote();
    QGroupBox* buildPortsGroup();
    QGroupBox* buildLinkGroup();
    QGroupBox* buildRadioGroup();
    QGroupBox* buildMonitorGroup();
    QGroupBox* buildKeyerGroup();
    QGroupBox* buildWatchdogGroup();
    QGroupBox* buildChatGroup();
    QGroupBox* buildEndpointsGroup();
    void wireButtons();
    void applySize(QSize twips);
    void showHelp();
    void showChat(bool shown);
    void toggleTerminal();
    void skimForSpots(Terminal& terminal);

    AppCore& core_;
    ControlBinder* binder_ = nullptr;
    QWidget* expandedPart_ = nullptr;
    QList<QAction*> actions_;
    QPointer<HelpWindow> help_;
    QPointer<ChatWindow> chat_;
    QPointer<TerminalWindow> terminal_;
    bool activatedOnce_ = false;
};
