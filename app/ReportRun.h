// The HTML report of one invocation: the up-front checks of --report and
// --known, and writing the page once every run is done.
#ifndef RUZARAVO_APP_REPORTRUN_H
#define RUZARAVO_APP_REPORTRUN_H

#include <vector>

#include "app/Options.h"
#include "results/RunResult.h"

// The fixed message of a failed report check (the reason is noted), or
// null when the report can be written or was not asked for.
const char* CheckReportOptions(INPUTPARAMETER* param);

// Builds the page for all runs and writes it; a failure is reported on
// standard error and leaves the result files as they are.
void WriteRunReport(const INPUTPARAMETER* param, const std::vector<RunResult>& runs);

#endif
