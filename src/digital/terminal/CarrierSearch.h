#pragma once

#include "platform/PausingWait.h"

struct TerminalContext;

// The "<" and ">" buttons: move channel 0's receive carrier down or up a hertz at a time
// until a signal stands 16 dB above the noise, the edge of the band is reached or the
// operator clicks the display.
class CarrierSearch {
  public:
    static constexpr int kLowestHz = 250;
    static constexpr int kHighestHz = 2750;
    static constexpr int kJumpHz = 20; // the first step, out of the signal already tuned
    static constexpr int kFoundSnDb = 16;
    static constexpr double kStepSeconds = 0.004;

    explicit CarrierSearch(TerminalContext& context);

    void searchDown() { search(-1); }
    void searchUp() { search(+1); }
    bool isRunning() const { return running_; }

  private:
    void search(int direction);
    void tuneTo(int hz);
    double signalToNoise() const;

    TerminalContext& context_;
    PausingWait stepWait_;
    bool running_ = false;
};
