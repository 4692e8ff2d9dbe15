#pragma once

#include <complex>

// Reads the bits of a continuous-phase FSK signal (RTTY as sound cards and rigs send it) with
// what the phase of each tone says, besides its strength.
//
// A continuous-phase sender keeps each tone's phase from one bit to its next, once the time in
// between is accounted for: while the other tone is sent, a tone's phase (as seen by its own
// mixer) moves by the tones' difference times the time. So the mark bits of a text share one
// phase, and so do its space bits, and each bit read adds to what is known about both. A bit
// is then judged by how well each tone's filter sum fits that tone's phase as well as by its
// size: a receiver that knows the phase needs about 1 to 2 dB less signal for the same errors
// than one that only compares the tones' energies.
//
// Each tone's phase is carried as a von Mises belief (its mean direction and how sure it is),
// which the filter sum of a bit updates exactly; an unsure bit mixes both outcomes, so a bit
// read wrongly costs certainty instead of throwing the phase off. With nothing known about the
// phases, the judgement is the plain comparison of energies.
class FskPhaseTracker {
public:
    // `shiftRadians`: how far the mark mixer's phase runs ahead of the space mixer's in one
    // sample (2 pi (mark - space) / rate); `bitSamples`: a bit's length in samples.
    FskPhaseTracker(double shiftRadians, double bitSamples) : shift_(shiftRadians), bitSamples_(bitSamples) {}

    // The signal's amplitude in a filter sum, and the noise power there (mean |noise|^2).
    void setLevels(double amplitude, double noisePower);
    // Nothing is known about either tone's phase any more.
    void forget();
    // Mark was sent for `samples` samples (the stop bit and any pause after it).
    void markFor(double samples);
    // One bit of `samples` samples, from its mark and space filter sums. `known`: the bit the
    // frame must have there (start and stop bits), or -1 when it is to be read. True: mark.
    bool bit(std::complex<double> mark, std::complex<double> space, double samples, int known = -1);

private:
    void age(double samples);
    void checkLock(std::complex<double> sum, std::complex<double> belief);

    double shift_;
    double bitSamples_; // the time scale a belief fades over
    double scale_ = 0;            // 2 x amplitude / noise power: a sum's weight against the belief
    std::complex<double> mark_{};  // mean resultant of each tone's phase belief
    std::complex<double> space_{};
    double lock_ = 0; // how well the beliefs have foretold the phases read lately
};
