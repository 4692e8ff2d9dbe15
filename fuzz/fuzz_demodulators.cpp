// The receivers on any sound, taken as 16-bit samples (the first byte picks the mode and the
// sample rate). Invariants: no crash and no hang on noise, silence, clipping or steps; the text
// is no longer than the sound could carry.
#include "FuzzCheck.h"
#include "digital/dsp/PskDemodulator.h"
#include "digital/dsp/RttyDemodulator.h"

#include <QtEndian>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const int rates[] = {8000, 11025, 44100, 48000};
    const double rate = rates[data[0] & 3];
    const int kind = (data[0] >> 2) % 3; // BPSK, QPSK, RTTY
    std::vector<float> sound;
    for (size_t i = 1; i + 1 < size; i += 2)
        sound.push_back(qFromLittleEndian<qint16>(data + i) / 32768.0f);
    // Each sample stands for a few, so short inputs still make symbols.
    std::vector<float> longer;
    for (float s : sound)
        longer.insert(longer.end(), 16, s);
    size_t characters = 0;
    if (kind < 2) {
        PskDemodulator psk(rate, 1000, 31.25, kind == 1);
        psk.setAfc(true);
        characters = size_t(psk.process(longer).size());
    } else {
        RttyDemodulator rtty(rate, 1000);
        rtty.setAfc(true);
        characters = size_t(rtty.process(longer).size());
    }
    // PSK31 carries at most a character every two symbols, RTTY one every 7.5 bits.
    FUZZ_CHECK(characters <= longer.size() / size_t(rate / 31.25) / 2 + 2);
    return 0;
}
