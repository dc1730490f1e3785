// Work buffers of the draw-free passes of one sweep, kept by the run from
// sweep to sweep so that no pass allocates once the first sweep has sized
// them.
//
// A sweep first computes everything that draws nothing -- the position
// tables, the two-strand sums of each position, the module forward pass of
// every sequence -- and only then makes its draws, in the serial order.
// These buffers carry those values from the first phase to the second;
// each value is computed by the same operations in the same order as when
// it is computed right before its draw, so the bits do not depend on
// where (or on which thread) it was computed.
#ifndef RUZARAVO_SAMPLER_SWEEPWORK_H
#define RUZARAVO_SAMPLER_SWEEPWORK_H

#include <vector>

#include "model/ScoreTables.h"

// Logarithms of the mixing proportions, taken once per sweep.
struct MixLogTerms {
    std::vector<double> lnPi;      // K: ln pi[k]
    std::vector<double> lnPiHalf;  // K: ln pi[k] + ln 0.5 (a site on either strand)
    double lnBgMix = 0.0;          // ln pi[K], the background letter inside a module
};

// One sequence's values of the draw-free passes.
struct SequenceWork {
    // len x K, position-major: LogSum of the forward- and reverse-strand
    // log-likelihoods of motif k's site ending at each position (both
    // strands searched only; empty otherwise).
    std::vector<double> strand;
    // Module forward pass: A prefix log-likelihoods under the module
    // model, B the score of a module ending at t, C forward log
    // probabilities of letters 0 .. t (len each; unused below 2 letters).
    std::vector<double> A, B, C;
};

// One sequence in the interleaved module forward pass (ForwardLanes): its
// position table, its two-strand sums (both strands only) and its A, B, C.
struct ForwardLane {
    const double* table;
    const double* strand;
    double* A;
    double* B;
    double* C;
    int len;   // letters, at least 2
    int Lm;    // module length, at most len
};

// One module window of the site pass: sequence seq's letters s0 .. s0 + n
// - 1, its position table and two-strand sums (null: one strand, or not
// kept), and where the window's forward pass F (n values) goes.
struct SiteWindow {
    int seq;
    int s0;
    int n;
    const double* table;
    const double* strand;
    double* F;
};

// Sequences (or windows) whose forward passes run in step.
constexpr int kForwardLanes = 4;

struct SweepWork {
    std::vector<SequenceWork> seqs;   // N, FASTA order
    MixLogTerms mix;
    ScoreTables scores;               // matrix logs and word-prefix sums of this sweep
    std::vector<SiteWindow> siteWindows;   // module windows of the sweep, in draw order
    std::vector<double> siteForward;       // their forward passes, one after another
    MixLogTerms siteMix;                   // the mixing logs of the site pass
    std::vector<ScoreScratch> scratch;   // per thread: codes and prefix indices of one sequence
};

#endif
