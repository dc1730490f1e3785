// The modules that chains agree on: per sequence, the stretches that at
// least a given number of chains call part of a module.
//
// Every chain's printed modules cover letters of their sequence; a letter's
// support is the number of chains whose modules cover it. A consensus
// module is a maximal run of letters whose support reaches minChains; its
// support is the largest support inside it, and its mean support the mean
// over its letters. Nothing here draws random numbers.
#ifndef RUZARAVO_ANALYSIS_CONSENSUSMODULES_H
#define RUZARAVO_ANALYSIS_CONSENSUSMODULES_H

#include <vector>

#include "results/RunResult.h"

struct ConsensusModule {
    int seq = 0;              // 0-based sequence index
    int start = 0;            // first letter
    int end = 0;              // exclusive end
    int support = 0;          // most chains covering one of its letters
    double meanSupport = 0;   // chains covering a letter, averaged over its letters
};

// In sequence order, then position. runs are the chains, all on the same
// sequences; minChains is at least 1.
std::vector<ConsensusModule> ConsensusOfModules(const std::vector<RunResult>& runs, int minChains);

#endif
