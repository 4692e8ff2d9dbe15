#pragma once

#include <QMainWindow>
#include <QPointer>
#include <memory>

class DirectoryWindow;
class SignalBrowserWindow;
class QMenu;
class QPlainTextEdit;
class Terminal;
struct TerminalPlatform;
struct TwipsRect;
class XmmvView;

// "Vantor Digital Interface": the receive and transmit boxes, the function keys, the modem's
// lists, buttons and displays, and its menus. It lays them out, binds them to the terminal's
// control store and turns clicks and keys into calls on the terminal; every rule is there.
class TerminalWindow final : public QMainWindow {
    Q_OBJECT
  public:
    explicit TerminalWindow(const TerminalPlatform& platform, QWidget* parent = nullptr);
    ~TerminalWindow() override;

    Terminal& terminal() { return *terminal_; }
    DirectoryWindow* directory() const;
    int pixels(int twips) const;
    int twips(int pixels) const;

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildMenus();
    QWidget* buildTextArea();
    QWidget* buildFunctionKeys();
    QWidget* buildControlRows();
    QWidget* buildDisplays();
    void wireTerminal();
    void wireButtons();
    void wireLists();
    void bindReceiveBoxes();
    bool transmitKey(QPlainTextEdit* box, QEvent* event);
    bool receiveBoxEvent(int channel, QEvent* event);
    void displayClicked(XmmvView* view, double hz, Qt::MouseButton button);
    void applyGeometry(const TwipsRect& twips);
    TwipsRect currentTwips() const;
    void applyDisplay();
    void setFontSize(int points);
    void openDirectory();
    void openSignalBrowser();

    std::unique_ptr<Terminal> terminal_;
    QMenu* popup_ = nullptr;
    QPointer<DirectoryWindow> directory_;
    QPointer<SignalBrowserWindow> browser_;
    QString folder_; // where the windows keep their settings
    bool activatedOnce_ = false;
    bool destroying_ = false;
};
