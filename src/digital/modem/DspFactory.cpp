#include "DspFactory.h"

#include "digital/dsp/PskDemodulator.h"
#include "digital/dsp/PskModulator.h"
#include "digital/dsp/RttyDemodulator.h"
#include "digital/dsp/RttyModulator.h"

namespace DspFactory {

namespace {
double baudOf(const ModeList::Mode& mode, const Settings& settings) {
    return settings.baud > 0 ? settings.baud : mode.defaultBaud;
}
} // namespace

std::unique_ptr<Demodulator> demodulator(const ModeList::Mode& mode, const Settings& settings) {
    const double baud = baudOf(mode, settings);
    if (ModeList::isPsk(mode.kind))
        return std::make_unique<PskDemodulator>(settings.sampleRate, settings.carrierHz, baud,
                                                mode.kind == ModeList::Kind::Qpsk);
    return std::make_unique<RttyDemodulator>(settings.sampleRate, settings.carrierHz, baud,
                                             mode.shiftHz, mode.markLower);
}

std::unique_ptr<Modulator> modulator(const ModeList::Mode& mode, const Settings& settings) {
    const double baud = baudOf(mode, settings);
    if (ModeList::isPsk(mode.kind))
        return std::make_unique<PskModulator>(settings.sampleRate, settings.carrierHz, baud,
                                              mode.kind == ModeList::Kind::Qpsk);
    return std::make_unique<RttyModulator>(settings.sampleRate, settings.carrierHz, baud,
                                           mode.shiftHz, mode.markLower);
}

} // namespace DspFactory
