#pragma once

#include <cstddef>
#include <vector>

// Decides where the key went down and up from the evidence of each block, over whole runs
// rather than block by block: the most likely sequence of key-downs and key-ups (a Viterbi
// search over the key's state and how long it has been so), given how long Morse elements
// and gaps are at the sender's speed. A weak element is then judged by all of its blocks
// together, as an ear hears a dash, and a dip of noise inside it does not cut it in two.
// The decision for a block is taken a little later, once the runs around it are heard.
class KeyingDecoder {
public:
    // How far back the decision is taken, in blocks: a quarter of a second, three dots at
    // 15 wpm. It stays the same while the speed is learned, so no block is decided twice.
    static constexpr int kLagBlocks = 125;

    KeyingDecoder();
    // The sender's dot, in blocks; the element and gap lengths expected follow it.
    void setDot(double blocks);
    // One block: the log-likelihood of the key being down rather than up in it (0: no
    // evidence either way, as in a static crash).
    void push(double keyDownEvidence);
    // Whether the key was down `lag()` blocks ago, on the most likely sequence.
    bool decidedDown() const;
    int lag() const { return lagBlocks_; }

private:
    // The two states' scores, by how long the key has been so (the last one: so long or longer).
    struct Runs {
        std::vector<double> score;
        long lastStart = 0; // when the run of the last, open-ended state began
        std::size_t best = 0; // the likeliest length
        // The log-probabilities that a run of each length goes on, and that it ends there.
        std::vector<double> stays, ends;
        double bestEnd(int* length) const;
        void advance(double enteredAt, double evidence, long now, double lower);
    };
    static constexpr int kHistory = 8192; // blocks: where each run began, for the look back
    struct Start {
        long previousStart[2]; // of the run before one of either kind beginning here
    };
    void rebuild();
    static void fill(Runs& runs, std::vector<double> shares, double lastEnds);

    double dotBlocks_ = 0;
    int lagBlocks_ = kLagBlocks;
    Runs down_, up_;
    long now_ = 0;
    std::vector<Start> starts_;
};
