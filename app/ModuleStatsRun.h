// --module-stats: the score, p- and q-value of every module of a run
// (scan/ModuleSignificance.h), measured on the run's own input against its
// own background chain, before the run's record reaches the writers.
//
// The chain is the run's: the --bg-fasta chain when one was given, else
// the chain of --bg-order estimated from the input (for the default order
// 1 this is MarkovChain's estimate, counted on both strands with its
// pseudo-count, where the sampler keeps its own one-strand table of the
// same counts). The null's seed is mixed from the run's seed, so each run
// (and chain) has its own null and the same seed gives the same values.
//
// The refitted null (--module-null-runs) depends on the options and the
// input only, not on the run it tests, so it is made once per invocation
// (seeded from --seed) and shared by every run and chain: R extra
// discovery runs in all, however many chains.
#ifndef RUZARAVO_APP_MODULESTATSRUN_H
#define RUZARAVO_APP_MODULESTATSRUN_H

#include <vector>

#include "results/RunResult.h"
#include "scan/ModuleSignificance.h"
#include "run/Inputs.h"
#include "run/RunParam.h"

// Stream number mixed with the run's seed for the null's shuffles.
const int kModuleNullStream = 0x4d4f44;

// The refitted null's tiles, made on first use and kept for the next runs
// (the runs' records reach the writers one at a time, on one thread).
class ModuleNullCache {
public:
    const std::vector<double>& RefitTiles(const INPUTPARAMETER& param, const RunInputs& inputs,
                                          const std::vector<ScanSequence>& input);

private:
    bool m_Made = false;
    std::vector<double> m_Tiles;
};

// Fills result's module statistics (nothing without --module-stats).
void AddRunModuleStats(const INPUTPARAMETER& param, const RunInputs& inputs, ModuleNullCache* cache,
                       RunResult* result);

#endif
