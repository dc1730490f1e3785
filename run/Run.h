// One complete run: a sampler set up from the run parameters and the
// inputs read before the first run, its sweeps, and the motif enrichment
// measured on what it found.
#ifndef RUZARAVO_RUN_RUN_H
#define RUZARAVO_RUN_RUN_H

#include "results/RunResult.h"
#include "run/Inputs.h"
#include "run/RunParam.h"
#include "sampler/SweepObserver.h"

// Burn-in sweeps: the exact product of iterNum and the double 0.7,
// truncated toward zero (2000 gives 1399).
int BurnInSweeps(int iterNum);

// The seed for a run without --seed: a high-resolution clock mixed with the
// process id, so runs started in the same second differ.
unsigned ClockSeed();

// The seed of run number run (0-based): param.Seed + run for the runs of
// -N; for chain c of --chains, ChainSeed(param.Seed, c) (base/SeedMix.h),
// so the chains of neighbouring --seed values share no seed.
unsigned RunSeed(const INPUTPARAMETER& param, int run);

// Run number run (0-based within the process) with seed RunSeed(param, run),
// its start, sweeps and progress reported to observer (null: nowhere) and
// threads threads for its draw-free passes. Writes "Seed: <seed>" on
// standard error first. Returns what the run found; writing it is the
// caller's.
RunResult RunModSampling(const INPUTPARAMETER& param, const RunInputs& inputs, int run, SweepObserver* observer,
                         int threads);

// A run of the same discovery on other sequences (a shuffled input for a
// null) with the generator seeded with seed: no "Seed:" line, no
// enrichment or held-out measures, nothing reported while it runs.
RunResult RunNullDiscovery(const INPUTPARAMETER& param, const RunInputs& inputs, unsigned seed, int threads);

#endif
