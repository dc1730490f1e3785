// The runs of one invocation (-N, --chains), one after another or several
// at once, their records handed over in run order.
#ifndef RUZARAVO_RUN_RUNSET_H
#define RUZARAVO_RUN_RUNSET_H

#include <functional>

#include "results/RunResult.h"
#include "run/Inputs.h"
#include "run/RunParam.h"

// Receives each finished run's record, in run order (the writers).
using RunSink = std::function<void(RunResult)>;

// Runs param.RunNum runs and hands each record to sink in run order.
// With --threads T, min(T, runs) runs go at once, each with its own
// generator and T / that many threads for its draw-free passes. Whatever
// T, standard output, the trace and every result file receive the same
// bytes in the same order as one run after another.
void RunAllRuns(const INPUTPARAMETER& param, const RunInputs& inputs, const RunSink& sink);

#endif
