// The runs of one invocation (-N), one after another or several at once.
#ifndef RUZARAVO_RUN_RUNSET_H
#define RUZARAVO_RUN_RUNSET_H

#include "app/Options.h"
#include "app/RunOutputs.h"

// Runs param->RunNum runs and hands each record to outputs in run order.
// With --threads T, min(T, runs) runs go at once, each with its own
// generator and T / that many threads for its draw-free passes. Whatever
// T, standard output, the trace and every result file receive the same
// bytes in the same order as one run after another.
void RunAllRuns(INPUTPARAMETER* param, RunOutputs& outputs);

#endif
