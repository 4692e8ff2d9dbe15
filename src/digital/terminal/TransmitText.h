#pragma once

#include "digital/modem/Modem.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>

struct TerminalContext;

// Sending from the terminal: the transmit box as a type-ahead buffer the modem pulls from,
// the TX and TXOFF buttons, and the function-key macros. The remote transmitter is keyed
// over the station link; the modem sends into the sound card.
//
// Two endings take time, and run on the ticks of a timer while the window goes on: Enter keys
// up again a second after it stopped the modem, and a macro keys up a second after the modem
// has sent its last character (or TXOFF was pressed).
class TransmitText final : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMaxMacroText = 1024;
    static constexpr double kKeyUpDelaySeconds = 1.0;
    static constexpr int kTickMs = 20;

    explicit TransmitText(TerminalContext& context, QObject* parent = nullptr);

    // The transmit box. The window keeps this copy in step with what the box holds.
    void setBoxText(const QString& text) { box_ = text; }
    const QString& boxText() const { return box_; }
    int sentPosition() const { return txSentPos_; }
    void focusIn();

    // A key that types a character, or Enter, Escape or Backspace, before the box takes it.
    // Returns false when the box is not to take it (Enter and Escape). While the sound card
    // is gone the box takes the text, and it goes once the card is back and a key is typed.
    struct KeyOutcome {
        bool boxTakesKey = true;
        bool caretToEnd = false; // text already handed over is not edited
    };
    KeyOutcome keyPress(QChar key, int caret);

    // The next character of the box for the modem to send (none when all has gone).
    QString nextCharacter();
    // The modem's event.
    void onTransmitStateChanged(Modem::TransmitState state);

    // Buttons. The TX button's down state has already been toggled by the click.
    void txButtonClicked();
    void txButtonSecondEvent();
    void txOffClicked();
    void stopTransmitting();

    // Function keys.
    QString functionKey(int index) const { return functionKeys_[size_t(index)]; }
    void setFunctionKey(int index, const QString& macro);
    void editFunctionKey(int index);
    void sendFunctionKey(int index);
    bool isSendingMacro() const { return macro_ != MacroStage::None; }

    // The timer's tick: an ending whose time has come is carried out.
    void tick();
    // An ending is still to come.
    bool isBusy() const { return macro_ != MacroStage::None || enterKeyUpAt_ >= 0; }
    // The window closes: it has keyed up already, the endings are dropped.
    void stop();

  signals:
    void boxCleared();

  private:
    enum class MacroStage { None, Sending, KeyingUp };
    void endWithEnter();
    void finishEnter();
    void finishMacro();
    bool soundCanSend();
    bool due(double at) const;
    void followTicks();

    TerminalContext& context_;
    QString box_;
    int txSentPos_ = 0;
    std::array<QString, 11> functionKeys_;
    MacroStage macro_ = MacroStage::None;
    double macroKeyUpAt_ = -1; // on the monotonic clock
    double enterKeyUpAt_ = -1; // likewise; -1: none to come
    QTimer tickTimer_;
};
