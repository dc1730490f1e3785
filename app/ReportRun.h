// The HTML report of one invocation: the up-front checks of --report and
// --known, and writing the page with the runs done so far.
//
// The report is written with --report, --known or --outdir: into the
// output folder as report.html, or without a folder beside the result
// file as <-o>_report.html. It is replaced after every run, so it always
// covers every finished run of the process.
#ifndef RUZARAVO_APP_REPORTRUN_H
#define RUZARAVO_APP_REPORTRUN_H

#include <string>
#include <vector>

#include "io/MatrixFile.h"
#include "run/RunParam.h"
#include "results/RunResult.h"

// The fixed message of a failed report check (the reason is noted), or
// null when the report can be written or is not wanted. The --known library
// itself is read by run/Inputs.h.
const char* CheckReportOptions(const INPUTPARAMETER& param);

// Builds the page for the runs, with the known library read before the
// first run, and writes it; true when written or not wanted, false with the
// file and the reason otherwise.
bool WriteRunReport(const INPUTPARAMETER& param, const std::vector<MotifMatrix>& known,
                    const std::vector<RunResult>& runs, std::string* failedPath, std::string* reason);

#endif
