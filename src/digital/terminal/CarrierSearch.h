#pragma once

#include <QObject>
#include <QTimer>

struct TerminalContext;

// The "<" and ">" buttons: move channel 0's receive carrier down or up a hertz at a time
// until a signal stands 16 dB above the noise, the edge of the band is reached or the
// operator clicks the display. The search moves a step on every tick of its timer.
class CarrierSearch final : public QObject {
    Q_OBJECT
  public:
    static constexpr int kLowestHz = 250;
    static constexpr int kHighestHz = 2750;
    static constexpr int kJumpHz = 20; // the first step, out of the signal already tuned
    static constexpr int kFoundSnDb = 16;
    static constexpr int kStepMs = 4;

    explicit CarrierSearch(TerminalContext& context, QObject* parent = nullptr);

    void searchDown() { start(-1); }
    void searchUp() { start(+1); }
    // One step of a search going on: the step timer's tick.
    void step();
    // A click on the display, or the window closing: the search ends where it stands.
    void stop() { stepTimer_.stop(); }
    bool isRunning() const { return stepTimer_.isActive(); }

  private:
    void start(int direction);
    void tuneTo(int hz);
    double signalToNoise() const;

    TerminalContext& context_;
    QTimer stepTimer_;
    int direction_ = 0;
};
