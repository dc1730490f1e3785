// Whether independent chains agree: the rank-normalised split-R-hat of a
// quantity across chains and the effective sample size of each chain
// (Vehtari, Gelman, Simpson, Carpenter and Buerkner 2021).
//
// Each chain's recorded draws are split into halves (an odd middle draw is
// dropped), so a chain that drifts disagrees with itself. The draws of all
// halves are replaced by their normal scores (pooled ranks, ties averaged,
// z = Phi^-1((rank - 3/8) / (S + 1/4))), and the classic potential scale
// reduction is computed on them (the bulk R-hat) and on the normal scores
// of the draws' distances from the pooled median (the tail R-hat); the
// larger of the two is reported. Chains agree when it is below
// kRhatAgreement. The effective sample size uses the autocorrelations of
// the chain with Geyer's initial monotone sequence.
//
// No random draws.
#ifndef RUZARAVO_ANALYSIS_CHAINDIAGNOSTICS_H
#define RUZARAVO_ANALYSIS_CHAINDIAGNOSTICS_H

#include <vector>

#include "results/RunResult.h"

// Vehtari et al.'s recommended bound.
const double kRhatAgreement = 1.01;

// Rank-normalised split-R-hat of the chains' draws; 1 when every draw is
// the same value, +infinity when the halves are each constant but differ,
// NaN with fewer than two chains or fewer than four draws in the shortest.
double SplitRhat(const std::vector<std::vector<double>>& chains);

// Effective sample size of one chain's draws (at most its length; the
// length itself when the draws are all the same value).
double EffectiveSampleSize(const std::vector<double>& draws);

struct ChainDiagnostics {
    double rhatLogPosterior = 0;       // SplitRhat of the recorded sweeps' log posterior
    double rhatModules = 0;            // SplitRhat of the recorded sweeps' module count
    std::vector<double> essLogPosterior;   // per chain
    bool agree = false;                // both R-hats below kRhatAgreement
};

// Diagnostics of the recorded sweeps (those after each run's burn-in).
ChainDiagnostics DiagnoseChains(const std::vector<RunResult>& runs);

// "the chains agree" or "the chains disagree: run more sweeps" (or, without
// enough chains or sweeps, why there is no verdict).
const char* ChainVerdict(const ChainDiagnostics& d);

#endif
