// Where the results of the runs go: after each run its record is handed
// here and written (the result file and its companion, appended).
#ifndef RUZARAVO_APP_RUNOUTPUTS_H
#define RUZARAVO_APP_RUNOUTPUTS_H

#include "app/Options.h"
#include "results/RunResult.h"

// Writes one run's record to every output the parameters ask for; stops
// with "Output file error!" (status 1) when a write fails, after taking
// back what this run had written.
void WriteRunOutputs(const INPUTPARAMETER& param, const RunResult& result);

#endif
