#pragma once

#include "ModeList.h"
#include "digital/dsp/DspBlocks.h"

#include <memory>

// The demodulator and the modulator of a mode of the mode list: the one place that knows which
// block serves which mode, for the modem, zarnik-modem and the tests.
namespace DspFactory {

struct Settings {
    double sampleRate = 48000;
    double carrierHz = 1500;
    double baud = 0; // 0: the mode's own speed
};

std::unique_ptr<Demodulator> demodulator(const ModeList::Mode& mode, const Settings& settings);
std::unique_ptr<Modulator> modulator(const ModeList::Mode& mode, const Settings& settings);

} // namespace DspFactory
