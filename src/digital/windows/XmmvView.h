#pragma once

#include "digital/terminal/DisplayKind.h"

#include <QImage>
#include <QWidget>
#include <vector>

class Modem;

// The modem's display: spectrum, waterfall or scope of what it hears,
// with the receive carrier, the transmit carrier, a frequency marker and the notches.
class XmmvView final : public QWidget {
    Q_OBJECT
public:
  static constexpr double kSpanHz = 3000; // what the display shows, from startHz on

  XmmvView(Modem& modem, int channel = 0, QWidget* parent = nullptr);

  // For the scope, the modem's scope kind chooses the symbols (sync) or the wave.
  DisplayKind display = DisplayKind::Spectrum;
  int startHz = 0;  // at the left edge
  int markerHz = 0; // 0 for none

  // Index + 1 of the notch under the pointer position x, 0 for none.
  int notchAt(int x) const;
  double frequencyAt(int x) const;
  int xFor(double hz) const;
  QSize sizeHint() const override { return {420, 110}; }

public slots:
    void refresh();

signals:
    void clickedAt(double hz, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent*) override;

private:
    void paintSpectrum(QPainter& p);
    void paintScope(QPainter& p);
    void paintSymbols(QPainter& p);
    void paintMarks(QPainter& p);
    void addWaterfallLine();

    Modem& modem_;
    int channel_;
    QImage waterfall_;
};

// The AFC indicator: how far the AFC has pulled the receive carrier, ±50 Hz across.
class AfcIndicator final : public QWidget {
    Q_OBJECT
public:
    static constexpr double kRangeHz = 50;
    explicit AfcIndicator(Modem& modem, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {120, 14}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Modem& modem_;
};

// The signal level of a channel as a bar.
class XmmvLevel final : public QWidget {
    Q_OBJECT
public:
    explicit XmmvLevel(Modem& modem, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {14, 110}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    Modem& modem_;
};
