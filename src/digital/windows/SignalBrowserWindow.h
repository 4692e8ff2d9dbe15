#pragma once

#include "digital/browser/SignalBrowser.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QTimer;
class QListWidget;
class QSpinBox;
class Terminal;

// The signal browser's window: a row per signal, lowest frequency first, each read by a
// screen reader as a sentence ("1520 hertz, 12 dB: CQ CQ DE OH2XX K"; in CW "700 hertz, 14 dB,
// 28 words per minute: CQ TEST DL1ABC"). It listens for the terminal's own mode or for CW, as
// the operator chooses. Enter or a double-click tunes the terminal's receive channel 0 to the
// row's signal. A squelch hides the weak rows; a callsign no row showed before is told in the
// line at the bottom. The window keeps its place, size, squelch and choice of mode in
// SignalBrowser.ini.
class SignalBrowserWindow final : public QDialog {
    Q_OBJECT
  public:
    static inline const QString kSettingsFile = SignalBrowser::kSettingsFile;

    SignalBrowserWindow(Terminal& terminal, const QString& folder, QWidget* parent = nullptr);
    ~SignalBrowserWindow() override;

    static QString sentence(const SignalBrowser::Row& row);
    QListWidget* list() const { return list_; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void refresh();
    void tuneToCurrent();
    void tellNewCallsign(const QString& callsign, double hz);
    void save() const;

    Terminal& terminal_;
    QString settingsPath_;
    QListWidget* list_;
    QSpinBox* squelch_;
    QComboBox* listenFor_; // the terminal's mode, or CW
    QLabel* news_;
    QTimer* refreshSoon_; // many characters a second come in: the list is redrawn a few times
};
